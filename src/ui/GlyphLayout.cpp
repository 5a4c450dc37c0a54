#include "ui/GlyphLayout.h"

// Every division here truncates toward zero, so a glyph larger than the area lands a little
// less far outside it than flooring would put it.
GlyphCaptionPlaces placeGlyphAndCaption(QSize area, QSize glyph, QSize caption, TButtonLayout layout, int margin,
                                        int spacing)
{
    const bool sideBySide = layout == blGlyphLeft || layout == blGlyphRight;
    const auto along = [sideBySide](QSize s) { return sideBySide ? s.width() : s.height(); };
    const auto across = [sideBySide](QSize s) { return sideBySide ? s.height() : s.width(); };
    const auto point = [sideBySide](int alongPos, int acrossPos) {
        return sideBySide ? QPoint(alongPos, acrossPos) : QPoint(acrossPos, alongPos);
    };

    const int glyphAcross = (across(area) - across(glyph) + 1) / 2;
    const int captionAcross = (across(area) - across(caption) + 1) / 2;

    if (caption.width() == 0 || glyph.width() == 0)
        spacing = 0;

    const int length = along(area);
    const int glyphLength = along(glyph);
    const int captionLength = along(caption);
    if (margin == -1 && spacing == -1) {
        margin = (length - glyphLength - captionLength) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (length - glyphLength - spacing - captionLength + 1) / 2;
    } else if (spacing == -1) {
        spacing = (length - margin - glyphLength - captionLength) / 2;
    }

    int glyphAlong = margin;
    int captionAlong = margin + glyphLength + spacing;
    if (layout == blGlyphRight || layout == blGlyphBottom) {
        glyphAlong = length - margin - glyphLength;
        captionAlong = glyphAlong - spacing - captionLength;
    }
    return {point(glyphAlong, glyphAcross), QRect(point(captionAlong, captionAcross), caption)};
}
