#pragma once
// The touch-friendly yes/no window.

#include <QDialog>

class TFMsgSimNaoTablet : public QDialog {
    Q_OBJECT
public:
    TFMsgSimNaoTablet();
};
