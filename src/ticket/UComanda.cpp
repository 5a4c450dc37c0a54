#include "ticket/UComanda.h"

#include "base/ProgramaIrmao.h"
#include "base/Ufuncoes.h"
#include "data/Atendimento.h"
#include "data/UDm.h"
#include "ticket/UInformaQtd.h"
#include "ui/Aplicacao.h"
#include "ui/Behaviours.h"
#include "ui/Bitmap.h"
#include "ui/DbCtrlGrid.h"
#include "ui/DbLabel.h"
#include "ui/Memo.h"
#include "ui/Screen.h"
#include "ui/UMsgSimNaoTablet.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>

namespace {
const QSize designSize(1036, 688);
constexpr int headerHeight = 66;
constexpr int footerHeight = 74;
constexpr int catalogueWidth = 217;
constexpr int groupsWidth = 220;
constexpr int groupsHeaderHeight = 36;
constexpr int codeBandHeight = 90;

QWidget* panel(QWidget* parent, const QColor& colour)
{
    auto* p = new QWidget(parent);
    zk::fillWith(*p, colour);
    return p;
}

QLabel* whiteLabel(QWidget* parent, const QString& text, const QFont& font, QPoint at)
{
    auto* l = zk::sizedLabel(parent, text, at, font);
    zk::setColour(*l, QPalette::WindowText, Qt::white);
    return l;
}

QPushButton* button(QWidget* parent, const QString& caption, const QRect& geometry)
{
    auto* b = new QPushButton(caption, parent);
    b->setFont(zk::pixelFont("Arial", 16));
    b->setGeometry(geometry);
    return b;
}

// Restores the pointer whatever happens while the lists load.
struct HourglassCursor {
    HourglassCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~HourglassCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

TFComanda::TFComanda(TDm& Dm, bool ModoTablet, TFInformaQtd& FInformaQtd, TFMsgSimNaoTablet& FMsgSimNaoTablet)
    : QDialog(nullptr, Qt::FramelessWindowHint), Dm(Dm), FInformaQtd(FInformaQtd), FMsgSimNaoTablet(FMsgSimNaoTablet)
{
    setObjectName(QStringLiteral("FComanda"));
    setWindowTitle(QStringLiteral("FComanda"));
    setFont(zk::pixelFont("MS Sans Serif", 11));
    resize(designSize);

    Panel3 = panel(this, palette().color(QPalette::Button));
    Image3 = new QLabel(Panel3);
    Image3->setPixmap(QPixmap(QStringLiteral(":/assets/header.png")));
    Image3->setScaledContents(true);
    Label3 = whiteLabel(Panel3, QStringLiteral("Comanda"), zk::pixelFont("Arial", 40, true), {10, 10});
    LbCodMov = whiteLabel(Panel3, QStringLiteral("0"), zk::pixelFont("Arial", 40), {0, 11});
    LbCodMov->setAlignment(Qt::AlignRight | Qt::AlignTop);

    Panel4 = panel(this, palette().color(QPalette::Button));
    BtnLiberarMesa = button(Panel4, QStringLiteral("Liberar Mesa"), {8, 7, 123, 60});
    Label4 = zk::sizedLabel(Panel4, QStringLiteral("Total"), {220, 15}, zk::pixelFont("Arial", 27));
    DBText9 = new zk::DbLabel(Dm.DsTotal, QStringLiteral("TOTALGERAL"), Panel4);
    DBText9->setFont(zk::pixelFont("Arial", 37));
    DBText9->setAlignment(Qt::AlignRight | Qt::AlignTop);
    DBText9->move(0, 25);
    BtnFaturar = button(Panel4, QStringLiteral("Faturar"), {804, 7, 108, 60});
    BtnSair = button(Panel4, QStringLiteral("Sair"), {916, 7, 103, 60});
    zk::keepAtRight(BtnFaturar, 124);
    zk::keepAtRight(BtnSair, 17);

    Panel5 = panel(this, palette().color(QPalette::Button));
    Panel6 = panel(Panel5, Qt::white);
    Panel6->setCursor(Qt::PointingHandCursor);
    CaptionGrupos = zk::sizedLabel(Panel6, QStringLiteral("Grupos"), {0, 0}, zk::pixelFont("Arial", 16));
    CaptionGrupos->setAlignment(Qt::AlignCenter);
    CaptionGrupos->setAttribute(Qt::WA_TransparentForMouseEvents);
    zk::onClick(Panel6, [this] { Panel6Click(); });

    Panel1 = panel(this, Qt::white);
    Panel2 = panel(Panel1, QColor(0xFD, 0xFD, 0xFD));
    Label2 = zk::sizedLabel(Panel2, QStringLiteral("Código do Produto"), {15, 10}, zk::pixelFont("Arial", 20));
    EdCodigo = new QLineEdit(Panel2);
    EdCodigo->setObjectName(QStringLiteral("EdCodigo"));
    EdCodigo->setFont(zk::pixelFont("Arial", 27));
    EdCodigo->setFrame(false);
    EdCodigo->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid #7f9db9; background: white; }"));
    EdCodigo->setGeometry(15, 40, 406, 38);
    EdCodigo->installEventFilter(this);
    Label1 = zk::sizedLabel(Panel2, QStringLiteral("Mesa"), {525, 10}, zk::pixelFont("Arial", 20));
    LbMesa = zk::sizedLabel(Panel2, QString(), {0, 35}, zk::pixelFont("Arial", 40));
    LbMesa->setAlignment(Qt::AlignRight | Qt::AlignTop);

    CriaCatalogo();
    CriaItens();
    CriaGrupos();
    for (QWidget* grade : {static_cast<QWidget*>(GRidPesqProd), static_cast<QWidget*>(GridItens),
                           static_cast<QWidget*>(DBCtrlGrid2)})
        grade->installEventFilter(this);

    setTabOrder(BtnSair, BtnFaturar);
    setTabOrder(BtnFaturar, BtnLiberarMesa);
    connect(BtnSair, &QPushButton::clicked, this, zk::reported([this] { BtnSairClick(); }));
    connect(BtnFaturar, &QPushButton::clicked, this, zk::reported([this] { BtnFaturarClick(); }));
    connect(BtnLiberarMesa, &QPushButton::clicked, this, zk::reported([this] { BtnLiberarMesaClick(); }));
    zk::enterPressesOnlyTheFocusedButton(*this); // a scanner's Enter after a touch must never bill

    FormCreate(ModoTablet);
}

void TFComanda::CriaCatalogo()
{
    GRidPesqProd = new zk::DbCtrlGrid(this);
    GRidPesqProd->setObjectName(QStringLiteral("GRidPesqProd"));
    GRidPesqProd->setDataSource(Dm.DsPesqProdutos);
    GRidPesqProd->setColCount(1);
    GRidPesqProd->setRowCount(12);
    GRidPesqProd->setPanelDesignSize({200, 45});
    GRidPesqProd->setColor(QColor(0xF3, 0xF3, 0xF3));
    GRidPesqProd->addText({15, 12, 176, 17}, QStringLiteral("DESCRICAO")).font = zk::pixelFont("Arial", 13);
    GRidPesqProd->addText({15, 27, 76, 19}, QStringLiteral("CODPRODUTO")).font = zk::pixelFont("Arial", 16);
    auto& preco = GRidPesqProd->addText({100, 27, 91, 23}, QStringLiteral("PRECOVENDA"));
    preco.font = zk::pixelFont("MS Sans Serif", 16);
    preco.alignment = Qt::AlignRight | Qt::AlignTop;
    GRidPesqProd->onClick = [this] { GRidPesqProdClick(); };
}

void TFComanda::CriaItens()
{
    GridItens = new zk::DbCtrlGrid(Panel1);
    GridItens->setObjectName(QStringLiteral("GridItens"));
    GridItens->setDataSource(Dm.DsSpItens);
    GridItens->setColCount(1);
    GridItens->setRowCount(9);
    GridItens->setPanelDesignSize({582, 50});
    GridItens->setColor(QColor(0xFD, 0xFD, 0xFD));
    GridItens->setPanelBorder(true);
    auto& produto = GridItens->addText({25, 8, 417, 17}, QStringLiteral("PRODUTO"));
    produto.font = zk::pixelFont("Arial", 16);
    produto.anchors = Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge;
    DBText6 = &GridItens->addText({25, 29, 91, 17}, QStringLiteral("QTD"));
    DBText6->font = zk::pixelFont("Arial", 16);
    DBText7 = &GridItens->addText({238, 28, 91, 17}, QStringLiteral("VALOR"));
    DBText7->font = zk::pixelFont("Arial", 16);
    DBText7->anchors = Qt::TopEdge; // keeps its relative place
    DBText8 = &GridItens->addText({386, 28, 91, 17}, QStringLiteral("TOTAL"));
    DBText8->font = zk::pixelFont("Arial", 16);
    DBText8->anchors = Qt::RightEdge | Qt::TopEdge;
    auto& lixeira = GridItens->addImage({538, 0, 44, 50});
    lixeira.setImage(QImage(QStringLiteral(":/assets/lixeira.png")));
    lixeira.stretch = true;
    lixeira.anchors = Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge;
    lixeira.cursor = Qt::PointingHandCursor;
    lixeira.onClick = [this] { Image1Click(); };
}

void TFComanda::CriaGrupos()
{
    DBCtrlGrid2 = new zk::DbCtrlGrid(Panel5);
    DBCtrlGrid2->setObjectName(QStringLiteral("DBCtrlGrid2"));
    DBCtrlGrid2->setDataSource(Dm.DsGrupos);
    DBCtrlGrid2->setColCount(1);
    DBCtrlGrid2->setRowCount(8);
    DBCtrlGrid2->setPanelDesignSize({203, 64});
    DBCtrlGrid2->setColor(Qt::white);
    DBCtrlGrid2->addText({15, 12, 176, 17}, QStringLiteral("DESCRICAO")).font = zk::pixelFont("Arial", 13);
    auto& imagem = DBCtrlGrid2->addDbImage({152, 0, 51, 64}, QStringLiteral("IMG"), CarregaBitmap);
    imagem.anchors = Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge;
    DBCtrlGrid2->onClick = [this] { DBCtrlGrid2Click(); };
}

void TFComanda::FormCreate(bool ModoTablet)
{
    if (ModoTablet) {
        zk::fillScreen(*this);
        return;
    }
    zk::centreOnScreen(*this);
}

// The bands and columns follow the window's size; the controls kept at the right edge follow it.
void TFComanda::Dispoe()
{
    const int w = width();
    const int h = height();
    const int middle = h - headerHeight - footerHeight;
    Panel3->setGeometry(0, 0, w, headerHeight);
    Image3->setGeometry(Panel3->rect());
    zk::keepRightEdge(LbCodMov, w - 24);

    Panel4->setGeometry(0, h - footerHeight, w, footerHeight);
    DBText9->setRightEdge(w - 245);

    GRidPesqProd->setGeometry(0, headerHeight, catalogueWidth, middle);
    Panel5->setGeometry(w - groupsWidth, headerHeight, groupsWidth, middle);
    Panel6->setGeometry(0, 0, groupsWidth, groupsHeaderHeight);
    CaptionGrupos->setGeometry(Panel6->rect());
    DBCtrlGrid2->setGeometry(0, groupsHeaderHeight, groupsWidth, middle - groupsHeaderHeight);

    Panel1->setGeometry(catalogueWidth, headerHeight, w - catalogueWidth - groupsWidth, middle);
    Panel2->setGeometry(0, 0, Panel1->width(), codeBandHeight);
    zk::keepRightEdge(LbMesa, 576); // measured from the band's left edge: it does not follow its right
    GridItens->setGeometry(0, codeBandHeight, Panel1->width(), middle - codeBandHeight);
    MostraPrecoUnitario();
}

// Narrower than designed (a small tablet), the unit price, which keeps its relative place,
// runs into the quantity and the line total: it is the one left out, so every text shown
// stays whole. At the designed width and above it always shows.
void TFComanda::MostraPrecoUnitario()
{
    const QRect price = GridItens->componentRect(*DBText7, 0);
    DBText7->visible = !price.intersects(GridItens->componentRect(*DBText6, 0)) &&
                       !price.intersects(GridItens->componentRect(*DBText8, 0));
}

void TFComanda::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Dispoe();
}

void TFComanda::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Dispoe(); // the floor has just written the labels
    zk::runReported([this] { FormShow(); });
}

