#pragma once
// The quantity keypad.

#include <QDialog>

class TDm;

class TFInformaQtd : public QDialog {
    Q_OBJECT
public:
    explicit TFInformaQtd(TDm& Dm);

private:
    TDm& Dm;
};
