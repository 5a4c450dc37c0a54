#pragma once
// Prepared button glyph images, shared by every button of the program: one list per image size.
// Used from the user-interface thread only, so it takes no locks.

#include <QImage>
#include <QPoint>
#include <QSize>

#include <memory>
#include <vector>

class QPainter;

// Images of one size in numbered slots; a new image takes the lowest free slot.
class TGlyphList {
public:
    explicit TGlyphList(QSize imageSize);

    QSize imageSize() const { return imageSize_; }
    // Number of occupied slots.
    int count() const { return count_; }

    // Stores the image with its pixels of the transparent colour left undrawn; returns its slot.
    int addMasked(const QImage& image, QRgb transparentColour);
    void remove(int slot);
    void draw(QPainter& painter, QPoint at, int slot) const;

private:
    QSize imageSize_;
    std::vector<QImage> images_;
    std::vector<bool> used_;
    int count_ = 0;
};

class TGlyphCache {
public:
    // The program's cache, created when absent.
    static TGlyphCache& instance();
    // The program's cache, or null while there is none.
    static TGlyphCache* existing();
    // Destroys the program's cache once it holds no lists.
    static void releaseIfEmpty();

    // The list for images of this size, made when there is none yet.
    TGlyphList& listFor(QSize imageSize);
    // Hands a list back; it is destroyed once its last image is gone.
    void returnList(TGlyphList& list);

    const TGlyphList* find(QSize imageSize) const;
    int listCount() const { return static_cast<int>(lists_.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};
