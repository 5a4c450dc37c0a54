#include "ui/Bitmap.h"

#include "base/Erros.h"

#include <QtEndian>

namespace {
constexpr qsizetype headerSize = 8;

// The parts of a bitmap file that say where its pixels are must stay inside the blob.
bool fitsInside(const QByteArray& file)
{
    constexpr qsizetype fileHeader = 14;
    if (file.size() < fileHeader + 12 || !file.startsWith("BM"))
        return false;
    const auto* p = reinterpret_cast<const uchar*>(file.constData());
    const qint64 size = file.size();
    const qint64 pixelsAt = qFromLittleEndian<quint32>(p + 10);
    const qint64 infoSize = qFromLittleEndian<quint32>(p + 14);
    if (infoSize < 12 || fileHeader + infoSize > size || pixelsAt < fileHeader + infoSize || pixelsAt >= size)
        return false;
    if (infoSize < 40)
        return true; // the old 12-byte header: its own reader checks the rest
    const qint64 width = qFromLittleEndian<qint32>(p + 18);
    const qint64 height = qAbs(qint64(qFromLittleEndian<qint32>(p + 22)));
    const quint16 bitsPerPixel = qFromLittleEndian<quint16>(p + 28);
    const quint32 compression = qFromLittleEndian<quint32>(p + 30);
    if (width <= 0 || height <= 0 || bitsPerPixel == 0)
        return false;
    if (compression != 0 && compression != 3)
        return true; // run-length data has no fixed size
    const qint64 rowBytes = ((width * bitsPerPixel + 31) / 32) * 4;
    return height <= (size - pixelsAt) / rowBytes; // division: no product can overflow
}

bool hasStoredHeader(const QByteArray& blob)
{
    if (blob.size() < headerSize)
        return false;
    const auto* p = reinterpret_cast<const uchar*>(blob.constData());
    return qFromLittleEndian<quint16>(p) == 1 && qFromLittleEndian<quint16>(p + 2) == 0x0100 &&
           qFromLittleEndian<quint32>(p + 4) == quint32(blob.size() - headerSize);
}
} // namespace

QImage CarregaBitmap(const QByteArray& blob)
{
    if (blob.isEmpty())
        return {};
    QByteArray file = hasStoredHeader(blob) ? blob.mid(headerSize) : blob;
    QImage image;
    // Only the bitmap format: a picture in any other format is not what the column holds.
    if (!fitsInside(file) || !image.loadFromData(file, "BMP") || image.isNull())
        throw zk::Error(QStringLiteral("Bitmap image is not valid"));
    return image;
}
