#pragma once
// Where a button puts its glyph and its caption inside the area left for them.

#include <QPoint>
#include <QRect>
#include <QSize>

// The side of the caption on which the glyph stands.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

struct GlyphCaptionPlaces {
    QPoint glyph;  // top-left corner of the glyph, relative to the area
    QRect caption; // the caption's rectangle, relative to the area
};

// Margin -1 centres the glyph-and-caption block; spacing -1 spreads the free space evenly.
GlyphCaptionPlaces placeGlyphAndCaption(QSize area, QSize glyph, QSize caption, TButtonLayout layout, int margin,
                                        int spacing);
