// zk_artwork <repo-root>: draws every picture of the program and writes it, with the
// resource file of the assets folder, under the given source tree.

#include "Pictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTextStream>

#include <cstdio>

namespace {

struct Picture {
    const char* path; // relative to the repository's root
    QSize size;
    QImage (*draw)(QSize);
};

const Picture pictures[] = {
    {"assets/header.png", {478, 44}, art::headerBand},
    {"assets/mesa.png", {80, 73}, art::toolbarTable},
    {"assets/garcom.png", {80, 73}, art::waiter},
    {"assets/cesta.png", {73, 73}, art::basket},
    {"assets/logo.png", {188, 45}, art::makerLogo},
    {"assets/lixeira.png", {44, 50}, art::bin},
    {"assets/mensagem-topo.jpg", {726, 30}, art::messageBar},
    {"assets/pinguim.bmp", {48, 45}, art::penguin},
    {"assets/janela.bmp", {48, 57}, art::windowFlag},
    {"assets/marca.jpg", {125, 29}, art::productWordmark},
    {"assets/confirmar.bmp", {16, 16}, art::confirmGlyph},
    {"assets/cancelar.bmp", {16, 16}, art::cancelGlyph},
    {"img/3.bmp", {90, 90}, art::freeTable},
    {"img/4.bmp", {90, 90}, art::occupiedTable},
};

const QString resourceFolder = QStringLiteral("assets");

bool fail(const QString& text)
{
    std::fprintf(stderr, "zk_artwork: %s\n", qPrintable(text));
    return false;
}

// Bitmaps and JPEG files carry no alpha: they are written as 24-bit colour.
QImage inFileFormat(const QImage& image, const QString& suffix)
{
    if (suffix == QLatin1String("png"))
        return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

bool write(const QDir& root, const Picture& picture)
{
    const QImage image = picture.draw(picture.size);
    if (image.size() != picture.size)
        return fail(QStringLiteral("%1 was drawn at the wrong size").arg(picture.path));
    const QString path = root.filePath(QString::fromLatin1(picture.path));
    if (!QDir().mkpath(QFileInfo(path).path()))
        return fail(QStringLiteral("cannot create the folder of %1").arg(path));
    const QString suffix = QFileInfo(path).suffix();
    QImageWriter writer(path);
    if (suffix == QLatin1String("jpg"))
        writer.setQuality(95);
    if (!writer.write(inFileFormat(image, suffix)))
        return fail(QStringLiteral("%1: %2").arg(path, writer.errorString()));
    return true;
}

QString resourceText()
{
    QString text;
    QTextStream out(&text);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/" << resourceFolder << "\">\n";
    for (const Picture& picture : pictures) {
        const QFileInfo file(QString::fromLatin1(picture.path));
        if (file.path() == resourceFolder)
            out << "    <file>" << file.fileName() << "</file>\n";
    }
    out << "  </qresource>\n</RCC>\n";
    return text;
}

bool writeResource(const QDir& root)
{
    QFile file(root.filePath(resourceFolder + QStringLiteral("/assets.qrc")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(QStringLiteral("%1: %2").arg(file.fileName(), file.errorString()));
    file.write(resourceText().toUtf8());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zk_artwork <repo-root>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (const Picture& picture : pictures)
        ok = write(root, picture) && ok;
    ok = writeResource(root) && ok;
    return ok ? 0 : 1;
}
