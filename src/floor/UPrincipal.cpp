#include "floor/UPrincipal.h"

#include "base/ProgramaIrmao.h"
#include "base/Ufuncoes.h"
#include "data/UDm.h"
#include "dialogs/UConf.h"
#include "dialogs/UPesqMesa.h"
#include "ui/Aplicacao.h"
#include "ui/Behaviours.h"
#include "ui/DbCtrlGrid.h"
#include "ui/Screen.h"

#include <QApplication>
#include <QDesktopServices>
#include <QTimer>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

const QUrl TFPRincipal::SiteDoFabricante(QStringLiteral("https://zenobra.com.br"));

namespace {

QLabel* figura(QWidget* pai, const QString& recurso, const QRect& lugar)
{
    auto* image = new QLabel(pai);
    image->setPixmap(QPixmap(recurso));
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image->setGeometry(lugar);
    return image;
}

QWidget* faixa(QWidget* pai, int altura)
{
    auto* panel = new QWidget(pai);
    panel->setFixedHeight(altura);
    return panel;
}

} // namespace

TFPRincipal::TFPRincipal(TDm& Dm, TFPesqMesa& FPesqMesa, TFComanda& FComanda, TFConf& FConf,
                         TFMsgSimNaoTablet& FMsgSimNaoTablet)
    : QWidget(nullptr, Qt::FramelessWindowHint), Dm(Dm), FPesqMesa(FPesqMesa), FComanda(FComanda), FConf(FConf),
      FMsgSimNaoTablet(FMsgSimNaoTablet)
{
    setObjectName(QStringLiteral("FPRincipal"));
    setWindowTitle(QStringLiteral("Zenobra - Bar e Restaurante"));
    setFont(zk::pixelFont(QStringLiteral("MS Sans Serif"), 11));
    zk::fillWith(*this, palette().color(QPalette::Button)); // the system's button face

    auto* bandas = new QVBoxLayout(this);
    bandas->setContentsMargins(0, 0, 0, 0);
    bandas->setSpacing(0);
    CriaCabecalho();
    CriaBarra();
    CriaGrade();
    CriaRodape();
    for (QWidget* banda : {Panel2, static_cast<QWidget*>(Panel1), static_cast<QWidget*>(DBCtrlGrid1), Panel3})
        bandas->addWidget(banda);
    setPastaDoPrograma(PastaDoPrograma());
    zk::enterPressesOnlyTheFocusedButton(*this);

    Releitura = new QTimer(this);
    Releitura->setSingleShot(true);
    connect(Releitura, &QTimer::timeout, this, [this] {
        if (this->Dm.PisoDesatualizado() && Descoberto())
            ReleAoVivo();
    });
    Dm.QuandoPisoMuda = [this] { PisoMudou(); };
    qApp->installEventFilter(this); // a dialog closing uncovers the floor

    resize(1008, 689);
    // The desktop placement stays whatever part of the creation fails.
    zk::centreOnScreen(*this);
    zk::runReported([this] { FormCreate(); });
}

TFPRincipal::~TFPRincipal() { Dm.QuandoPisoMuda = nullptr; }

void TFPRincipal::CriaCabecalho()
{
    Panel2 = faixa(this, 66);
    auto* fundo = new QGridLayout(Panel2);
    fundo->setContentsMargins(0, 0, 0, 0);
    Image3 = new QLabel(Panel2);
    Image3->setPixmap(QPixmap(QStringLiteral(":/assets/header.png")));
    Image3->setScaledContents(true);
    Image3->setMinimumSize(1, 1);
    fundo->addWidget(Image3);
    Label3 = zk::sizedLabel(Panel2, QStringLiteral("Zenobra - Kova"), {10, 10}, zk::pixelFont(QStringLiteral("Arial"), 40, true));
    zk::setColour(*Label3, QPalette::WindowText, Qt::white);
    Label3->raise();
}

