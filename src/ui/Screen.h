#pragma once
// What every window does the same way: fonts given as a character height in pixels,
// colours of one palette role, and centring on the screen.

#include <QColor>
#include <QFont>
#include <QPalette>

class QLabel;
class QWidget;

namespace zk {

QFont pixelFont(const QString& family, int pixels, bool bold = false);

// The family when it is installed, else the fallback. For faces whose nearest stand-in
// would be wider than the fixed spaces designed for them.
QString installedOr(const QString& family, const QString& fallback);
// The designed face when installed, else Arial's metric twin: for texts in tight boxes.
QFont narrowFont(const QString& family, int pixels, bool bold = false);

// A label sized to its text at its place.
QLabel* sizedLabel(QWidget* parent, const QString& text, const QPoint& at, const QFont& font);

void setColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour);

// A panel or window painted in one colour.
void fillWith(QWidget& widget, const QColor& colour);

// Moves a top-level window so that its frame sits in the middle of its screen.
void centreOnScreen(QWidget& window);

// Tablet mode: the window maximised, and placed over the screen's available area itself,
// for platforms where nothing carries out a maximise request (a bare X server on a kiosk,
// linuxfb, vnc).
void fillScreen(QWidget& window);

} // namespace zk
