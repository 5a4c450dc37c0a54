#pragma once
// The table floor: the main window, every table as a tile.

#include <QWidget>

class QPushButton;
class TDm;
class TFPesqMesa;
class TFComanda;
class TFConf;
class TFMsgSimNaoTablet;

class TFPRincipal : public QWidget {
    Q_OBJECT
public:
    // The windows created after this one are only referred to here; they are used once
    // start-up has created them all.
    TFPRincipal(TDm& Dm, TFPesqMesa& FPesqMesa, TFComanda& FComanda, TFConf& FConf, TFMsgSimNaoTablet& FMsgSimNaoTablet);

    // Tablet mode, read once from the settings file when the window is created.
    bool ModoTablet = false;

    void FormCreate();
    void Sair1Click();

    QPushButton* BitBtn1; // "Sair"

private:
    void AplicaLayout();

    TDm& Dm;
    TFPesqMesa& FPesqMesa;
    TFComanda& FComanda;
    TFConf& FConf;
    TFMsgSimNaoTablet& FMsgSimNaoTablet;
};