void TFComanda::FormShow()
{
    HourglassCursor hourglass;
    zk::Query& catalogue = Dm.QPesqProdutos;
    if (!catalogue.active())
        catalogue.open();
    catalogue.last();
    catalogue.first();
    catalogue.last();
    catalogue.first();

    zk::Query& groups = Dm.Qgrupos;
    if (!groups.active())
        groups.open();
    groups.last();
    groups.first();
    groups.last();

    zk::Query& items = Dm.QSpItens;
    items.reopen();
    items.last();
    items.first();
    items.last();
    items.last();

    GRidPesqProd->setFocus();
    GridItens->setFocus();
    GridItens->repaint();
    BtnSair->setFocus();
}

void TFComanda::GRidPesqProdClick() { IncluiItem(); }

void TFComanda::IncluiItem()
{
    Dm.Retoma();
    if (ComandaRecusa())
        return;
    atendimento::IniciaLinha(Dm);
    FInformaQtd.MemoDesc->setPlainText(Dm.QPesqProdutos.fieldByName(QStringLiteral("DESCRICAO")).asString());
    FInformaQtd.EdQtd->setText(QStringLiteral("1"));
    if (FInformaQtd.exec() != 1)
        return; // the keypad has dropped the pending line
    GravaItem();
}

void TFComanda::GravaItem()
{
    const atendimento::Resultado gravada = atendimento::GravaLinha(Dm, FInformaQtd.EdQtd->text());
    if (gravada != atendimento::Resultado::Feito)
        Recusada(gravada);
}

