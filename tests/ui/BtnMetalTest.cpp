#include "Erros.h"
#include "GlyphCache.h"
#include "GlyphLayout.h"
#include "ImageList.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <string>

namespace {

constexpr QRgb Silver = 0xFFC0C0C0;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Green = 0xFF00FF00;

std::string name(QRgb colour)
{
    return QColor(colour).name().toStdString();
}

std::string colourAt(const QImage& image, int x, int y)
{
    return name(image.pixel(x, y));
}

// Square glyphs side by side on silver, each with a solid block from (2, 2) to (13, 13).
QImage blockStrip(std::initializer_list<QRgb> blocks)
{
    QImage strip(16 * static_cast<int>(blocks.size()), 16, QImage::Format_ARGB32);
    strip.fill(Silver);
    QPainter painter(&strip);
    int left = 0;
    for (QRgb colour : blocks) {
        painter.fillRect(left + 2, 2, 12, 12, QColor(colour));
        left += 16;
    }
    return strip;
}

// Tables of cases print by their name.
template <class Case>
    requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

// ---------------------------------------------------------------------------------------------
// Image lists and the shared glyph lists.

TEST(ImageList, RefusesImagesOfAnotherSize)
{
    TImageList list(QSize(16, 16));
    EXPECT_THROW(list.add(QImage(32, 16, QImage::Format_ARGB32)), zk::Error);
    EXPECT_EQ(list.count(), 0);
}

TEST(GlyphList, NewImageTakesTheLowestFreeSlot)
{
    TGlyphList list(QSize(16, 16));
    const QImage image = blockStrip({Red});
    EXPECT_EQ(list.addMasked(image, Silver), 0);
    EXPECT_EQ(list.addMasked(image, Silver), 1);
    EXPECT_EQ(list.addMasked(image, Silver), 2);
    list.remove(1);
    list.remove(0);
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.addMasked(image, Silver), 0);
    EXPECT_EQ(list.addMasked(image, Silver), 1);
    EXPECT_EQ(list.addMasked(image, Silver), 3);
    EXPECT_EQ(list.count(), 4);
}

TEST(GlyphList, DrawsTheTransparentColourAsSeeThrough)
{
    TGlyphList list(QSize(16, 16));
    const int slot = list.addMasked(blockStrip({Red}), Silver);
    QImage target(16, 16, QImage::Format_RGB32);
    target.fill(Green);
    QPainter painter(&target);
    list.draw(painter, QPoint(0, 0), slot);
    painter.end();
    EXPECT_EQ(colourAt(target, 0, 0), name(Green));
    EXPECT_EQ(colourAt(target, 8, 8), name(Red));
}

// ---------------------------------------------------------------------------------------------
// Glyph and caption placement, in whole pixels.

struct PlacementCase {
    const char* name;
    QSize area, glyph, caption;
    TButtonLayout layout;
    int margin, spacing;
    QPoint glyphAt;
    QPoint captionAt;
};

class Placement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, FollowsLayoutMarginAndSpacing)
{
    const PlacementCase& c = GetParam();
    const GlyphCaptionPlaces places = placeGlyphAndCaption(c.area, c.glyph, c.caption, c.layout, c.margin, c.spacing);
    EXPECT_EQ(places.glyph, c.glyphAt);
    EXPECT_EQ(places.caption, QRect(c.captionAt, c.caption));
}

INSTANTIATE_TEST_SUITE_P(
    Button, Placement,
    ::testing::Values(
        PlacementCase{"LeftCentredBlock", {86, 29}, {16, 16}, {50, 13}, blGlyphLeft, -1, 3, {9, 7}, {28, 8}},
        PlacementCase{"RightCentredBlock", {86, 29}, {16, 16}, {50, 13}, blGlyphRight, -1, 3, {61, 7}, {8, 8}},
        PlacementCase{"TopCentredBlock", {86, 60}, {16, 16}, {50, 13}, blGlyphTop, -1, 4, {35, 14}, {18, 34}},
        PlacementCase{"BottomCentredBlock", {86, 60}, {16, 16}, {50, 13}, blGlyphBottom, -1, 4, {35, 30}, {18, 13}},
        PlacementCase{"EvenThirds", {100, 30}, {16, 16}, {30, 10}, blGlyphLeft, -1, -1, {18, 7}, {52, 10}},
        PlacementCase{"FixedMarginSpreadSpacing", {100, 30}, {16, 16}, {30, 10}, blGlyphLeft, 5, -1, {5, 7}, {45, 10}},
        PlacementCase{"FixedMarginAndSpacing", {100, 30}, {16, 16}, {30, 10}, blGlyphLeft, 5, 2, {5, 7}, {23, 10}},
        PlacementCase{"FixedMarginFromTheRight", {100, 30}, {16, 16}, {30, 10}, blGlyphRight, 5, 2, {79, 7}, {47, 10}},
        PlacementCase{"NoCaptionCentresTheGlyph", {86, 29}, {16, 16}, {0, 0}, blGlyphLeft, -1, 3, {35, 7}, {51, 15}},
        PlacementCase{"NoGlyphCentresTheCaption", {86, 29}, {0, 0}, {50, 13}, blGlyphLeft, -1, 3, {18, 15}, {18, 8}},
        // (10 − 16 + 1) / 2 truncates to −2, not −3.
        PlacementCase{"LargeGlyphRoundsTowardZero", {10, 10}, {16, 16}, {0, 0}, blGlyphLeft, -1, 4, {-2, -2}, {14, 5}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
