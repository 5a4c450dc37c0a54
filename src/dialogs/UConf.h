#pragma once
// The settings dialog: tablet mode on or off, for the next start.

#include <QDialog>

class QPushButton;

class TFConf : public QDialog {
    Q_OBJECT
public:
    TFConf();

    // Down is tablet mode. Each press stores the new state at once; the dialog's buttons
    // only close it.
    QPushButton* BtnModo;
    QPushButton* BitBtn1; // "Gravar"
    QPushButton* BitBtn2; // "Cancelar"

    void BtnModoClick();
    void BitBtn1Click();
    void BitBtn2Click();

    // The close box and Esc cancel: modal result 2.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
};