bool TFComanda::ComandaRecusa()
{
    const atendimento::Resultado recusa = atendimento::RecusaDe(EstadoDaComanda);
    if (recusa == atendimento::Resultado::Feito)
        return false;
    Mensagem(atendimento::TextoDe(recusa));
    return true;
}

// The order was found closed, or gone, on the server: the ticket stays, so that the waiter
// can free its table right here, and no later touch asks the server again.
void TFComanda::Recusada(atendimento::Resultado resultado)
{
    EstadoDaComanda = resultado == atendimento::Resultado::ComandaInexistente ? atendimento::Comanda::Inexistente
                                                                              : atendimento::Comanda::Fechada;
    Mensagem(atendimento::TextoDe(resultado));
}

// One tap, one line: the second tap of a double tap that ended the keypad lands on the
// ticket below it, and starts nothing there. (Under the open keypad the ticket gets no touch.)
bool TFComanda::ToqueDescartado(const QEvent& event) const
{
    if (event.type() != QEvent::MouseButtonPress && event.type() != QEvent::MouseButtonDblClick)
        return false;
    return FInformaQtd.SegundoToque(static_cast<const QMouseEvent&>(event));
}

void TFComanda::EdCodigoEnter() { EdCodigo->selectAll(); }

// The code as written on the tile, character for character: "7" finds 7, "007" does not.
bool TFComanda::LocalizaProduto(const QString& codigo)
{
    zk::Query& catalogue = Dm.QPesqProdutos;
    catalogue.fetchAll();
    zk::Field& code = catalogue.fieldByName(QStringLiteral("CODPRODUTO"));
    for (int recNo = 0; recNo < catalogue.recordCount(); ++recNo) {
        bool same;
        {
            zk::Query::ShowRow row(catalogue, recNo);
            same = !code.isNull() && code.asString() == codigo;
        }
        if (same) {
            catalogue.moveTo(recNo);
            return true;
        }
    }
    return false;
}

