#pragma once
// Drives modal windows the way a user would: an action clicks their buttons or types into the
// control that holds the focus. The next window to open, the windows that come up while an
// owner lives, and the answers to the platform's message and input boxes.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

// Runs the action on the next modal window to open. A window still open ten seconds
// later fails the test and is closed, so that a broken dialog cannot hang the run.
inline void whenModalOpens(std::function<void(QWidget&)> action)
{
    QTimer::singleShot(0, [action = std::move(action)] {
        QPointer<QWidget> window = QApplication::activeModalWidget();
        if (!window) {
            ADD_FAILURE() << "no modal window is open";
            return;
        }
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        action(*window);
        QTimer::singleShot(10000, [window] {
            if (window && window->isVisible()) {
                ADD_FAILURE() << window->objectName().toStdString() << " is still open";
                window->hide();
            }
        });
    });
}

// Offers `take` the modal window on top every 10 ms until it takes one (answers true), for
// as long as `scope` lives and, when `tries` is given, that many times at most. `missed`
// runs if none was taken.
inline void pollModals(QObject* scope, std::function<bool(QWidget*)> take, std::optional<int> tries,
                       std::function<void()> missed = {})
{
    auto* timer = new QTimer(scope);
    auto taken = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, [timer, taken, take = std::move(take), tries]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        *taken = modal && take(modal);
        if (*taken || (tries && --*tries == 0)) {
            timer->stop();
            timer->deleteLater();
        }
    });
    if (missed)
        QObject::connect(timer, &QObject::destroyed, [taken, missed = std::move(missed)] {
            if (!*taken)
                missed();
        });
    timer->start(10);
}

// Offers `take` each modal window that comes up until it takes one (answers true), for at
// most five seconds and no longer than `owner` lives. For a window that may not come at all:
// none coming fails nothing.
inline void whenModal(QObject* owner, std::function<bool(QWidget*)> take) { pollModals(owner, std::move(take), 500); }

// Runs the action on the modal window on top, every 10 ms for as long as `owner` lives.
inline void onEveryModal(QObject* owner, std::function<void(QWidget&)> action)
{
    auto actOn = [action = std::move(action)](QWidget* modal) {
        action(*modal);
        return false;
    };
    pollModals(owner, actOn, std::nullopt);
}

// Closes every modal window but `except` that comes up while `owner` lives; counts them.
inline std::shared_ptr<int> closeEveryModal(QObject* owner, const QWidget* except = nullptr)
{
    auto closed = std::make_shared<int>(0);
    onEveryModal(owner, [closed, except](QWidget& modal) {
        if (&modal != except) {
            ++*closed;
            modal.close();
        }
    });
    return closed;
}

// Clicks one of a message box's standard buttons.
inline void answerBox(QWidget& window, QMessageBox::StandardButton button)
{
    auto* box = qobject_cast<QMessageBox*>(&window);
    ASSERT_NE(box, nullptr) << window.objectName().toStdString() << " is no message box";
    QAbstractButton* answer = box->button(button);
    ASSERT_NE(answer, nullptr) << "the box has no such button";
    answer->click();
}

// What an input box showed when it was answered.
struct Asked {
    bool shown = false;
    QString caption, prompt, text, selected;
    int maxLength = 0;
};

// Answers an input box as a user would: types over the offered text and presses Enter, or
// presses Esc when given nothing. Texts that cannot be typed (control characters, other
// alphabets) are pasted. What the box showed; nothing when the window is no input box.
inline std::optional<Asked> answerInputBox(QWidget& box, const std::optional<QString>& typed)
{
    auto* edit = box.findChild<QLineEdit*>();
    if (!edit)
        return std::nullopt;
    const Asked asked{.shown = true,
                      .caption = box.windowTitle(),
                      .prompt = box.findChild<QLabel*>()->text(),
                      .text = edit->text(),
                      .selected = edit->selectedText(),
                      .maxLength = edit->maxLength()};
    if (!typed) {
        QTest::keyClick(edit, Qt::Key_Escape);
        return asked;
    }
    const bool typeable = std::all_of(typed->begin(), typed->end(), [](QChar c) { return c >= u' ' && c <= u'~'; });
    if (typed->isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else if (typeable)
        QTest::keyClicks(edit, *typed);
    else
        edit->insert(*typed);
    QTest::keyClick(edit, Qt::Key_Return);
    return asked;
}

// Answers the next input box (answerInputBox). A box that has not come when five seconds have
// passed or `owner` goes fails the test.
inline std::shared_ptr<Asked> answerInput(QObject* owner, std::optional<QString> typed)
{
    auto asked = std::make_shared<Asked>();
    auto answer = [asked, typed](QWidget* box) {
        const std::optional<Asked> seen = answerInputBox(*box, typed);
        if (seen)
            *asked = *seen;
        return seen.has_value();
    };
    pollModals(owner, answer, 500, [] { ADD_FAILURE() << "no input box came up"; });
    return asked;
}

// Answers the next message box with the given button, recording its caption, text and
// buttons. A box that has not come when five seconds have passed or `owner` goes fails the test.
inline std::shared_ptr<QStringList> answerMessage(QObject* owner, QMessageBox::StandardButton button)
{
    auto seen = std::make_shared<QStringList>();
    auto answer = [seen, button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box)
            return false;
        *seen << box->windowTitle() << box->text();
        for (QAbstractButton* b : box->buttons())
            *seen << b->text();
        answerBox(*box, button);
        return true;
    };
    pollModals(owner, answer, 500, [] { ADD_FAILURE() << "no message box came up"; });
    return seen;
}

// A key typed on the keyboard reaches the control that holds the window's focus. Only a
// window on screen can be typed into or touched: a closed one fails the test.
inline void type(QWidget& window, Qt::Key key)
{
    ASSERT_TRUE(window.isVisible()) << "typing into a closed window";
    QWidget* target = window.focusWidget();
    QTest::keyClick(target ? target : &window, key);
}

inline void click(QWidget& window, const char* control)
{
    ASSERT_TRUE(window.isVisible()) << "touching a closed window";
    auto* widget = window.findChild<QWidget*>(QString::fromLatin1(control));
    ASSERT_NE(widget, nullptr) << control;
    QTest::mouseClick(widget, Qt::LeftButton);
}
