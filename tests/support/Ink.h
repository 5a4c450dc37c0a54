#pragma once
// Reads text off a rendered widget: the bands of rows where some pixel is ink, with the
// leftmost and rightmost ink column of each band. One band is one line of text on screen.

#include <QImage>
#include <QWidget>

#include <functional>
#include <vector>

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
