#pragma once
// The glyph of one button: its picture strip and the state images prepared from it.

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QSize>

#include <array>
#include <optional>

class QPainter;
class TGlyphList;

class TButtonGlyph : public QObject {
    Q_OBJECT
public:
    // Also the number of each state's image in the strip.
    enum State { Up, Disabled, Down, Exclusive };

    TButtonGlyph();
    ~TButtonGlyph() override;

    const QImage& picture() const { return picture_; }
    // A new picture: without a fixed transparent colour, its bottom-left pixel's colour is
    // transparent; a strip of square images also sets the number of glyphs.
    void handOver(const QImage& picture, std::optional<QRgb> fixedTransparentColour = std::nullopt);
    // New content for the same picture: the number of glyphs stays as it is.
    void changeContent(const QImage& picture);

    int numGlyphs() const { return numGlyphs_; }
    // Above 4 means 4; 0 or less changes nothing but still asks for a repaint.
    void setNumGlyphs(int count);

    // Size of one image of the strip.
    QSize imageSize() const;
    void draw(QPainter& painter, QPoint at, State state);

signals:
    void changed();

private:
    void readTransparentColour();
    int preparedSlot(State state);
    void dropImages();

    QImage picture_;
    std::optional<QRgb> fixedTransparent_;
    QRgb transparent_ = 0;
    int numGlyphs_ = 1;
    std::array<int, 4> slots_{-1, -1, -1, -1};
    TGlyphList* list_ = nullptr;
};
