#include "Bitmap.h"

#include "Erros.h"

#include <QtEndian>

namespace {
constexpr qsizetype headerSize = 8;

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
    if (!file.startsWith("BM") || !image.loadFromData(file, "BMP") || image.isNull())
        throw zk::Error(QStringLiteral("Bitmap image is not valid"));
    return image;
}
