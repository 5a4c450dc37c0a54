#include "dialogs/UConf.h"

#include "base/Ufuncoes.h"
#include "ui/Aplicacao.h"
#include "ui/Behaviours.h"
#include "ui/Screen.h"

#include <QPushButton>

TFConf::TFConf()
{
    setObjectName(QStringLiteral("FConf"));
    setWindowTitle(QStringLiteral("Configurações"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(510, 349);
    setFont(zk::pixelFont(QStringLiteral("MS Sans Serif"), 11));
    zk::setColour(*this, QPalette::Window, palette().color(QPalette::Button)); // the system's button face

    BtnModo = new QPushButton(QStringLiteral("Modo Tablet"), this);
    BtnModo->setGeometry(20, 25, 111, 96);
    BtnModo->setCheckable(true);
    BtnModo->setFocusPolicy(Qt::NoFocus);
    BitBtn1 = new QPushButton(QStringLiteral("Gravar"), this);
    BitBtn1->setGeometry(270, 285, 106, 56);
    BitBtn2 = new QPushButton(QStringLiteral("Cancelar"), this);
    BitBtn2->setGeometry(380, 285, 106, 56);
    setTabOrder(BitBtn1, BitBtn2);

    connect(BtnModo, &QPushButton::clicked, this, zk::reported([this] { BtnModoClick(); }));
    connect(BitBtn1, &QPushButton::clicked, this, zk::reported([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, zk::reported([this] { BitBtn2Click(); }));
    zk::enterPressesOnlyTheFocusedButton(*this);
}

// A write refused leaves the button in its new state: the file keeps the old one.
void TFConf::BtnModoClick()
{
    GravarIni(QStringLiteral("KOVA"), QStringLiteral("MODO"), BoolToStr(BtnModo->isChecked()));
}

void TFConf::BitBtn1Click() { done(1); }

void TFConf::BitBtn2Click() { done(2); }

void TFConf::reject() { done(2); }

void TFConf::showEvent(QShowEvent* event)
{
    zk::centreOnScreen(*this);
    QDialog::showEvent(event);
}
