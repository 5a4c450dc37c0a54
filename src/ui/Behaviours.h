#pragma once
// Two small behaviours the designed screens give plain widgets: a click action, and a place
// kept at a distance from the parent's right edge as the parent grows.

#include <QWidget>

#include <functional>

namespace zk {

// Runs the action when a left press is released over the widget, as a click; its failure is
// reported by the default error handler.
void onClick(QWidget* widget, std::function<void()> action);

// Keeps the widget `distance` pixels from its parent's right edge, its top where it is.
void keepAtRight(QWidget* widget, int distance);

} // namespace zk
