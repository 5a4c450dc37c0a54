#include "base/Win1252.h"

#include "base/Erros.h"

#include <array>

namespace zk {

namespace {
// Characters of 0x80..0x9F; 0 marks the five bytes without a character.
constexpr std::array<char16_t, 32> high = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t toUnicode(unsigned char byte)
{
    if (byte < 0x80 || byte > 0x9F)
        return byte;
    char16_t c = high[byte - 0x80];
    return c ? c : byte;
}

std::optional<char> toByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (unsigned i = 0; i < high.size(); ++i) {
        if (high[i] == c || (high[i] == 0 && c == 0x80 + i))
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}
} // namespace

QString fromWin1252(const char* data, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    auto* out = text.data();
    for (qsizetype i = 0; i < size; ++i)
        out[i] = QChar(toUnicode(static_cast<unsigned char>(data[i])));
    return text;
}

std::optional<QByteArray> toWin1252(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        auto byte = toByte(text[i].unicode());
        if (!byte)
            return std::nullopt;
        bytes[i] = *byte;
    }
    return bytes;
}

QByteArray toWin1252OrThrow(const QString& text, const QString& what)
{
    for (QChar c : text) {
        if (!toByte(c.unicode()))
            throw ConversionError(QStringLiteral("%1 não pode conter o caractere '%2'.").arg(what, c));
    }
    return *toWin1252(text);
}

} // namespace zk
