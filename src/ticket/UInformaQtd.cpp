#include "ticket/UInformaQtd.h"

#include "data/UDm.h"
#include "ui/Aplicacao.h"
#include "ui/Behaviours.h"
#include "ui/Memo.h"
#include "ui/Screen.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleHints>

#include <limits>

namespace {

// A digit key of the pad has been pressed since the keypad was shown or last cleared:
// the next one appends instead of starting a new number.
bool Digitando = false;

struct TeclaDigito {
    const char* nome;
    QChar digito;
    int x, y;
};

constexpr TeclaDigito teclasDigito[] = {
    {"SpeedButton1", u'1', 60, 206}, {"SpeedButton2", u'2', 168, 206}, {"SpeedButton3", u'3', 275, 206},
    {"SpeedButton4", u'4', 60, 296}, {"SpeedButton5", u'5', 168, 296}, {"SpeedButton6", u'6', 275, 296},
    {"SpeedButton7", u'7', 60, 386}, {"SpeedButton8", u'8', 168, 386}, {"SpeedButton9", u'9', 275, 386},
    {"SpeedButton10", u'0', 60, 476},
};

} // namespace

TFInformaQtd::TFInformaQtd(TDm& Dm)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      MemoDesc(new zk::Memo(this)),
      Label1(new QLabel(QStringLiteral("Informar Quantidade"), this)),
      EdQtd(new QLineEdit(QStringLiteral("1"), this)),
      BtnConfirmar(new QPushButton(QStringLiteral("Confirmar"), this)),
      BitBtn2(new QPushButton(QStringLiteral("Cancelar"), this)),
      Dm(Dm)
{
    setObjectName(QStringLiteral("FInformaQtd"));
    setWindowTitle(QStringLiteral("Confirmar Item"));
    setFixedSize(556, 592);

    const QFont arial27 = zk::pixelFont(QStringLiteral("Arial"), 27);
    const QFont arial40 = zk::pixelFont(QStringLiteral("Arial"), 40);

    // Editable, though nothing reads back what is typed into it.
    MemoDesc->setObjectName(QStringLiteral("MemoDesc"));
    MemoDesc->setGeometry(10, 15, 405, 76);
    MemoDesc->setFont(arial27);
    zk::setColour(*MemoDesc, QPalette::Base, palette().color(QPalette::Button));

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(60, 97);
    Label1->setFont(arial27);
    Label1->adjustSize();

    EdQtd->setObjectName(QStringLiteral("EdQtd"));
    EdQtd->setGeometry(60, 142, 461, 53);
    EdQtd->setFont(arial40);
    EdQtd->setMaxLength(std::numeric_limits<int>::max());
    EdQtd->installEventFilter(this);

    const QFont arial40Bold = zk::pixelFont(QStringLiteral("Arial"), 40, true);
    for (const TeclaDigito& tecla : teclasDigito) {
        QPushButton* botao = criaTecla(tecla.nome, tecla.digito, {tecla.x, tecla.y, 89, 76}, arial40Bold);
        connect(botao, &QPushButton::clicked, this, zk::reported([this, digito = QString(tecla.digito)] { Digita(digito); }));
    }
    QPushButton* SpeedButton11 = criaTecla(QStringLiteral("SpeedButton11"), QStringLiteral("LIMPAR"), {165, 476, 198, 76}, arial27);
    connect(SpeedButton11, &QPushButton::clicked, this, zk::reported([this] { SpeedButton11Click(); }));

    BtnConfirmar->setObjectName(QStringLiteral("BtnConfirmar"));
    BtnConfirmar->setGeometry(380, 207, 141, 166);
    BtnConfirmar->setFont(arial27);
    connect(BtnConfirmar, &QPushButton::clicked, this, zk::reported([this] { BtnConfirmarClick(); }));

    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(380, 382, 141, 169);
    BitBtn2->setFont(arial27);
    connect(BitBtn2, &QPushButton::clicked, this, zk::reported([this] { BitBtn2Click(); }));

    setTabOrder(BtnConfirmar, BitBtn2);
    setTabOrder(BitBtn2, MemoDesc);
    setTabOrder(MemoDesc, EdQtd);
    zk::enterPressesOnlyTheFocusedButton(*this);
    for (QPushButton* tecla : findChildren<QPushButton*>())
        tecla->installEventFilter(this);
}

// A pad key acts on the quantity box without ever taking the focus from it.
QPushButton* TFInformaQtd::criaTecla(const QString& nome, const QString& texto, const QRect& lugar, const QFont& fonte)
{
    auto* tecla = new QPushButton(texto, this);
    tecla->setObjectName(nome);
    tecla->setGeometry(lugar);
    tecla->setFont(fonte);
    tecla->setFocusPolicy(Qt::NoFocus);
    tecla->setAutoDefault(false);
    return tecla;
}

void TFInformaQtd::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    zk::centreOnScreen(*this);
    FormShow();
}

bool TFInformaQtd::SegundoToque(const QMouseEvent& toque) const
{
    const quint64 intervalo = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    return ultimoToque_ != 0 && toque.timestamp() >= ultimoToque_ && toque.timestamp() - ultimoToque_ < intervalo &&
           teclaTocada_.contains(toque.globalPosition().toPoint());
}

// The text itself is the caller's: it presets it before every showing.
void TFInformaQtd::FormShow()
{
    Digitando = false;
    EdQtd->setFocus(Qt::OtherFocusReason);
}

void TFInformaQtd::Digita(const QString& digito)
{
    EdQtd->setText(Digitando ? EdQtd->text() + digito : digito); // the caret ends up after it, nothing selected
    Digitando = true;
}

void TFInformaQtd::SpeedButton11Click()
{
    EdQtd->clear();
    Digitando = false;
}

void TFInformaQtd::EdQtdEnter() { EdQtd->selectAll(); }

bool TFInformaQtd::EdQtdKeyPress(const QKeyEvent& key)
{
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter)
        return false;
    BtnConfirmar->click();
    return true;
}

void TFInformaQtd::BtnConfirmarClick() { done(1); }

// The line was never posted: cancelling it sends nothing.
void TFInformaQtd::BitBtn2Click()
{
    Dm.QItensMov.cancel();
    done(2);
}

void TFInformaQtd::reject() { BitBtn2Click(); }

void TFInformaQtd::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

bool TFInformaQtd::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* tecla = qobject_cast<QPushButton*>(watched); tecla && event->type() == QEvent::MouseButtonRelease) {
        ultimoToque_ = static_cast<QMouseEvent*>(event)->timestamp();
        teclaTocada_ = QRect(tecla->mapToGlobal(QPoint(0, 0)), tecla->size());
    }
    if (watched == EdQtd) {
        if (event->type() == QEvent::FocusIn)
            EdQtdEnter();
        else if (event->type() == QEvent::KeyPress && EdQtdKeyPress(static_cast<QKeyEvent&>(*event)))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}
