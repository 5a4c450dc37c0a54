// The header band of the main windows and the title bar of the message window: blue
// ramps from left to right, dark enough everywhere for the white titles laid over them.

#include "Canvas.h"
#include "Palette.h"
#include "Pictures.h"

namespace art {

namespace {

// Light from above on a rounded surface: a lighter top, a darker bottom. `edge` is where
// the light stops; a glossy bar breaks there sharply, a soft band fades through it.
void lightFromAbove(QPainter& painter, const QRectF& box, int top, int atEdge, qreal edge, int shadow)
{
    const QColor white(Qt::white);
    const QColor black(Qt::black);
    painter.fillRect(box, downward(box, {{0.0, withAlpha(white, top)},
                                         {edge, withAlpha(white, atEdge)},
                                         {edge + 0.001, withAlpha(white, 0)},
                                         {1.0, withAlpha(black, shadow)}}));
}

void rule(QPainter& painter, qreal y, qreal width, const QColor& colour)
{
    painter.fillRect(QRectF(0, y, width, 1), colour);
}

} // namespace

QImage headerBand(QSize size)
{
    QImage image = filled(size, colour::navy);
    QPainter painter(&image);
    const QRectF box(QPointF(0, 0), size);
    painter.fillRect(box, across(box, {{0.0, colour::navy}, {0.55, colour::deepBlue}, {1.0, colour::blue}}));
    lightFromAbove(painter, box, 34, 0, 0.5, 46);
    painter.end();
    return image;
}

QImage messageBar(QSize size)
{
    QImage image = filled(size, colour::navy);
    QPainter painter(&image);
    const QRectF box(QPointF(0, 0), size);
    painter.fillRect(box, across(box, {{0.0, colour::navy}, {0.5, colour::blue}, {1.0, colour::deepBlue}}));
    lightFromAbove(painter, box, 120, 44, 0.48, 60);
    rule(painter, 0, box.width(), withAlpha(Qt::white, 110));
    rule(painter, box.height() - 1, box.width(), withAlpha(colour::navy, 200));
    painter.end();
    return image;
}

} // namespace art
