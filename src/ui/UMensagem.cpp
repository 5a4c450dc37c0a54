#include "ui/UMensagem.h"

#include "base/Ufuncoes.h"
#include "ui/Memo.h"
#include "ui/Screen.h"

#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

// The designed faces are seldom installed; the usual stand-in for Tahoma would run past
// the header's and the footer's edges, so the texts here use narrow fonts.
TFMensagem::TFMensagem()
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      Image3(new QLabel(this)),
      Label2(new QLabel(QStringLiteral("Atenção"), this)),
      LbMsg(new zk::Memo(this)),
      Panel1(new QFrame(this)),
      Label1(new QLabel(QStringLiteral("Esc para fechar a mensagem ou aguarde 3 seg"), Panel1)),
      Label11(new QLabel(QStringLiteral("Sair-esc"), Panel1)),
      Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("FMensagem"));
    setFixedSize(360, 177);
    setWindowOpacity(230.0 / 255.0);
    zk::fillWith(*this, QColor(0xF0, 0xCA, 0xA6));

    Image3->setObjectName(QStringLiteral("Image3"));
    Image3->setGeometry(0, 0, 360, 29);
    Image3->setPixmap(QPixmap(QStringLiteral(":/assets/mensagem-topo.jpg")));
    Image3->setScaledContents(true);

    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(3, 0, 132, 28);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setFont(zk::narrowFont(QStringLiteral("BankGothic Md BT"), 27, true));
    zk::setColour(*Label2, QPalette::WindowText, Qt::white);

    LbMsg->setObjectName(QStringLiteral("LbMsg"));
    LbMsg->setGeometry(0, 29, 360, 125);
    LbMsg->setReadOnly(true);
    LbMsg->centreLines();
    LbMsg->setFont(zk::narrowFont(QStringLiteral("Tahoma"), 24, true));
    zk::setColour(*LbMsg, QPalette::Text, QColor(0xFF, 0x00, 0x00));
    LbMsg->setFocus(); // the only control: it holds the focus while the window shows

    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 154, 360, 23);
    zk::fillWith(*Panel1, QColor(0xA4, 0xD2, 0xEC));

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(2, 5);
    Label1->setFont(zk::narrowFont(QStringLiteral("MS Sans Serif"), 11, true));
    Label1->adjustSize();

    Label11->setObjectName(QStringLiteral("Label11"));
    Label11->move(312, 5);
    Label11->setFont(zk::narrowFont(QStringLiteral("Tahoma"), 11, true));
    zk::setColour(*Label11, QPalette::WindowText, Qt::black);
    Label11->adjustSize();

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(3000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    // Keys reach the window before its controls.
    for (QWidget* control : findChildren<QWidget*>())
        control->installEventFilter(this);

    registradaAntes_ = RegistraMensagem([this](const QString& texto) {
        DefineMensagem(texto);
        exec();
    });
}

TFMensagem::~TFMensagem() { RegistraMensagem(std::move(registradaAntes_)); }

void TFMensagem::DefineMensagem(const QString& texto) { LbMsg->setPlainText(u'\n' + texto); }

void TFMensagem::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    zk::centreOnScreen(*this);
    FormShow();
}

void TFMensagem::FormShow() { Timer1->start(); }

// However the window closed, the timer belonged to that showing: a message shown again
// soon after an Esc gets its full 3 seconds.
void TFMensagem::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    QDialog::hideEvent(event);
}

// The one-shot timer has already stopped itself.
void TFMensagem::Timer1Timer() { close(); }

void TFMensagem::reject() { done(2); }

bool TFMensagem::FormKeyPress(QKeyEvent& key)
{
    if (key.key() != Qt::Key_Escape)
        return false;
    close();
    return true;
}

bool TFMensagem::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && FormKeyPress(static_cast<QKeyEvent&>(*event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TFMensagem::keyPressEvent(QKeyEvent* event)
{
    if (!FormKeyPress(*event))
        QDialog::keyPressEvent(event);
}
