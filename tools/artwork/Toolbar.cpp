// The waiter and the basket of the main window's toolbar, and the bin that deletes a
// line of an order. All on transparency: they sit on white.

#include "Canvas.h"
#include "Palette.h"
#include "Pictures.h"
#include "Tableware.h"

namespace art {

namespace {

const qreal edge = 1.2;

// A transparent picture with a painter that maps the design box onto it.
struct Drawing {
    QImage image;
    QPainter painter;
    Drawing(QSize size, const QRectF& design) : image(blank(size)), painter(&image)
    {
        smooth(painter);
        fit(painter, design, QRectF(QPointF(0, 0), size));
    }
    QImage finished()
    {
        painter.end();
        return image;
    }
};

QPainterPath polygon(std::initializer_list<QPointF> corners)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(corners));
    path.closeSubpath();
    return path;
}

// ---- the waiter: head and shoulders, a tray held up on one hand ----

void jacket(QPainter& painter)
{
    QPainterPath body(QPointF(13, 74));
    body.lineTo(15, 58);
    body.quadTo(16, 48, 26, 46);
    body.lineTo(44, 46);
    body.quadTo(53, 48, 55, 58);
    body.lineTo(57, 74);
    body.closeSubpath();
    shape(painter, body, downward(body.boundingRect(), {{0, colour::deepBlue}, {1, colour::navy}}), colour::navy, edge);
    shape(painter, polygon({{28.5, 46}, {41.5, 46}, {35, 63}}), colour::paper, colour::navy, edge);
    for (qreal y : {66.0, 71.0})
        shape(painter, ellipse({35, y}, 1.3, 1.3), colour::pale, Qt::transparent, 0);
}

void bowTie(QPainter& painter)
{
    shape(painter, polygon({{35, 49}, {29.5, 46.2}, {29.5, 51.8}}), colour::redDark, colour::redDark, 0.8);
    shape(painter, polygon({{35, 49}, {40.5, 46.2}, {40.5, 51.8}}), colour::redDark, colour::redDark, 0.8);
    shape(painter, ellipse({35, 49}, 1.6, 1.6), colour::red, colour::redDark, 0.6);
}

