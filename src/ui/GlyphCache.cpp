#include "ui/GlyphCache.h"

#include <QPainter>

#include <algorithm>

TGlyphList::TGlyphList(QSize imageSize) : imageSize_(imageSize) {}

int TGlyphList::addMasked(const QImage& image, QRgb transparentColour)
{
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        std::replace(line, line + masked.width(), transparentColour, QRgb(0));
    }
    // Premultiplied is what the raster painter blends fastest.
    masked.convertTo(QImage::Format_ARGB32_Premultiplied);

    const auto freeSlot = std::find(used_.begin(), used_.end(), false);
    const auto slot = static_cast<std::size_t>(freeSlot - used_.begin());
    if (freeSlot == used_.end()) {
        used_.push_back(true);
        images_.push_back(std::move(masked));
    } else {
        *freeSlot = true;
        images_[slot] = std::move(masked);
    }
    ++count_;
    return static_cast<int>(slot);
}

void TGlyphList::remove(int slot)
{
    const auto index = static_cast<std::size_t>(slot);
    if (slot < 0 || index >= used_.size() || !used_[index])
        return;
    used_[index] = false;
    images_[index] = QImage();
    --count_;
}

void TGlyphList::draw(QPainter& painter, QPoint at, int slot) const
{
    painter.drawImage(at, images_.at(static_cast<std::size_t>(slot)));
}

namespace {
std::unique_ptr<TGlyphCache>& programCache()
{
    static std::unique_ptr<TGlyphCache> cache;
    return cache;
}

TGlyphList* listOfSize(const std::vector<std::unique_ptr<TGlyphList>>& lists, QSize imageSize)
{
    const auto found = std::find_if(lists.begin(), lists.end(),
                                    [imageSize](const auto& list) { return list->imageSize() == imageSize; });
    return found == lists.end() ? nullptr : found->get();
}
} // namespace

TGlyphCache& TGlyphCache::instance()
{
    auto& cache = programCache();
    if (!cache)
        cache = std::make_unique<TGlyphCache>();
    return *cache;
}

TGlyphCache* TGlyphCache::existing()
{
    return programCache().get();
}

void TGlyphCache::releaseIfEmpty()
{
    auto& cache = programCache();
    if (cache && cache->lists_.empty())
        cache.reset();
}

TGlyphList& TGlyphCache::listFor(QSize imageSize)
{
    if (TGlyphList* list = listOfSize(lists_, imageSize))
        return *list;
    return *lists_.emplace_back(std::make_unique<TGlyphList>(imageSize));
}

void TGlyphCache::returnList(TGlyphList& list)
{
    if (list.count() > 0)
        return;
    std::erase_if(lists_, [&list](const auto& held) { return held.get() == &list; });
}

const TGlyphList* TGlyphCache::find(QSize imageSize) const
{
    return listOfSize(lists_, imageSize);
}
