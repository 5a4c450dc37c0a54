// The committed pictures as the program reads them: exact sizes, 24-bit bitmaps where a
// bitmap is read, the transparent colour in the bottom-left pixel and all around the
// figure, glyphs that can be engraved when disabled, and a resource file that lists
// every picture of the assets folder.

#include "support/Ink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QXmlStreamReader>

namespace {

const QDir sourceTree(QStringLiteral(ZK_SOURCE_DIR));

struct PictureFile {
    const char* path;
    QSize size;
};

const PictureFile pictureFiles[] = {
    {"assets/header.png", {478, 44}},       {"assets/mesa.png", {80, 73}},
    {"assets/garcom.png", {80, 73}},        {"assets/cesta.png", {73, 73}},
    {"assets/logo.png", {188, 45}},         {"assets/lixeira.png", {44, 50}},
    {"assets/mensagem-topo.jpg", {726, 30}}, {"assets/pinguim.bmp", {48, 45}},
    {"assets/janela.bmp", {48, 57}},        {"assets/marca.jpg", {125, 29}},
    {"assets/confirmar.bmp", {16, 16}},     {"assets/cancelar.bmp", {16, 16}},
    {"img/3.bmp", {90, 90}},                {"img/4.bmp", {90, 90}},
};

// Bitmaps drawn with their bottom-left colour left out.
struct KeyedBitmap {
    const char* path;
    QRgb key;
};

const QRgb magenta = qRgb(0xFF, 0x00, 0xFF);
const QRgb silver = qRgb(0xC0, 0xC0, 0xC0);

const KeyedBitmap keyedBitmaps[] = {
    {"assets/pinguim.bmp", magenta}, {"assets/janela.bmp", magenta}, {"img/3.bmp", magenta},
    {"img/4.bmp", magenta},          {"assets/confirmar.bmp", silver}, {"assets/cancelar.bmp", silver},
};

const char* const glyphs[] = {"assets/confirmar.bmp", "assets/cancelar.bmp"};

QImage load(const char* path)
{
    return QImage(sourceTree.filePath(QString::fromLatin1(path)));
}

// The bits per pixel of a Windows bitmap file, from its header.
int bitmapDepth(const char* path)
{
    QFile file(sourceTree.filePath(QString::fromLatin1(path)));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray header = file.read(30);
    if (header.size() < 30 || !header.startsWith("BM"))
        return -1;
    return quint8(header[28]) | quint8(header[29]) << 8;
}

QSet<QString> resourceEntries(QString* prefix)
{
    QFile file(sourceTree.filePath(QStringLiteral("assets/assets.qrc")));
    QSet<QString> entries;
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("qresource"))
            *prefix = xml.attributes().value(QLatin1String("prefix")).toString();
        else if (xml.name() == QLatin1String("file"))
            entries.insert(xml.readElementText());
    }
    return entries;
}

TEST(Assets, EveryPictureLoadsAtItsSize)
{
    for (const PictureFile& picture : pictureFiles) {
        SCOPED_TRACE(picture.path);
        const QImage image = load(picture.path);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), picture.size);
    }
}

TEST(Assets, KeyedBitmapsAre24BitWithTheKeyAllAroundTheFigure)
{
    for (const KeyedBitmap& bitmap : keyedBitmaps) {
        SCOPED_TRACE(bitmap.path);
        EXPECT_EQ(bitmapDepth(bitmap.path), 24);
        const QImage image = load(bitmap.path);
        ASSERT_FALSE(image.isNull());
        const QRect edge = image.rect();
        for (const QPoint corner : {edge.bottomLeft(), edge.topLeft(), edge.topRight(), edge.bottomRight()})
            EXPECT_EQ(image.pixel(corner), bitmap.key) << corner.x() << "," << corner.y();
    }
}

TEST(Assets, GlyphsEngraveWhenDisabledAndKeepWhiteAndGreyOut)
{
    for (const char* path : glyphs) {
        SCOPED_TRACE(path);
        const QImage image = load(path);
        ASSERT_FALSE(image.isNull());
        EXPECT_GT(pixelCount(image, image.rect(), qRgb(0, 0, 0)), 0);
        EXPECT_EQ(pixelCount(image, image.rect(), qRgb(0xFF, 0xFF, 0xFF)), 0);
        EXPECT_EQ(pixelCount(image, image.rect(), qRgb(0x80, 0x80, 0x80)), 0);
    }
}

TEST(Assets, ResourceFileListsEveryAssetsPicture)
{
    QString prefix;
    const QSet<QString> entries = resourceEntries(&prefix);
    EXPECT_EQ(prefix, QStringLiteral("/assets"));
    QSet<QString> expected;
    for (const PictureFile& picture : pictureFiles) {
        const QString path = QString::fromLatin1(picture.path);
        if (path.startsWith(QStringLiteral("assets/")))
            expected.insert(path.mid(7));
    }
    EXPECT_EQ(entries, expected);
}

} // namespace
