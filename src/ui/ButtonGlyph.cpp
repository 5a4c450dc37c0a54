#include "ui/ButtonGlyph.h"

#include "ui/GlyphCache.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

// The system colours of a disabled glyph: button face, 3D highlight and 3D shadow.
struct SystemColours {
    QRgb face, highlight, shadow;
};

SystemColours systemColours()
{
    const QPalette palette = QGuiApplication::palette();
    return {palette.color(QPalette::Button).rgb(), palette.color(QPalette::Light).rgb(),
            palette.color(QPalette::Dark).rgb()};
}

QRgb bottomLeft(const QImage& image)
{
    return image.pixel(0, image.height() - 1);
}

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Grey = 0xFF808080;
constexpr QRgb Black = 0xFF000000;

// The strip's own disabled image, in system colours. Pixels are picked by their colour in the
// source, so where two passes pick the same pixel the later one wins.
QImage recolouredDisabled(const QImage& source, QRgb pictureTransparent)
{
    const SystemColours colours = systemColours();
    const std::pair<QRgb, QRgb> passes[] = {
        {White, colours.highlight}, {Grey, colours.shadow}, {pictureTransparent, colours.face}};
    QImage image = source;
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            for (const auto& [from, to] : passes)
                if (source.pixel(x, y) == from)
                    image.setPixel(x, y, to);
    return image;
}

// A single glyph greys out as an engraved silhouette of its black pixels.
QImage engravedSilhouette(const QImage& source)
{
    const SystemColours colours = systemColours();
    QImage image(source.size(), QImage::Format_ARGB32);
    image.fill(colours.face);
    const QRect inside = image.rect();
    for (const auto& [offset, colour] : {std::pair{QPoint(1, 1), colours.highlight}, {QPoint(0, 0), colours.shadow}})
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                if (source.pixel(x, y) == Black && inside.contains(QPoint(x, y) + offset))
                    image.setPixel(QPoint(x, y) + offset, colour);
    return image;
}

} // namespace

TButtonGlyph::TButtonGlyph()
{
    TGlyphCache::instance();
}

TButtonGlyph::~TButtonGlyph()
{
    dropImages();
    TGlyphCache::releaseIfEmpty();
}

void TButtonGlyph::handOver(const QImage& picture, std::optional<QRgb> fixedTransparentColour)
{
    dropImages();
    picture_ = picture.convertToFormat(QImage::Format_ARGB32);
    fixedTransparent_ = fixedTransparentColour;
    readTransparentColour();
    if (!picture_.isNull() && picture_.width() % picture_.height() == 0) {
        const int squares = picture_.width() / picture_.height();
        numGlyphs_ = squares <= 4 ? squares : 1;
    }
    emit changed();
}

void TButtonGlyph::changeContent(const QImage& picture)
{
    dropImages();
    picture_ = picture.convertToFormat(QImage::Format_ARGB32);
    readTransparentColour();
    emit changed();
}

void TButtonGlyph::setNumGlyphs(int count)
{
    count = std::min(count, 4);
    if (count == numGlyphs_)
        return;
    if (count > 0) {
        dropImages();
        numGlyphs_ = count;
    }
    emit changed();
}

QSize TButtonGlyph::imageSize() const
{
    if (picture_.isNull())
        return {0, 0};
    return {picture_.width() / numGlyphs_, picture_.height()};
}

void TButtonGlyph::draw(QPainter& painter, QPoint at, State state)
{
    if (imageSize().isEmpty())
        return;
    const int slot = preparedSlot(state);
    list_->draw(painter, at, slot);
}

void TButtonGlyph::readTransparentColour()
{
    if (!picture_.isNull())
        transparent_ = fixedTransparent_.value_or(bottomLeft(picture_));
}

int TButtonGlyph::preparedSlot(State state)
{
    if (state == Down && numGlyphs_ < 3)
        state = Up;
    int& slot = slots_[state];
    if (slot >= 0)
        return slot;

    const QSize size = imageSize();
    const int number = state < numGlyphs_ ? state : 0;
    const QImage source = picture_.copy(QRect(QPoint(number * size.width(), 0), size));
    QImage image;
    QRgb transparent;
    if (state == Disabled) {
        image = numGlyphs_ >= 2 ? recolouredDisabled(source, transparent_) : engravedSilhouette(source);
        transparent = bottomLeft(image);
    } else {
        image = source;
        transparent = fixedTransparent_.value_or(bottomLeft(source));
    }
    if (!list_)
        list_ = &TGlyphCache::instance().listFor(size);
    slot = list_->addMasked(image, transparent);
    return slot;
}

void TButtonGlyph::dropImages()
{
    if (!list_)
        return;
    for (int& slot : slots_) {
        if (slot >= 0)
            list_->remove(slot);
        slot = -1;
    }
    TGlyphCache::instance().returnList(*list_);
    list_ = nullptr;
}
