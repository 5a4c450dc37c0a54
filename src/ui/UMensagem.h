#pragma once
// The self-closing message window: a translucent notice on top of every other window that
// closes after 3 seconds or at Esc. Other windows reach it through Mensagem (Ufuncoes).

#include <QDialog>

#include <functional>

class QFrame;
class QLabel;
class QTimer;
namespace zk {
class Memo;
}

class TFMensagem : public QDialog {
    Q_OBJECT
public:
    // Registers itself as the window of Mensagem, until it is destroyed.
    TFMensagem();
    ~TFMensagem() override;

    // An empty first line, then the text: the message starts on the box's second line.
    void DefineMensagem(const QString& texto);

    QLabel* const Image3;
    QLabel* const Label2;
    zk::Memo* const LbMsg;
    QFrame* const Panel1;
    QLabel* const Label1;
    QLabel* const Label11;
    // One-shot, 3000 ms; tests shorten its interval so as not to wait.
    QTimer* const Timer1;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> registradaAntes_; // put back when this window goes
    void FormShow();
    void Timer1Timer();
    bool FormKeyPress(QKeyEvent& key);
};
