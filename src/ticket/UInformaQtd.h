#pragma once
// The quantity keypad. The caller has appended an order line to Dm.QItensMov; it writes
// the product's description into MemoDesc and "1" into EdQtd, shows the keypad with exec()
// and reads EdQtd when the result is 1. Any other ending cancels the pending line and
// gives 2.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TDm;
namespace zk {
class Memo;
}

class TFInformaQtd : public QDialog {
    Q_OBJECT
public:
    explicit TFInformaQtd(TDm& Dm);

    zk::Memo* const MemoDesc;
    QLabel* const Label1;
    QLineEdit* const EdQtd;
    QPushButton* const BtnConfirmar;
    QPushButton* const BitBtn2;

    // The close box and Esc cancel, like "Cancelar".
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* criaTecla(const QString& nome, const QString& texto, const QRect& lugar, const QFont& fonte);
    void FormShow();
    void Digita(const QString& digito);
    void SpeedButton11Click();
    void EdQtdEnter();
    bool EdQtdKeyPress(const QKeyEvent& key);
    void BtnConfirmarClick();
    void BitBtn2Click();

    TDm& Dm;
};
