#pragma once
// Fonts as the screens are designed: a family, a character height in pixels, bold or not.
// Families not installed ("MS Sans Serif", "Arial", "Tahoma") fall to fontconfig's twins.

#include <QFont>

inline QFont Fonte(const QString& family, int pixels, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
