#pragma once
// The order ticket of one table.

#include <QDialog>

class TDm;
class TFInformaQtd;
class TFMsgSimNaoTablet;

class TFComanda : public QDialog {
    Q_OBJECT
public:
    TFComanda(TDm& Dm, bool ModoTablet, TFInformaQtd& FInformaQtd, TFMsgSimNaoTablet& FMsgSimNaoTablet);

private:
    TDm& Dm;
    TFInformaQtd& FInformaQtd;
    TFMsgSimNaoTablet& FMsgSimNaoTablet;
};
