// A round dining table dressed in a cloth, with a chair on each side and one behind it.
// The same drawing, in different cloths, makes the free and occupied pictures of the
// table tiles and the "Mesas" picture of the toolbar.

#include "Canvas.h"
#include "Palette.h"
#include "Pictures.h"
#include "Tableware.h"

namespace art {

namespace {

struct TableLook {
    QColor cloth;
    QColor clothLight;
    QColor clothDark;
    bool laid = false;  // plates, a glass and a bottle: someone is being served
    bool flowers = false;
};

// Design units. The table top is an ellipse around `middle`; its cloth hangs to `hem`.
const QRectF diningSet(7, 22, 86, 67);
const QPointF middle(50, 47);
const qreal topHalfWidth = 30;
const qreal topHalfDepth = 9;
const qreal hem = 66;
const qreal floorLine = 87;
const qreal edge = 1.4;

void woodPart(QPainter& painter, const QPainterPath& path)
{
    shape(painter, path, downward(path.boundingRect(), {{0, colour::woodLight}, {1, colour::wood}}),
          colour::woodDark, edge);
}

// A chair seen from the side, like an "h": its back stands at `outer`, its seat reaches
// toward the table (`toward` is +1 to the right, -1 to the left).
void sideChair(QPainter& painter, qreal outer, int toward)
{
    auto span = [outer, toward](qreal from, qreal to, qreal top, qreal bottom) {
        const qreal a = outer + toward * from;
        const qreal b = outer + toward * to;
        return QRectF(QPointF(std::min(a, b), top), QPointF(std::max(a, b), bottom));
    };
    woodPart(painter, rounded(span(1, 4, 60, floorLine), 1));   // back leg
    woodPart(painter, rounded(span(16, 19, 60, floorLine), 1)); // front leg
    woodPart(painter, rounded(span(0, 5, 26, 62), 2.5));        // back
    woodPart(painter, rounded(span(0, 22, 56.5, 62), 2));       // seat
}

// The chair across the table: only its back shows above the table top.
void farChair(QPainter& painter)
{
    woodPart(painter, rounded(QRectF(37, 23, 26, 25), 4));
    shape(painter, rounded(QRectF(42, 28, 16, 15), 2), withAlpha(colour::woodDark, 90), Qt::transparent, 0);
}

// The cloth's hanging part: straight down from the ends of the top, flaring a little,
// with a scalloped hem.
QPainterPath skirt()
{
    const qreal left = middle.x() - topHalfWidth;
    const qreal right = middle.x() + topHalfWidth;
    QPainterPath path(QPointF(right, middle.y()));
    path.lineTo(left, middle.y());
    path.lineTo(left + 2, hem);
    const int folds = 6;
    const qreal step = (right - left - 4) / folds;
    for (int fold = 0; fold < folds; ++fold) {
        const qreal x = left + 2 + fold * step;
        path.quadTo(x + step / 2, hem + 3.5, x + step, hem);
    }
    path.closeSubpath();
    return path;
}

void clothFolds(QPainter& painter, const TableLook& look)
{
    painter.setPen(QPen(withAlpha(look.clothDark, 150), 1.2, Qt::SolidLine, Qt::RoundCap));
    const qreal step = (2 * topHalfWidth - 4) / 6;
    for (int fold = 1; fold < 6; ++fold) {
        const qreal x = middle.x() - topHalfWidth + 2 + fold * step;
        painter.drawLine(QPointF(x, middle.y() + 10), QPointF(x + (x - middle.x()) * 0.03, hem + 0.5));
    }
}

void table(QPainter& painter, const TableLook& look)
{
    woodPart(painter, rounded(QRectF(middle.x() - 3.5, hem - 2, 7, floorLine - hem - 2), 1));
    woodPart(painter, ellipse(QPointF(middle.x(), floorLine - 2), 13, 2.6));
    shape(painter, skirt(), downward(QRectF(0, middle.y(), 1, hem + 3.5 - middle.y()), {{0, look.cloth}, {1, look.clothDark}}),
          look.clothDark, edge);
    clothFolds(painter, look);
    shape(painter, ellipse(middle, topHalfWidth, topHalfDepth),
          downward(QRectF(0, middle.y() - topHalfDepth, 1, 2 * topHalfDepth), {{0, look.clothLight}, {1, look.cloth}}),
          look.clothDark, edge);
}

void servedMeal(QPainter& painter)
{
    bottle(painter, {56, 45});
    wineGlass(painter, {45, 46});
    plate(painter, {35, 49});
    plate(painter, {65, 49});
}

void flowerVase(QPainter& painter)
{
    painter.setPen(QPen(colour::greenDark, 1.1, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(50, 40), QPointF(45, 31));
    painter.drawLine(QPointF(50, 40), QPointF(50, 28.5));
    painter.drawLine(QPointF(50, 40), QPointF(55, 31));
    const QPointF blossoms[] = {{45, 31}, {50, 28.5}, {55, 31}};
    const QColor petals[] = {colour::red, colour::yellow, colour::orange};
    for (int i = 0; i < 3; ++i)
        shape(painter, ellipse(blossoms[i], 2.6, 2.6), petals[i], colour::redDark, 0.8);
    QPainterPath vase(QPointF(46.5, 38.5));
    vase.lineTo(53.5, 38.5);
    vase.quadTo(55, 44, 52.5, 47.5);
    vase.lineTo(47.5, 47.5);
    vase.quadTo(45, 44, 46.5, 38.5);
    shape(painter, vase, across(vase.boundingRect(), {{0, colour::sky}, {1, colour::deepBlue}}), colour::navy, 1.0);
}

QImage diningPicture(QSize size, const TableLook& look, const QRectF& placement)
{
    QImage image = blank(size);
    QPainter painter(&image);
    smooth(painter);
    fit(painter, diningSet, placement);
    farChair(painter);
    sideChair(painter, diningSet.left() + 1, +1);
    sideChair(painter, diningSet.right() - 1, -1);
    table(painter, look);
    if (look.laid)
        servedMeal(painter);
    if (look.flowers)
        flowerVase(painter);
    painter.end();
    return image;
}

// On a floor tile the number covers the picture's top left and the total its bottom
// strip: the table sits right of centre and clear of the bottom.
QImage tilePicture(QSize size, const TableLook& look)
{
    const QRectF placement(size.width() * 0.07, 1, size.width() * 0.93 - 1, size.height() * 0.86);
    return keyed(diningPicture(size, look, placement), colour::key, Qt::white);
}

} // namespace

QImage freeTable(QSize size)
{
    return tilePicture(size, {colour::green, colour::greenLight, colour::greenDark});
}

QImage occupiedTable(QSize size)
{
    return tilePicture(size, {colour::red, colour::orange, colour::redDark, true});
}

QImage toolbarTable(QSize size)
{
    const TableLook look{colour::blue, colour::sky, colour::navy, false, true};
    return diningPicture(size, look, QRectF(QPointF(0, 0), size).adjusted(1, 2, -1, -2));
}

} // namespace art
