#include "ui/Behaviours.h"

#include "base/Erros.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>

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

class FocusedButtonEnter : public QObject {
public:
    explicit FocusedButtonEnter(QWidget& window) : QObject(&window)
    {
        // A dialog makes an auto-default button its default one when the button takes the
        // focus, or when the dialog shows; the default one then takes every Enter.
        for (QPushButton* button : window.findChildren<QPushButton*>()) {
            button->setAutoDefault(false);
            button->setDefault(false);
            button->installEventFilter(this);
        }
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        if (!key->isAutoRepeat())
            static_cast<QPushButton*>(watched)->click();
        return true;
    }
};

} // namespace

void onClick(QWidget* widget, std::function<void()> action) { new ClickFilter(widget, std::move(action)); }

void keepAtRight(QWidget* widget, int distance) { new RightEdgeFilter(widget, distance); }

void enterPressesOnlyTheFocusedButton(QWidget& window) { new FocusedButtonEnter(window); }

} // namespace zk
