#pragma once
// The order ticket of one table: the catalogue on the left, the order's lines in the
// middle, the product groups on the right, the total and the three actions at the bottom.
// Every change is saved at once; every closing re-reads the table floor.

#include "data/Atendimento.h"

#include <QDialog>
#include <QVariant>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TDm;
class TFInformaQtd;
class TFMsgSimNaoTablet;

namespace zk {
class DbCtrlGrid;
class DbLabel;
class TileText;
} // namespace zk

class TFComanda : public QDialog {
    Q_OBJECT
public:
    TFComanda(TDm& Dm, bool ModoTablet, TFInformaQtd& FInformaQtd, TFMsgSimNaoTablet& FMsgSimNaoTablet);

    // The table whose order is shown, and that order as the floor found it (empty when the
    // table pointed at none); written by the floor before each showing.
    int CodMesa = 0;
    QVariant CodMovimento;
    // Whether that order takes lines, as the floor found it; a refusal of the server's at an
    // addition or deletion updates it.
    atendimento::Comanda EstadoDaComanda = atendimento::Comanda::Aberta;

    QLabel* LbCodMov;
    QLabel* LbMesa;
    QLineEdit* EdCodigo;
    QPushButton* BtnLiberarMesa;
    QPushButton* BtnFaturar;
    QPushButton* BtnSair;
    QWidget* Panel6; // "Grupos"
    zk::DbCtrlGrid* GRidPesqProd;
    zk::DbCtrlGrid* GridItens;
    zk::DbCtrlGrid* DBCtrlGrid2;
    zk::DbLabel* DBText9;
    // The order line's quantity, unit price and line total, drawn in every item tile.
    zk::TileText* DBText6;
    zk::TileText* DBText7;
    zk::TileText* DBText8;

    void FormShow();
    void IncluiItem();
    // The second half of IncluiItem, once the keypad has confirmed: the quantity, the save
    // and the lists read again.
    void GravaItem();
    void GRidPesqProdClick();
    void EdCodigoEnter();
    void EdCodigoKeyPress();
    void Image1Click();
    void DBCtrlGrid2Click();
    void Panel6Click();
    void BtnLiberarMesaClick();
    void BtnFaturarClick();
    void BtnSairClick();
    void FormClose();

    // Every closing (Sair, Faturar, Liberar Mesa, the platform's close) ends here: result 2
    // unless given, and the floor read again.
    void done(int result) override;
    void reject() override;

    // While the billing program runs the ticket stays alive, but billing again, freeing the
    // table or closing waits for its end.
    bool faturando() const { return faturando_; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate(bool ModoTablet);
    void CriaCatalogo();
    void CriaItens();
    void CriaGrupos();
    void Dispoe();
    void MostraPrecoUnitario();
    bool LocalizaProduto(const QString& codigo);
    // An order that is not open takes no line: the waiter is told why and what to do.
    bool ComandaRecusa();
    void Recusada(atendimento::Resultado resultado);
    bool ToqueDescartado(const QEvent& event) const;

    TDm& Dm;
    TFInformaQtd& FInformaQtd;
    TFMsgSimNaoTablet& FMsgSimNaoTablet;

    QWidget* Panel3;
    QWidget* Panel4;
    QWidget* Panel5;
    QWidget* Panel1;
    QWidget* Panel2;
    QLabel* Image3;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label2;
    QLabel* Label1;
    QLabel* CaptionGrupos; // "Grupos", the caption of Panel6
    bool faturando_ = false;
};
