#pragma once
// The touch-friendly yes/no window. The caller writes the whole question into MemoDesc,
// shows the window with exec() and reads 1 for "Sim", 2 for "Não" or any other close.

#include <QDialog>

class QPushButton;
namespace zk {
class Memo;
}

class TFMsgSimNaoTablet : public QDialog {
    Q_OBJECT
public:
    TFMsgSimNaoTablet();

    QPushButton* const BtnConfirmar;
    QPushButton* const BitBtn2;
    zk::Memo* const MemoDesc;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();
    void BtnConfirmarClick();
    void BitBtn2Click();
};
