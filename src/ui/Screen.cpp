#include "ui/Screen.h"

#include <QFontDatabase>
#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace zk {

QFont pixelFont(const QString& family, int pixels, bool bold)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QString installedOr(const QString& family, const QString& fallback)
{
    return QFontDatabase::hasFamily(family) ? family : fallback;
}

QFont narrowFont(const QString& family, int pixels, bool bold)
{
    return pixelFont(installedOr(family, QStringLiteral("Arial")), pixels, bold);
}

QLabel* sizedLabel(QWidget* parent, const QString& text, const QPoint& at, const QFont& font)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->adjustSize();
    label->move(at);
    return label;
}

void setColour(QWidget& widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

void fillWith(QWidget& widget, const QColor& colour)
{
    setColour(widget, QPalette::Window, colour);
    widget.setAutoFillBackground(true);
}

void centreOnScreen(QWidget& window)
{
    const QRect screen = window.screen()->geometry();
    window.move(window.pos() + screen.center() - window.frameGeometry().center());
}

void fillScreen(QWidget& window)
{
    window.setGeometry(window.screen()->availableGeometry()); // a new geometry ends a maximised state
    window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

} // namespace zk
