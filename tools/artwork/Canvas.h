#pragma once
// What every drawing shares: canvases, painter set-up, gradients, fitting a design box
// onto a picture, and the flattening of a drawing onto a key colour for the bitmaps whose
// bottom-left pixel is drawn transparent by the program.

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <initializer_list>

namespace art {

struct Stop {
    qreal at;
    QColor colour;
};

// A transparent canvas, or one filled with a colour (without alpha when that is opaque).
QImage blank(QSize size);
QImage filled(QSize size, const QColor& colour);

// Antialiased shapes and smooth scaling.
void smooth(QPainter& painter);

QLinearGradient ramp(QPointF from, QPointF to, std::initializer_list<Stop> stops);
QLinearGradient downward(const QRectF& box, std::initializer_list<Stop> stops);
QLinearGradient across(const QRectF& box, std::initializer_list<Stop> stops);

// Maps a design box onto the target, keeping proportions and centring it, so a drawing
// written in design units lands on its picture whatever the picture's size.
void fit(QPainter& painter, const QRectF& design, const QRectF& target);

QPainterPath rounded(const QRectF& box, qreal radius);
QPainterPath ellipse(QPointF centre, qreal rx, qreal ry);

// Fills a shape and strokes its edge (no edge when the width is 0).
void shape(QPainter& painter, const QPainterPath& path, const QBrush& fill, const QColor& edge,
           qreal edgeWidth);

QColor withAlpha(QColor colour, int alpha);

// Turns a drawing on transparency into an opaque picture on exactly `key`: a pixel at
// least half covered becomes the drawing seen over `seenOn` (the colour the program will
// show around it), every other pixel becomes `key`, with no soft edge blending into it.
QImage keyed(const QImage& drawing, const QColor& key, const QColor& seenOn);

// Paints `ink` on every `key` pixel that touches the figure, diagonals included.
void outline(QImage& picture, const QColor& key, const QColor& ink);

// Moves every pixel of exactly `colour` by one step of blue, keeping it out of the
// picture where that colour has a meaning of its own.
void avoid(QImage& picture, const QColor& colour);

} // namespace art
