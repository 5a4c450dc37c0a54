// Group pictures as the back office stores them: a bitmap file, sometimes behind an
// 8-byte header; anything else is refused with one clear message, never read past its end.

#include "base/Erros.h"
#include "ui/Bitmap.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>
#include <QtEndian>
#include <random>

namespace {

QByteArray bitmapFile(QSize size = {32, 32})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor("#3366cc"));
    QPainter(&image).fillRect(4, 4, 10, 6, QColor("#ffcc00"));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QByteArray storedHeader(quint16 count, quint16 type, quint32 length)
{
    QByteArray header(8, '\0');
    auto* p = reinterpret_cast<uchar*>(header.data());
    qToLittleEndian<quint16>(count, p);
    qToLittleEndian<quint16>(type, p + 2);
    qToLittleEndian<quint32>(length, p + 4);
    return header;
}

QString errorOf(const QByteArray& blob)
{
    try {
        CarregaBitmap(blob);
    } catch (const zk::Error& e) {
        return e.text();
    }
    return QStringLiteral("<loaded>");
}

TEST(GroupPicture, TheStoredHeaderIsSkippedAndGivesTheSameImage)
{
    QByteArray file = bitmapFile();
    QImage plain = CarregaBitmap(file);
    QImage behindHeader = CarregaBitmap(storedHeader(1, 0x0100, file.size()) + file);
    ASSERT_FALSE(plain.isNull());
    EXPECT_EQ(plain.size(), QSize(32, 32));
    EXPECT_EQ(plain, behindHeader);
    EXPECT_EQ(plain.pixelColor(5, 5), QColor("#ffcc00"));
}

TEST(GroupPicture, EmptyBlobIsAnEmptyPicture) { EXPECT_TRUE(CarregaBitmap(QByteArray()).isNull()); }

struct Malformed {
    const char* what;
    std::function<QByteArray()> blob;
    friend std::ostream& operator<<(std::ostream& os, const Malformed& m) { return os << m.what; }
};
class MalformedPicture : public testing::TestWithParam<Malformed> {};
TEST_P(MalformedPicture, IsRefusedWithTheOneMessage)
{
    EXPECT_EQ(errorOf(GetParam().blob()), "Bitmap image is not valid");
}
INSTANTIATE_TEST_SUITE_P(
    Blobs, MalformedPicture,
    testing::Values(
        Malformed{"random bytes", [] { return QByteArray::fromHex("7f3a00ff9912ab44cd0e"); }},
        Malformed{"one byte", [] { return QByteArray("B"); }},
        Malformed{"just the magic", [] { return QByteArray("BM"); }},
        Malformed{"truncated file", [] { return bitmapFile().left(40); }},
        Malformed{"file header only", [] { return bitmapFile().left(14); }},
        Malformed{"stored header alone", [] { return storedHeader(1, 0x0100, 0); }},
        Malformed{"stored header with a longer length",
                  [] { return storedHeader(1, 0x0100, 999999) + bitmapFile(); }},
        Malformed{"stored header with another type", [] { return storedHeader(1, 0x0200, bitmapFile().size()) + bitmapFile(); }},
        Malformed{"huge dimensions",
                  [] {
                      QByteArray f = bitmapFile();
                      qToLittleEndian<qint32>(1 << 30, reinterpret_cast<uchar*>(f.data()) + 18);
                      qToLittleEndian<qint32>(1 << 30, reinterpret_cast<uchar*>(f.data()) + 22);
                      return f;
                  }},
        Malformed{"pixel data offset past the end",
                  [] {
                      QByteArray f = bitmapFile();
                      qToLittleEndian<quint32>(0x7fffffff, reinterpret_cast<uchar*>(f.data()) + 10);
                      return f;
                  }},
        Malformed{"a PNG picture", [] {
                      QByteArray bytes;
                      QBuffer buffer(&bytes);
                      buffer.open(QIODevice::WriteOnly);
                      QImage(8, 8, QImage::Format_RGB32).save(&buffer, "PNG");
                      return bytes;
                  }}));

TEST(GroupPicture, DamagedFilesEitherLoadOrFailCleanly)
{
    const QByteArray file = bitmapFile({13, 7});
    std::mt19937 random(2026);
    int refused = 0;
    for (int round = 0; round < 2000; ++round) {
        QByteArray damaged = file;
        for (int hits = 1 + random() % 4; hits > 0; --hits)
            damaged[random() % 54] = static_cast<char>(random());
        if (random() % 3 == 0)
            damaged.truncate(random() % damaged.size());
        QString outcome = errorOf(damaged);
        ASSERT_TRUE(outcome == "<loaded>" || outcome == "Bitmap image is not valid") << outcome.toStdString();
        refused += outcome != "<loaded>";
    }
    EXPECT_GT(refused, 0);
}

} // namespace
