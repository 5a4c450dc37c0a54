#include "Tableware.h"

#include "Canvas.h"
#include "Palette.h"

namespace art {

namespace {

// Puts the origin at `base` and the unit at `scale` until it goes out of scope.
class Placed {
public:
    Placed(QPainter& painter, QPointF base, qreal scale) : painter_(painter)
    {
        painter_.save();
        painter_.translate(base);
        painter_.scale(scale, scale);
    }
    ~Placed() { painter_.restore(); }
    Placed(const Placed&) = delete;
    Placed& operator=(const Placed&) = delete;

private:
    QPainter& painter_;
};

QPainterPath bottleOutline()
{
    QPainterPath path(QPointF(-3.2, 0));
    path.lineTo(-3.2, -11);
    path.quadTo(-3.2, -14, -1.2, -15.5);
    path.lineTo(-1.2, -20);
    path.lineTo(1.2, -20);
    path.lineTo(1.2, -15.5);
    path.quadTo(3.2, -14, 3.2, -11);
    path.lineTo(3.2, 0);
    path.closeSubpath();
    return path;
}

// The bowl of a glass between the rim `top` and the point where the stem starts.
QPainterPath bowl(qreal halfWidth, qreal top, qreal bottom)
{
    QPainterPath path(QPointF(-halfWidth, top));
    path.lineTo(halfWidth, top);
    path.quadTo(halfWidth, bottom - 0.5, 0, bottom);
    path.quadTo(-halfWidth, bottom - 0.5, -halfWidth, top);
    return path;
}

} // namespace

void plate(QPainter& painter, QPointF centre, qreal scale)
{
    Placed placed(painter, centre, scale);
    shape(painter, ellipse({0, 0}, 8, 2.9), colour::paper, colour::slate, 1.0);
    shape(painter, ellipse({0, 0}, 4.6, 1.5), colour::mist, Qt::transparent, 0);
    shape(painter, ellipse({0, -0.6}, 3.2, 1.2), colour::orange, Qt::transparent, 0);
}

void bottle(QPainter& painter, QPointF base, qreal scale)
{
    Placed placed(painter, base, scale);
    const QPainterPath glass = bottleOutline();
    shape(painter, glass,
          across(glass.boundingRect(), {{0, colour::greenDark}, {0.4, colour::green}, {1, colour::greenDark}}),
          colour::greenDark.darker(160), 1.0);
    shape(painter, rounded(QRectF(-3.2, -8, 6.4, 4.5), 0.5), colour::paper, Qt::transparent, 0);
}

void wineGlass(QPainter& painter, QPointF base, qreal scale)
{
    Placed placed(painter, base, scale);
    shape(painter, bowl(3.4, -12, -6), withAlpha(colour::ice, 235), colour::slate, 0.9);
    shape(painter, bowl(3.0, -9.5, -6.5), colour::redDark, Qt::transparent, 0);
    painter.setPen(QPen(colour::slate, 1.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, -6), QPointF(0, -1));
    painter.drawLine(QPointF(-2.5, -0.8), QPointF(2.5, -0.8));
}

} // namespace art