void TFComanda::EdCodigoKeyPress()
{
    if (LocalizaProduto(EdCodigo->text())) {
        IncluiItem();
    } else {
        zk::okBox(QMessageBox::NoIcon, QStringLiteral("Zenobra Kova"), QStringLiteral("Produto não encontrado"), this);
    }
    EdCodigo->setFocus();
    EdCodigo->selectAll();
}

void TFComanda::Image1Click()
{
    // The touched line, by its key: reading the lines again must not move the waiter's choice.
    const int codigo = Dm.QSpItens.fieldByName(QStringLiteral("CODITEMMOVIMENTO")).asInteger();
    Dm.Retoma();
    if (ComandaRecusa())
        return;
    FMsgSimNaoTablet.MemoDesc->setPlainText(QStringLiteral("Excluir Produto?"));
    if (FMsgSimNaoTablet.exec() != 1)
        return;
    const atendimento::Resultado excluida = atendimento::ExcluiLinha(Dm, codigo);
    if (excluida != atendimento::Resultado::Feito)
        Recusada(excluida);
}

void TFComanda::DBCtrlGrid2Click()
{
    Dm.Retoma();
    Dm.FiltraProdutos(QStringLiteral("WHERE CODGRUPO = ") +
                      QString::number(Dm.Qgrupos.fieldByName(QStringLiteral("CODGRUPO")).asInteger()));
}

