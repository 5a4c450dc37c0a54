#include "Behaviours.h"

#include "Erros.h"

#include <QEvent>
#include <QMouseEvent>

namespace zk {

namespace {

class ClickFilter : public QObject {
public:
    ClickFilter(QWidget* widget, std::function<void()> action) : QObject(widget), action_(std::move(action))
    {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonRelease)
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint()))
            runReported(action_);
        return false;
    }

private:
    std::function<void()> action_;
};

class RightEdgeFilter : public QObject {
public:
    RightEdgeFilter(QWidget* widget, int distance) : QObject(widget), widget_(widget), distance_(distance)
    {
        widget->parentWidget()->installEventFilter(this);
        place();
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            place();
        return false;
    }

private:
    void place() { widget_->move(widget_->parentWidget()->width() - distance_ - widget_->width(), widget_->y()); }

    QWidget* widget_;
    int distance_;
};

} // namespace

void onClick(QWidget* widget, std::function<void()> action) { new ClickFilter(widget, std::move(action)); }

void keepAtRight(QWidget* widget, int distance) { new RightEdgeFilter(widget, distance); }

} // namespace zk
