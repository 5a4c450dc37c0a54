#pragma once
// The installation dialog: where and how to reach the database server.

#include <QDialog>

#include <functional>

class TFRegistra : public QDialog {
    Q_OBJECT
public:
    // "Cancelar" asks, through this, for the end of the program.
    explicit TFRegistra(std::function<void()> solicitaFim);

private:
    std::function<void()> solicitaFim;
};
