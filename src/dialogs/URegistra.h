#pragma once
// The installation dialog: where and how to reach the database server.

#include <QDialog>

#include "ui/UMensagem.h"

#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QRadioButton;
class TBtnMetal;

class TFRegistra : public QDialog {
    Q_OBJECT
public:
    // "Cancelar" asks, through this, for the end of the program.
    explicit TFRegistra(std::function<void()> solicitaFim);

    void FormShow();
    void CbLinuxClick();
    void CbWindowsClick();
    // Writes the connection settings and closes with 1; an empty password only shows a
    // message, and a text that cannot be stored or a refused write leaves the dialog open.
    void BtnGravarClick();
    void BtnCancelarClick();

    // A close request from the system: nothing written, the program goes on.
    void reject() override;

    QLineEdit* EdIP;
    QLineEdit* EdSenha;
    TBtnMetal* BtnGravar;
    TBtnMetal* BtnCancelar;
    QRadioButton* CbWindows;
    QRadioButton* CbLinux;
    QLineEdit* EdDir;
    QComboBox* EdModo;
    QComboBox* EdUnidade;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool EdSenhaKeyPress(QKeyEvent* key);
    void ConfereTextos() const;

    std::function<void()> solicitaFim;
    std::unique_ptr<TFMensagem> mensagens_; // made only when no message window exists yet
};