void face(QPainter& painter)
{
    shape(painter, rounded(QRectF(31, 38, 8, 9), 2), colour::skinShade, Qt::transparent, 0);
    for (qreal x : {24.2, 45.8})
        shape(painter, ellipse({x, 30}, 2.4, 3.4), colour::skinShade, colour::skinShade, 0.6);
    shape(painter, ellipse({35, 28.5}, 10.8, 12.2), colour::skin, colour::skinShade, edge);

    QPainterPath hair(QPointF(24.2, 29));
    hair.cubicTo(21.5, 14, 48.5, 12, 45.8, 29);
    hair.cubicTo(44, 21.5, 37, 20.5, 32, 22);
    hair.cubicTo(28, 23.2, 25.5, 25, 24.2, 29);
    shape(painter, hair, colour::hair, colour::hair, 0.8);

    for (qreal x : {31.0, 39.0})
        shape(painter, ellipse({x, 29.5}, 1.3, 1.6), colour::ink, Qt::transparent, 0);
    QPainterPath moustache(QPointF(35, 34));
    moustache.cubicTo(32, 32.5, 29.5, 34, 29, 35.5);
    moustache.cubicTo(31.5, 35.5, 33, 35.5, 35, 35);
    moustache.cubicTo(37, 35.5, 38.5, 35.5, 41, 35.5);
    moustache.cubicTo(40.5, 34, 38, 32.5, 35, 34);
    shape(painter, moustache, colour::hair, colour::hair, 0.5);
    painter.setPen(QPen(colour::skinShade.darker(130), 1.0, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(32, 34.5, 6, 4), -20 * 16, -140 * 16);
}

void raisedArm(QPainter& painter)
{
    QPainterPath sleeve(QPointF(50, 52));
    sleeve.quadTo(60, 46, 62, 33);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour::navy, 9, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(sleeve);
    painter.setPen(QPen(colour::deepBlue, 6.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(sleeve);
    shape(painter, ellipse({62.5, 31}, 3.8, 3.4), colour::skin, colour::skinShade, 1.0);
}

void tray(QPainter& painter)
{
    wineGlass(painter, {58, 27.2}, 1.15);
    bottle(painter, {69, 27.5}, 1.05);
    shape(painter, ellipse({64, 28.5}, 14.5, 2.8),
          downward(QRectF(0, 25.7, 1, 5.6), {{0, colour::mist}, {1, colour::steel}}), colour::slate, 1.0);
}

// ---- the basket: a shopping basket with bread, an apple and a bottle ----

void basketHandle(QPainter& painter)
{
    QPainterPath handle(QPointF(17, 38));
    handle.cubicTo(17, 7, 56, 7, 56, 38);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour::slate, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(handle);
    painter.setPen(QPen(colour::mist, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(handle);
}

void baguette(QPainter& painter)
{
    painter.save();
    painter.translate(27, 29);
    painter.rotate(-38);
    shape(painter, rounded(QRectF(-17, -4.5, 34, 9), 4.5),
          downward(QRectF(0, -4.5, 1, 9), {{0, colour::woodLight}, {1, colour::wood}}), colour::woodDark, edge);
    painter.setPen(QPen(colour::woodDark, 1.2, Qt::SolidLine, Qt::RoundCap));
    for (qreal x : {-9.0, -2.0, 5.0, 12.0})
        painter.drawLine(QPointF(x - 2, 2), QPointF(x + 2, -2));
    painter.restore();
}

void apple(QPainter& painter)
{
    shape(painter, ellipse({37, 34}, 7, 6.5), downward(QRectF(0, 27.5, 1, 13), {{0, colour::orange}, {1, colour::red}}),
          colour::redDark, edge);
    painter.setPen(QPen(colour::woodDark, 1.4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(37, 28.5), QPointF(38, 25.5));
    shape(painter, ellipse({41, 26.5}, 3, 1.5), colour::green, colour::greenDark, 0.8);
}

// The body runs from the rim at y 42 down to y 67, its sides closing in by 5 on each.
const qreal basketTop = 42;
const qreal basketSlant = 5.0 / 25.0;

QPainterPath basketBody()
{
    QPainterPath body(QPointF(8, 42));
    body.lineTo(65, 42);
    body.lineTo(60, 64);
    body.quadTo(59.3, 67, 56, 67);
    body.lineTo(17, 67);
    body.quadTo(13.7, 67, 13, 64);
    body.closeSubpath();
    return body;
}

// The openings of the weave, in two rows that follow the slanted sides.
void weave(QPainter& painter)
{
    const int columns = 5;
    const qreal rows[][2] = {{46, 54}, {57, 63.5}};
    for (const auto& row : rows) {
        const qreal inset = ((row[0] + row[1]) / 2 - basketTop) * basketSlant;
        const qreal left = 8 + inset + 4;
        const qreal right = 65 - inset - 4;
        const qreal pitch = (right - left) / columns;
        for (int column = 0; column < columns; ++column) {
            const QRectF hole(left + column * pitch + 1.2, row[0], pitch - 2.4, row[1] - row[0]);
            shape(painter, rounded(hole, 1.5), colour::ice, colour::navy, 0.8);
        }
    }
}

// ---- the bin ----

void binLid(QPainter& painter)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour::redDark, 2.4));
    painter.drawRoundedRect(QRectF(17, 4.5, 10, 6), 2, 2);
    shape(painter, rounded(QRectF(6.5, 9, 31, 6), 2.2),
          downward(QRectF(0, 9, 1, 6), {{0, colour::red}, {1, colour::redDark}}), colour::redDark, edge);
}

void binBody(QPainter& painter)
{
    QPainterPath body(QPointF(9, 16.5));
    body.lineTo(35, 16.5);
    body.lineTo(32.5, 43);
    body.quadTo(32.2, 46, 29, 46);
    body.lineTo(15, 46);
    body.quadTo(11.8, 46, 11.5, 43);
    body.closeSubpath();
    shape(painter, body, across(body.boundingRect(), {{0, colour::orange}, {0.3, colour::red}, {1, colour::redDark}}),
          colour::redDark, edge);
    // Grooves, each with a highlight beside it, closing in as the body narrows.
    const qreal middle = 22;
    for (qreal top : {16.5, 22.0, 27.5}) {
        const qreal bottom = middle + (top - middle) * 0.76;
        painter.setPen(QPen(colour::redDark, 2.2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(top, 21), QPointF(bottom, 41));
        painter.setPen(QPen(withAlpha(Qt::white, 90), 1.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(top + 1.4, 21.5), QPointF(bottom + 1.4, 40.5));
    }
}

} // namespace

QImage waiter(QSize size)
{
    Drawing drawing(size, QRectF(5, 4, 76, 69));
    jacket(drawing.painter);
    face(drawing.painter);
    bowTie(drawing.painter);
    raisedArm(drawing.painter);
    tray(drawing.painter);
    return drawing.finished();
}

QImage basket(QSize size)
{
    Drawing drawing(size, QRectF(2, 2, 69, 69));
    QPainter& painter = drawing.painter;
    basketHandle(painter);
    baguette(painter);
    bottle(painter, {50, 42}, 1.25);
    apple(painter);
    shape(painter, basketBody(), downward(QRectF(0, 42, 1, 25), {{0, colour::sky}, {1, colour::blue}}), colour::navy,
          edge);
    weave(painter);
    shape(painter, rounded(QRectF(5, 36.5, 63, 7), 3),
          downward(QRectF(0, 36.5, 1, 7), {{0, colour::blue}, {1, colour::deepBlue}}), colour::navy, edge);
    return drawing.finished();
}

QImage bin(QSize size)
{
    Drawing drawing(size, QRectF(0, 0, 44, 50));
    binLid(drawing.painter);
    binBody(drawing.painter);
    return drawing.finished();
}

} // namespace art