void TFPRincipal::CriaBarra()
{
    // The frame is the toolbar's white rectangle with its black outline.
    Panel1 = new QFrame(this);
    Panel1->setFixedHeight(106);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel1->setLineWidth(1);
    zk::fillWith(*Panel1, Qt::white);
    zk::setColour(*Panel1, QPalette::WindowText, Qt::black);

    const QFont item = zk::pixelFont(QStringLiteral("Arial"), 13, true);
    Image1 = figura(Panel1, QStringLiteral(":/assets/mesa.png"), {21, 10, 80, 73});
    Label1 = zk::sizedLabel(Panel1, QStringLiteral("Mesas"), {40, 85}, item);
    Image2 = figura(Panel1, QStringLiteral(":/assets/garcom.png"), {145, 11, 80, 73});
    Label2 = zk::sizedLabel(Panel1, QStringLiteral("Garçons\\Atendentes"), {124, 85}, item);
    ImVendas = figura(Panel1, QStringLiteral(":/assets/cesta.png"), {280, 12, 73, 73});
    LbVendas = zk::sizedLabel(Panel1, QStringLiteral("Vendas"), {294, 85}, item);
    Image4 = figura(Panel1, QStringLiteral(":/assets/logo.png"), {805, 36, 188, 45});
    zk::keepAtRight(Image4, 15);

    for (QWidget* w : {Image1, Label1, ImVendas, Image4})
        w->setCursor(Qt::PointingHandCursor);
    zk::onClick(Image1, [this] { Mesas1Click(); });
    zk::onClick(Label1, [this] { Mesas1Click(); });
    zk::onClick(Image4, [this] { Image4Click(); });
    zk::onClick(ImVendas, [this] { Vendas1Click(); });
}

void TFPRincipal::CriaGrade()
{
    DBCtrlGrid1 = new zk::DbCtrlGrid(this);
    DBCtrlGrid1->setColCount(6);
    DBCtrlGrid1->setRowCount(4);
    DBCtrlGrid1->setPanelDesignSize({165, 109});
    DBCtrlGrid1->setColor(Qt::white);
    DBCtrlGrid1->setSelectedColor(QColor(0xD6, 0xF1, 0xFC));
    DBCtrlGrid1->setPanelBorder(true);

    ImStatus = &DBCtrlGrid1->addImage({70, 4, 90, 90});
    ImStatus->autoSize = true;
    ImStatus->setTransparent(true);
    LbNrMesa = &DBCtrlGrid1->addText({20, 10, 101, 46}, QStringLiteral("DESCRICAO"));
    LbNrMesa->font = zk::pixelFont(QStringLiteral("Arial"), 47, true);
    DBText2 = &DBCtrlGrid1->addText({50, 85, 101, 26}, QStringLiteral("TOTAL"));
    DBText2->font = zk::pixelFont(QStringLiteral("Arial"), 20);
    DBText2->alignment = Qt::AlignRight | Qt::AlignTop;
    DBText2->color = palette().color(QPalette::WindowText);

    DBCtrlGrid1->onPaintPanel = [this](zk::DbCtrlGrid& grid, int index) { DBCtrlGrid1PaintPanel(grid, index); };
    DBCtrlGrid1->onClick = [this] { DBCtrlGrid1Click(); };
    DBCtrlGrid1->setDataSource(Dm.DsPesqMesa);
}

void TFPRincipal::CriaRodape()
{
    Panel3 = faixa(this, 80);
    const QFont botao = zk::pixelFont(QStringLiteral("Arial"), 16);
    SpeedButton1 = new QPushButton(QStringLiteral("Conf"), Panel3);
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setFont(botao);
    SpeedButton1->setGeometry(5, 5, 106, 71);
    connect(SpeedButton1, &QPushButton::clicked, this, zk::reported([this] { SpeedButton1Click(); }));

    BitBtn1 = new QPushButton(QStringLiteral("Sair"), Panel3);
    BitBtn1->setFont(botao);
    BitBtn1->setGeometry(880, 5, 112, 71);
    zk::keepAtRight(BitBtn1, 16);
    connect(BitBtn1, &QPushButton::clicked, this, zk::reported([this] { Sair1Click(); }));
}

void TFPRincipal::setPastaDoPrograma(const QString& pasta)
{
    MesaLivre.setPath(pasta + QStringLiteral("/img/3.bmp"));
    MesaOcupada.setPath(pasta + QStringLiteral("/img/4.bmp"));
    DBCtrlGrid1->update();
}

