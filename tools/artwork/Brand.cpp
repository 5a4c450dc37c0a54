// "Zenobra Kova": the mark (a serving cloche on a blue tile) and the two-tone wordmark,
// set together as the maker's logo on the toolbar and as the product's small wordmark on
// the installation dialog.

#include "Canvas.h"
#include "Palette.h"
#include "Pictures.h"

#include <QFont>
#include <QFontMetricsF>

namespace art {

namespace {

const QString firstWord = QStringLiteral("Zenobra");
const QString secondWord = QStringLiteral("Kova");
const QString tagline = QStringLiteral("BAR E RESTAURANTE");

QFont brandFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

void mark(QPainter& painter, const QRectF& box)
{
    painter.save();
    fit(painter, QRectF(0, 0, 40, 40), box);
    shape(painter, rounded(QRectF(0.5, 0.5, 39, 39), 9),
          downward(QRectF(0, 0, 40, 40), {{0, colour::sky}, {1, colour::deepBlue}}), colour::navy, 1.0);
    QPainterPath dome(QPointF(8, 27));
    dome.cubicTo(8, 12.5, 32, 12.5, 32, 27);
    dome.closeSubpath();
    shape(painter, dome, colour::paper, Qt::transparent, 0);
    shape(painter, ellipse({20, 13.2}, 2.6, 2.3), colour::paper, Qt::transparent, 0);
    shape(painter, rounded(QRectF(5, 28.2, 30, 3.8), 1.9), colour::paper, Qt::transparent, 0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour::pale, 1.8, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(11.5, 17, 17, 16), 110 * 16, 50 * 16);
    painter.restore();
}

// Draws the two words as outlines scaled to fill the box's height (or its width, when
// that is narrower), from its left edge, and returns where they landed.
QRectF wordmark(QPainter& painter, const QRectF& box)
{
    const QFont font = brandFont(100, true);
    QPainterPath first;
    first.addText(0, 0, font, firstWord);
    QPainterPath second;
    second.addText(QFontMetricsF(font).horizontalAdvance(firstWord + QLatin1Char(' ')), 0, font, secondWord);
    const QRectF drawn = first.boundingRect().united(second.boundingRect());
    const qreal scale = std::min(box.width() / drawn.width(), box.height() / drawn.height());
    QTransform place = QTransform::fromTranslate(box.left(), box.center().y())
                           .scale(scale, scale)
                           .translate(-drawn.left(), -drawn.center().y());
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour::navy);
    painter.drawPath(place.map(first));
    painter.setBrush(colour::blue);
    painter.drawPath(place.map(second));
    return place.mapRect(drawn);
}

// Small capitals spread over the given width.
void spreadLine(QPainter& painter, const QString& text, const QRectF& line)
{
    QFont font = brandFont(int(line.height()), false);
    const qreal natural = QFontMetricsF(font).horizontalAdvance(text);
    font.setLetterSpacing(QFont::AbsoluteSpacing, (line.width() - natural) / (text.size() - 1));
    painter.setFont(font);
    painter.setPen(colour::slate);
    painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, text);
}

QImage onWhite(QSize size)
{
    return filled(size, Qt::white);
}

} // namespace

QImage makerLogo(QSize size)
{
    QImage image = onWhite(size);
    QPainter painter(&image);
    smooth(painter);
    const qreal side = size.height() - 8;
    mark(painter, QRectF(4, 4, side, side));
    const qreal left = side + 12;
    const QRectF words = wordmark(painter, QRectF(left, 5, size.width() - left - 4, 21));
    spreadLine(painter, tagline, QRectF(words.left() + 1, words.bottom() + 5, words.width() - 4, 9));
    painter.end();
    return image;
}

QImage productWordmark(QSize size)
{
    QImage image = onWhite(size);
    QPainter painter(&image);
    smooth(painter);
    const qreal side = size.height() - 6;
    mark(painter, QRectF(2, 3, side, side));
    const qreal left = side + 7;
    wordmark(painter, QRectF(left, 6, size.width() - left - 2, size.height() - 12));
    painter.end();
    return image;
}

} // namespace art
