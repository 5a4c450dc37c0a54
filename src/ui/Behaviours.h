#pragma once
// Small behaviours the designed screens give plain widgets: a click action, a place kept at
// a distance from the parent's right edge as the parent grows, and the rule for Enter.

#include <QWidget>

#include <functional>

namespace zk {

// Runs the action when a left press is released over the widget, as a click; its failure is
// reported by the default error handler.
void onClick(QWidget* widget, std::function<void()> action);

// Keeps the widget `distance` pixels from its parent's right edge, its top where it is.
void keepAtRight(QWidget* widget, int distance);

// Enter (a keyboard's, or a barcode scanner's carriage return) presses the push button that
// holds the focus, and nothing else: no button of the window is a default one, so Enter on
// a tile, a list or a text box never presses a button the user is not on. For windows that
// name no default button; call it once their buttons exist.
void enterPressesOnlyTheFocusedButton(QWidget& window);

} // namespace zk