void TFPRincipal::FormCreate()
{
    ModoTablet = false;
    if (!LerIni(QStringLiteral("KOVA"), QStringLiteral("MODO")).isEmpty())
        ModoTablet = StrToBool(LerIni(QStringLiteral("KOVA"), QStringLiteral("MODO")));
    Dm.QPesqMesa.open();
    Dm.QPesqMesa.last();
    Dm.QPesqMesa.first();
    AplicaLayout();
}

void TFPRincipal::AplicaLayout()
{
    if (!ModoTablet)
        return; // the desktop placement was made at creation
    ImVendas->hide();
    LbVendas->hide();
    zk::fillScreen(*this);
}

// Each tile's own picture and number colour: exactly "L" is free, anything else occupied.
void TFPRincipal::DBCtrlGrid1PaintPanel(zk::DbCtrlGrid&, int)
{
    const bool livre = Dm.QPesqMesa.fieldByName(QStringLiteral("STATUS")).asString() == u"L";
    ImStatus->setImage((livre ? MesaLivre : MesaOcupada).image());
    LbNrMesa->color = livre ? QColor(0x00, 0x80, 0x00) : QColor(0xFF, 0x00, 0x00);
}

void TFPRincipal::Mesas1Click()
{
    Dm.Retoma();
    FPesqMesa.exec();
}

void TFPRincipal::SpeedButton1Click()
{
    FConf.BtnModo->setChecked(ModoTablet);
    FConf.exec();
}

// What a lost connection left unconfirmed gets its last chance; the program ends whatever
// the outcome, which the waiter is told.
void TFPRincipal::Sair1Click()
{
    zk::runReported([this] { Dm.Retoma(); });
    close();
}

// Whether a browser opens is not our concern: the outcome is ignored.
void TFPRincipal::Image4Click() { QDesktopServices::openUrl(SiteDoFabricante); }

// The sales program runs on its own: nothing waits for it and the floor is not read again.
void TFPRincipal::Vendas1Click()
{
    const QString caixa = CaminhoCaixa();
    if (QFile::exists(caixa))
        IniciaPrograma(u'"' + caixa + u'"', SW_SHOW);
}

bool TFPRincipal::Descoberto() const { return isVisible() && !QApplication::activeModalWidget(); }

void TFPRincipal::PisoMudou()
{
    if (!Descoberto() || Releitura->isActive())
        return; // remembered by the data module until the floor is read again
    const qint64 desde = UltimaReleitura.isValid() ? UltimaReleitura.elapsed() : IntervaloDoPisoVivo;
    Releitura->start(static_cast<int>(std::max<qint64>(0, IntervaloDoPisoVivo - desde)));
}

bool TFPRincipal::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && Dm.PisoDesatualizado()) {
        auto* window = qobject_cast<QWidget*>(watched);
        if (window && window->isWindow() && window->isModal())
            // Once the dialog's own closing is over (the ticket reads the floor as it closes).
            QTimer::singleShot(0, this, [this] {
                if (Dm.PisoDesatualizado())
                    PisoMudou();
            });
    }
    return QWidget::eventFilter(watched, event);
}

// Only the tables changed since merged into the floor, repainting their tiles; or, when that
// cannot be, read again as at creation, whole, a waiter who was scrolling staying where they
// were. Nobody touched anything: a failure (the connection gone) is left for the next touch.
void TFPRincipal::ReleAoVivo()
{
    UltimaReleitura.start();
    try {
        if (Dm.MesclaPiso())
            return;
    } catch (const zk::Error&) {
        return;
    }
    zk::Query& floor = Dm.QPesqMesa;
    const QString chave = QStringLiteral("CODMESA");
    QVariant primeira;
    if (floor.active() && !floor.isEmpty()) {
        zk::Query::ShowRow first(floor, DBCtrlGrid1->topRecord());
        primeira = floor.fieldByName(chave).value();
    }
    try {
        floor.reopenKeepingRow(chave);
    } catch (const zk::Error&) {
        return;
    }
    for (int recNo = 0; !primeira.isNull() && recNo < floor.recordCount(); ++recNo) {
        zk::Query::ShowRow row(floor, recNo);
        if (floor.fieldByName(chave).value() == primeira) {
            DBCtrlGrid1->setTopRecord(recNo);
            break;
        }
    }
}