void TFComanda::Panel6Click()
{
    Dm.Retoma();
    Dm.FiltraProdutos(QString());
}

void TFComanda::BtnLiberarMesaClick()
{
    if (faturando_)
        return;
    Dm.Retoma();
    QMessageBox question(QMessageBox::Question, QStringLiteral("Atenção"), QStringLiteral("Excluir Comanda"),
                         QMessageBox::Yes | QMessageBox::No, this);
    if (question.exec() != QMessageBox::Yes)
        return;
    // Freed, or found already changed elsewhere: either way this ticket is done. A table being
    // written at this very moment keeps the ticket for another try.
    const atendimento::Resultado liberada = atendimento::LiberaMesa(Dm, CodMesa, CodMovimento);
    if (liberada != atendimento::Resultado::Feito)
        Mensagem(atendimento::TextoDe(liberada));
    if (liberada != atendimento::Resultado::MesaEmUso)
        close();
}

void TFComanda::BtnFaturarClick()
{
    if (faturando_)
        return;
    Dm.Retoma(); // the billing program reads the order from the server: all of it must be there
    const QString caixa = CaminhoCaixa();
    if (!QFile::exists(caixa))
        return;
    zk::Field& code = Dm.QMov.fieldByName(QStringLiteral("CODMOVIMENTO"));
    // Quoted, so a folder with blanks reaches the program whole.
    QString linha = QStringLiteral("\"%1\" KOVA %2").arg(caixa, code.isNull() ? QString() : code.asString());
    faturando_ = true;
    BtnFaturar->setEnabled(false);
    BtnLiberarMesa->setEnabled(false);
    ExecutaEEspera(linha, SW_SHOW);
    faturando_ = false;
    BtnFaturar->setEnabled(true);
    BtnLiberarMesa->setEnabled(true);
    close();
}

void TFComanda::BtnSairClick() { close(); }

void TFComanda::FormClose()
{
    Dm.QPesqMesa.reopen();
}

void TFComanda::done(int result)
{
    if (faturando_)
        return; // the ticket closes when the billing program has ended
    QDialog::done(result);
    zk::runReported([this] { FormClose(); });
}

void TFComanda::reject() { done(2); }

void TFComanda::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        return; // the ticket closes only by its buttons
    QDialog::keyPressEvent(event);
}

bool TFComanda::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == GRidPesqProd || watched == GridItens || watched == DBCtrlGrid2) && ToqueDescartado(*event))
        return true;
    if (watched == EdCodigo && event->type() == QEvent::FocusIn) {
        zk::runReported([this] { EdCodigoEnter(); });
    } else if (watched == EdCodigo && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            zk::runReported([this] { EdCodigoKeyPress(); });
            return true; // swallowed: nothing else reacts to it
        }
    }
    return QDialog::eventFilter(watched, event);
}
