#include "Canvas.h"

#include <QTransform>

#include <algorithm>

namespace art {

QImage blank(QSize size)
{
    return filled(size, Qt::transparent);
}

QImage filled(QSize size, const QColor& colour)
{
    const bool opaque = colour.alpha() == 255;
    QImage image(size, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

void smooth(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
}

QLinearGradient ramp(QPointF from, QPointF to, std::initializer_list<Stop> stops)
{
    QLinearGradient gradient(from, to);
    for (const Stop& stop : stops)
        gradient.setColorAt(stop.at, stop.colour);
    return gradient;
}

QLinearGradient downward(const QRectF& box, std::initializer_list<Stop> stops)
{
    return ramp(box.topLeft(), box.bottomLeft(), stops);
}

QLinearGradient across(const QRectF& box, std::initializer_list<Stop> stops)
{
    return ramp(box.topLeft(), box.topRight(), stops);
}

void fit(QPainter& painter, const QRectF& design, const QRectF& target)
{
    const qreal scale = std::min(target.width() / design.width(), target.height() / design.height());
    const QPointF offset = target.center() - design.center() * scale;
    painter.setTransform(QTransform::fromTranslate(offset.x(), offset.y()).scale(scale, scale));
}

QPainterPath rounded(const QRectF& box, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(box, radius, radius);
    return path;
}

QPainterPath ellipse(QPointF centre, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

void shape(QPainter& painter, const QPainterPath& path, const QBrush& fill, const QColor& edge,
           qreal edgeWidth)
{
    painter.setBrush(fill);
    if (edgeWidth > 0)
        painter.setPen(QPen(edge, edgeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    else
        painter.setPen(Qt::NoPen);
    painter.drawPath(path);
}

QColor withAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

namespace {

QRgb over(QRgb premultiplied, QRgb under)
{
    const int rest = 255 - qAlpha(premultiplied);
    auto channel = [rest](int top, int bottom) { return top + (bottom * rest + 127) / 255; };
    return qRgb(channel(qRed(premultiplied), qRed(under)), channel(qGreen(premultiplied), qGreen(under)),
                channel(qBlue(premultiplied), qBlue(under)));
}

QRgb nudged(QRgb colour)
{
    const int blue = qBlue(colour);
    return qRgb(qRed(colour), qGreen(colour), blue > 0 ? blue - 1 : 1);
}

bool touchesFigure(const QImage& picture, int x, int y, QRgb key)
{
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint near(x + dx, y + dy);
            if (picture.valid(near) && picture.pixel(near) != key)
                return true;
        }
    }
    return false;
}

} // namespace

QImage keyed(const QImage& drawing, const QColor& key, const QColor& seenOn)
{
    const QImage source = drawing.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage result(source.size(), QImage::Format_RGB32);
    const QRgb background = key.rgb();
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            const QRgb pixel = source.pixel(x, y);
            if (qAlpha(pixel) < 128) {
                result.setPixel(x, y, background);
                continue;
            }
            const QRgb seen = over(pixel, seenOn.rgb());
            result.setPixel(x, y, seen == background ? nudged(seen) : seen);
        }
    }
    return result;
}

void outline(QImage& picture, const QColor& key, const QColor& ink)
{
    const QImage before = picture.copy();
    const QRgb background = key.rgb();
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) == background && touchesFigure(before, x, y, background))
                picture.setPixel(x, y, ink.rgb());
        }
    }
}

void avoid(QImage& picture, const QColor& colour)
{
    const QRgb unwanted = colour.rgb();
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) == unwanted)
                picture.setPixel(x, y, nudged(unwanted));
        }
    }
}

} // namespace art
