#include "UPrincipal.h"

#include "Aplicacao.h"
#include "UDm.h"
#include "Ufuncoes.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

TFPRincipal::TFPRincipal(TDm& Dm, TFPesqMesa& FPesqMesa, TFComanda& FComanda, TFConf& FConf,
                         TFMsgSimNaoTablet& FMsgSimNaoTablet)
    : QWidget(nullptr, Qt::FramelessWindowHint), Dm(Dm), FPesqMesa(FPesqMesa), FComanda(FComanda), FConf(FConf),
      FMsgSimNaoTablet(FMsgSimNaoTablet)
{
    setObjectName(QStringLiteral("FPRincipal"));
    setWindowTitle(QStringLiteral("Zenobra - Bar e Restaurante"));
    resize(1008, 689);
    BitBtn1 = new QPushButton(QStringLiteral("Sair"), this);
    BitBtn1->setGeometry(880, 613, 112, 71);
    connect(BitBtn1, &QPushButton::clicked, this, zk::reported([this] { Sair1Click(); }));
    // The desktop placement stays whatever part of the creation fails.
    move(QGuiApplication::primaryScreen()->availableGeometry().center() - rect().center());
    zk::runReported([this] { FormCreate(); });
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
    if (ModoTablet)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TFPRincipal::Sair1Click() { close(); }
