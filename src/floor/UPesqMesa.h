#pragma once
// The table register: lists, adds and renumbers the restaurant's tables.

#include <QDialog>

class TDm;

class TFPesqMesa : public QDialog {
    Q_OBJECT
public:
    explicit TFPesqMesa(TDm& Dm);

private:
    TDm& Dm;
};
