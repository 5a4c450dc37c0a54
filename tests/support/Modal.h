#pragma once
// Drives a modal window the way a user would: once it is on screen and active, an action
// clicks its buttons or types into the control that holds the focus.

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

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
