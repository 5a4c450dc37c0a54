#pragma once
// Reads a rendered widget: its picture, the colours and the count of pixels in it, where ink
// lies, and the text on it as bands of rows where some pixel is ink, with the leftmost and
// rightmost ink column of each band. One band is one line of text on screen.

#include <QColor>
#include <QImage>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

// The widget as it is painted now, one opaque colour a pixel.
inline QImage shot(QWidget& widget) { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// "#rrggbb": a colour as a failure message shows it.
inline std::string colourName(QRgb colour) { return QColor(colour).name().toStdString(); }
inline std::string colourAt(const QImage& image, int x, int y) { return colourName(image.pixel(x, y)); }

// How many pixels of the area match.
inline int pixelCount(const QImage& image, const QRect& area, const std::function<bool(QColor)>& matches)
{
    int found = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            found += matches(image.pixelColor(x, y));
    return found;
}
// How many pixels of the area are exactly that colour (alpha included).
inline int pixelCount(const QImage& image, const QRect& area, QRgb colour)
{
    return pixelCount(image, area, [colour](QColor c) { return c.rgba() == colour; });
}

// The smallest rectangle that holds every pixel of ink; empty when there is none.
inline QRect inkBox(const QImage& image, const std::function<bool(QColor)>& isInk)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixelColor(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

struct InkBand {
    int top, bottom; // rows, inclusive
    int left, right; // columns, inclusive
};

inline std::vector<InkBand> inkBands(const QImage& image, const std::function<bool(QColor)>& isInk)
{
    std::vector<InkBand> bands;
    bool inBand = false;
    for (int y = 0; y < image.height(); ++y) {
        int left = -1, right = -1;
        for (int x = 0; x < image.width(); ++x)
            if (isInk(image.pixelColor(x, y))) {
                if (left < 0)
                    left = x;
                right = x;
            }
        if (left < 0) {
            inBand = false;
            continue;
        }
        if (!inBand)
            bands.push_back({y, y, left, right});
        InkBand& band = bands.back();
        band.bottom = y;
        band.left = std::min(band.left, left);
        band.right = std::max(band.right, right);
        inBand = true;
    }
    return bands;
}

inline std::vector<InkBand> inkBands(QWidget& widget, const std::function<bool(QColor)>& isInk)
{
    return inkBands(widget.grab().toImage(), isInk);
}

// Whether a line of ink sits in the middle of the given width, give or take the rounding
// of a centred layout.
inline bool centredIn(const InkBand& band, int width) { return std::abs((band.left + band.right + 1) - width) <= 4; }
