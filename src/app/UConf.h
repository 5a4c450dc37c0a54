#pragma once
// The settings dialog: tablet mode on or off, for the next start.

#include <QDialog>

class TFConf : public QDialog {
    Q_OBJECT
public:
    TFConf();
};
