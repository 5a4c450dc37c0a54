#pragma once
// The table register: lists, adds and renumbers the restaurant's tables.

#include <QDialog>

class QFrame;
class QPushButton;
class QWidget;
class TDm;

namespace zk {
class DbGrid;
}

class TFPesqMesa : public QDialog {
    Q_OBJECT
public:
    explicit TFPesqMesa(TDm& Dm);

    void BitBtn1Click(); // "Cadastrar": a new table under the number typed
    void BitBtn2Click(); // "Alterar": the current table gets the number typed
    void BitBtn3Click(); // "Sair"

    QWidget* Panel2;
    zk::DbGrid* DBGrid1;
    QFrame* Panel1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;

protected:
    // Esc and the close box give the system's "cancel".
    void reject() override;

private:
    TDm& Dm;
};
