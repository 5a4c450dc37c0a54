#pragma once
// The self-closing message window.

#include <QDialog>

class TFMensagem : public QDialog {
    Q_OBJECT
public:
    TFMensagem();
};
