#pragma once
// Drives modal windows the way a user would: each step runs once, in order, on the next
// modal window that appears (found through QApplication::activeModalWidget()). A step may
// open further modal windows itself; their steps run inside it.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <vector>

class ModalDriver {
public:
    using Step = std::function<void(QWidget*)>;

    ModalDriver()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    ModalDriver& then(Step step)
    {
        steps_.push_back(std::move(step));
        return *this;
    }
    bool finished() const { return steps_.empty(); }
    // Names of the modal windows the steps ran on, in order.
    QStringList seen;

private:
    void poll()
    {
        std::erase_if(handled_, [](const QPointer<QWidget>& w) { return !w || !w->isVisible(); });
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || steps_.empty() || std::find(handled_.begin(), handled_.end(), modal) != handled_.end())
            return;
        handled_.emplace_back(modal);
        Step step = std::move(steps_.front());
        steps_.pop_front();
        seen << modal->objectName();
        step(modal);
    }

    QTimer timer_;
    std::deque<Step> steps_;
    std::vector<QPointer<QWidget>> handled_;
};
