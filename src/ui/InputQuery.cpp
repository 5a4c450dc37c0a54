#include "ui/InputQuery.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zk {

namespace {

constexpr int maxLength = 255;

class CaixaTexto : public QDialog {
public:
    CaixaTexto(const QString& caption, const QString& prompt, const QString& value)
        : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    {
        setWindowTitle(caption);
        auto* label = new QLabel(prompt, this);
        label->setTextFormat(Qt::PlainText);
        edit_ = new QLineEdit(this);
        edit_->setMaxLength(maxLength);
        edit_->setText(value);
        edit_->selectAll();
        edit_->setMinimumWidth(240);

        auto* ok = new QPushButton(QStringLiteral("OK"), this);
        ok->setDefault(true);
        auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
        connect(ok, &QPushButton::clicked, this, [this] { done(1); });
        connect(cancel, &QPushButton::clicked, this, [this] { done(2); });

        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(ok);
        buttons->addWidget(cancel);
        buttons->addStretch();
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label);
        layout->addWidget(edit_);
        layout->addSpacing(8);
        layout->addLayout(buttons);
        layout->setSizeConstraint(QLayout::SetFixedSize); // a fixed border: the box cannot be resized
    }

    QString text() const { return edit_->text(); }

    // Esc and the close box cancel, with the system's own number for it.
    void reject() override { done(2); }

private:
    QLineEdit* edit_;
};

} // namespace

bool InputQuery(const QString& caption, const QString& prompt, QString& value)
{
    CaixaTexto caixa(caption, prompt, value);
    if (caixa.exec() != 1)
        return false;
    value = caixa.text();
    return true;
}

} // namespace zk
