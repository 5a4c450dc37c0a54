#pragma once
// The table register against a copy of the sample bar: the data module as start-up leaves
// it (with the table floor's view open), the dialog, and what the connection sends.

#include "data/UDm.h"
#include "dialogs/UPesqMesa.h"
#include "support/ErrorLog.h"
#include "support/StatementLog.h"
#include "support/TempIni.h"
#include "support/TestDatabase.h"
#include "ui/DbGrid.h"
#include "ui/DbGridModel.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

// What an input box showed when it was answered.
struct Asked {
    bool shown = false;
    QString caption, prompt, text, selected;
    int maxLength = 0;
};

inline QPushButton* buttonTitled(QWidget* box, const QString& text)
{
    for (QPushButton* button : box->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// Runs `handle` on each modal window that comes up until it answers true, for at most five
// seconds and no longer than `owner` lives.
inline void whenModal(QObject* owner, std::function<bool(QWidget*)> handle)
{
    auto* poll = new QTimer(owner);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, handle] {
        QWidget* modal = QApplication::activeModalWidget();
        if ((modal && handle(modal)) || ++*tries == 500) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(10);
}

// Answers the next input box as a user would: types over the offered text and presses
// Enter, or presses Esc when given nothing. Texts that cannot be typed (control characters,
// other alphabets) are pasted.
inline std::shared_ptr<Asked> answerInput(QObject* owner, std::optional<QString> typed)
{
    auto asked = std::make_shared<Asked>();
    whenModal(owner, [asked, typed](QWidget* box) {
        auto* edit = box->findChild<QLineEdit*>();
        if (!edit)
            return false;
        asked->shown = true;
        asked->caption = box->windowTitle();
        asked->prompt = box->findChild<QLabel*>()->text();
        asked->text = edit->text();
        asked->selected = edit->selectedText();
        asked->maxLength = edit->maxLength();
        if (!typed) {
            QTest::keyClick(edit, Qt::Key_Escape);
            return true;
        }
        const bool typeable = std::all_of(typed->begin(), typed->end(), [](QChar c) { return c >= u' ' && c <= u'~'; });
        if (typed->isEmpty())
            QTest::keyClick(edit, Qt::Key_Backspace);
        else if (typeable)
            QTest::keyClicks(edit, *typed);
        else
            edit->insert(*typed);
        QTest::keyClick(edit, Qt::Key_Return);
        return true;
    });
    return asked;
}

// Answers the next message box with the given button, recording its caption and text.
inline std::shared_ptr<QStringList> answerMessage(QObject* owner, QMessageBox::StandardButton button)
{
    auto seen = std::make_shared<QStringList>();
    whenModal(owner, [seen, button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return false;
        *seen << box->windowTitle() << box->text();
        for (QAbstractButton* b : box->buttons())
            *seen << b->text();
        box->button(button)->click();
        return true;
    });
    return seen;
}

class RegisterTest : public testing::Test {
protected:
    void SetUp() override
    {
        db->writeSettings();
        dm = std::make_unique<TDm>();
        dm->QPesqMesa.open(); // as the table floor window does when it is created
        form = std::make_unique<TFPesqMesa>(*dm);
        log = std::make_unique<StatementLog>(dm->Db);
    }

    // The numbers the stored tables have, as another connection sees them.
    QList<QVariantList> storedWith(int descricao)
    {
        return db->rows("select CODMESA, DESCRICAO, STATUS, CODMOVIMENTO from MESAS where DESCRICAO = ?", {descricao});
    }
    int storedCount() { return db->value("select count(*) from MESAS").toInt(); }

    std::shared_ptr<Asked> cadastrar(std::optional<QString> typed)
    {
        auto asked = answerInput(form.get(), std::move(typed));
        form->BitBtn1->click();
        return asked;
    }
    std::shared_ptr<Asked> alterar(std::optional<QString> typed)
    {
        auto asked = answerInput(form.get(), std::move(typed));
        form->BitBtn2->click();
        return asked;
    }

    zk::DbGridModel& grid() const { return form->DBGrid1->dataModel(); }
    QString gridText(int row, int column) const { return grid().index(row, column).data().toString(); }

    TempIni ini;
    std::unique_ptr<TestDatabase> db = TestDatabase::copyOf("sample");
    ErrorLog errors;
    std::unique_ptr<TDm> dm;
    std::unique_ptr<TFPesqMesa> form;
    std::unique_ptr<StatementLog> log;
};
