#pragma once
// The quantity keypad. The caller has appended an order line to Dm.QItensMov; it writes
// the product's description into MemoDesc and "1" into EdQtd, shows the keypad with exec()
// and reads EdQtd when the result is 1. Any other ending cancels the pending line and
// gives 2.

#include <QDialog>
#include <QRect>

class QLabel;
class QMouseEvent;
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

    // The close box (and the system's close keystroke) cancel, like "Cancelar". Esc does
    // nothing: a stray key must not throw away the line the waiter is confirming.
    void reject() override;

    // Whether a touch is the second tap of a double tap whose first one ended on one of the
    // keypad's keys (the same place, within the double-click time): once the keypad has
    // closed it must not act on the window below.
    bool SegundoToque(const QMouseEvent& toque) const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
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
    quint64 ultimoToque_ = 0; // the platform's event time; 0 before any
    QRect teclaTocada_;       // where, on the screen
};
