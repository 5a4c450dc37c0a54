// The installation dialog's pictures: a penguin for the Linux choice and a waving flag of
// four window panes for the Windows choice, both keyed on magenta, and the tick and cross
// glyphs of its two buttons, on silver.

#include "Canvas.h"
#include "Palette.h"
#include "Pictures.h"

#include <QtMath>

namespace art {

namespace {

// The dialog is white around the two system pictures, and the buttons nearly white
// (their gradient runs from white to #EDF4FC) around the glyphs.
const QColor dialogWhite(Qt::white);
const QColor buttonFace(0xF6, 0xF9, 0xFD);

// ---- penguin ----

const QColor feather(0x23, 0x28, 0x31);
const QColor featherLight(0x4A, 0x52, 0x60);
const QColor belly(0xFB, 0xF8, 0xF0);

void penguinFeet(QPainter& painter)
{
    for (qreal x : {18.0, 30.0})
        shape(painter, ellipse({x, 41.8}, 6, 2.6), colour::orange, colour::orange.darker(130), 1.0);
}

void penguinBody(QPainter& painter)
{
    const QPainterPath body = ellipse({24, 27.5}, 13.5, 14.5).united(ellipse({24, 13}, 10, 10.5));
    shape(painter, body, ramp({12, 6}, {34, 40}, {{0, featherLight}, {0.45, feather}, {1, feather}}), feather, 1.0);
    for (int side : {-1, 1}) {
        painter.save();
        painter.translate(24 + side * 13, 27);
        painter.rotate(side * -18);
        shape(painter, ellipse({0, 0}, 3.2, 9), feather, feather, 1.0);
        painter.restore();
    }
    const QPainterPath front =
        ellipse({24, 29}, 9, 11.5).united(ellipse({20.5, 13}, 4.6, 5.2)).united(ellipse({27.5, 13}, 4.6, 5.2));
    shape(painter, front, belly, Qt::transparent, 0);
}

void penguinFace(QPainter& painter)
{
    for (qreal x : {21.0, 27.0}) {
        shape(painter, ellipse({x, 12.5}, 1.8, 2.2), feather, Qt::transparent, 0);
        shape(painter, ellipse({x + 0.6, 11.7}, 0.6, 0.6), Qt::white, Qt::transparent, 0);
    }
    QPainterPath beak(QPointF(19.5, 16.5));
    beak.quadTo(24, 14.2, 28.5, 16.5);
    beak.quadTo(24, 20.5, 19.5, 16.5);
    shape(painter, beak, downward(beak.boundingRect(), {{0, colour::yellow}, {1, colour::orange}}),
          colour::orange.darker(130), 0.8);
}

// ---- flag of four window panes ----

// A point of the flag: (u, v) run from 0 to 1 across and down, the cloth rises and
// falls along u and leans slightly back at the top.
QPointF onFlag(qreal u, qreal v)
{
    const qreal wave = 3.2 * qSin(u * 1.6 * M_PI + 0.4);
    return {5 + 38 * u + 2 * (1 - v), 11 + 35 * v + wave};
}

QPainterPath pane(qreal u0, qreal u1, qreal v0, qreal v1)
{
    const int steps = 12;
    QPolygonF corners;
    for (int i = 0; i <= steps; ++i)
        corners << onFlag(u0 + (u1 - u0) * i / steps, v0);
    for (int i = 0; i <= steps; ++i)
        corners << onFlag(u1, v0 + (v1 - v0) * i / steps);
    for (int i = steps; i >= 0; --i)
        corners << onFlag(u0 + (u1 - u0) * i / steps, v1);
    for (int i = steps; i >= 0; --i)
        corners << onFlag(u0, v0 + (v1 - v0) * i / steps);
    QPainterPath path;
    path.addPolygon(corners);
    path.closeSubpath();
    return path;
}

// Each pane brightens where the cloth faces the light.
void flagPane(QPainter& painter, const QPainterPath& path, const QColor& colour)
{
    const QRectF box = path.boundingRect();
    shape(painter, path, across(box, {{0, colour.darker(112)}, {0.5, colour.lighter(118)}, {1, colour}}),
          colour.darker(135), 0.8);
}

// ---- glyphs ----

// Strokes drawn in a colour ramp, flattened on silver and ringed with pure black: the
// ring is what the button engraves when it is disabled. The strokes run at 45 degrees
// through pixel centres, so every pixel is clearly in or out and the glyph stays crisp.
QImage glyph(QSize size, const QPainterPath& strokes, const QColor& light, const QColor& dark)
{
    QImage drawing = blank(size);
    {
        QPainter painter(&drawing);
        smooth(painter);
        const QBrush brush(downward(strokes.boundingRect(), {{0, light}, {1, dark}}));
        painter.setPen(QPen(brush, 2.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawPath(strokes);
    }
    QImage picture = keyed(drawing, colour::silver, buttonFace);
    avoid(picture, Qt::white);
    avoid(picture, QColor(0x80, 0x80, 0x80));
    avoid(picture, Qt::black);
    outline(picture, colour::silver, Qt::black);
    return picture;
}

} // namespace

QImage penguin(QSize size)
{
    QImage drawing = blank(size);
    QPainter painter(&drawing);
    smooth(painter);
    fit(painter, QRectF(0, 0, 48, 45), QRectF(QPointF(0, 0), size));
    penguinFeet(painter);
    penguinBody(painter);
    penguinFace(painter);
    painter.end();
    return keyed(drawing, colour::key, dialogWhite);
}

QImage windowFlag(QSize size)
{
    QImage drawing = blank(size);
    QPainter painter(&drawing);
    smooth(painter);
    fit(painter, QRectF(0, 0, 48, 57), QRectF(QPointF(0, 0), size));
    const qreal gap = 0.035;
    flagPane(painter, pane(0, 0.5 - gap, 0, 0.5 - gap), colour::red);
    flagPane(painter, pane(0.5 + gap, 1, 0, 0.5 - gap), colour::green);
    flagPane(painter, pane(0, 0.5 - gap, 0.5 + gap, 1), colour::sky);
    flagPane(painter, pane(0.5 + gap, 1, 0.5 + gap, 1), colour::yellow);
    painter.end();
    return keyed(drawing, colour::key, dialogWhite);
}

QImage confirmGlyph(QSize size)
{
    QPainterPath tick(QPointF(3.5, 8.5));
    tick.lineTo(6.5, 11.5);
    tick.lineTo(12.5, 5.5);
    return glyph(size, tick, colour::sky, colour::deepBlue);
}

QImage cancelGlyph(QSize size)
{
    QPainterPath cross(QPointF(4.5, 4.5));
    cross.lineTo(11.5, 11.5);
    cross.moveTo(11.5, 4.5);
    cross.lineTo(4.5, 11.5);
    return glyph(size, cross, colour::red.lighter(125), colour::redDark);
}

} // namespace art
