#pragma once
// Acts on the next modal dialog as a user would: once it is up, from inside its exec().
// Stops watching when it goes out of scope.

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

class ModalDriver {
public:
    ModalDriver()
    {
        poll_.setInterval(10);
        QObject::connect(&poll_, &QTimer::timeout, [this] { tick(); });
    }

    // Gives up after five seconds without a modal dialog.
    void when(std::function<void(QWidget&)> action)
    {
        action_ = std::move(action);
        waited_.start();
        poll_.start();
    }

private:
    void tick()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && waited_.elapsed() < 5000)
            return;
        poll_.stop();
        auto action = std::move(action_);
        if (modal)
            action(*modal);
    }

    QTimer poll_;
    QElapsedTimer waited_;
    std::function<void(QWidget&)> action_;
};
