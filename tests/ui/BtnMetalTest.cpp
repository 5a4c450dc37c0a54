#include "base/Erros.h"
#include "support/Ink.h"
#include "ui/BtnMetal.h"
#include "ui/GlyphCache.h"
#include "ui/GlyphLayout.h"
#include "ui/ImageList.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Silver = 0xFFC0C0C0;
constexpr QRgb Red = 0xFFFF0000;
constexpr QRgb Green = 0xFF00FF00;
constexpr QRgb Blue = 0xFF0000FF;
constexpr QRgb Yellow = 0xFFFFFF00;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb Navy = 0xFF000080;
constexpr QRgb PaleBlue = 0xFFEDF4FC;

// The colour of a whole row inside the border, or "mixed".
std::string rowColour(const QImage& image, int y)
{
    for (int x = 2; x < image.width() - 1; ++x)
        if (image.pixel(x, y) != image.pixel(1, y))
            return "mixed";
    return colourAt(image, 1, y);
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

// The installation dialog's buttons.
void giveInstallationLook(TBtnMetal& button)
{
    button.resize(86, 29);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    font.setBold(true);
    button.setFont(font);
    button.setPrimeiraCor(QColor(White));
    button.setUltimaCor(QColor(PaleBlue));
    button.setCores(25);
    button.setDirecao(DiTopoBaixo);
    button.setCorMouseOver(QColor(0x00, 0x80, 0xFF));
    button.setCorFocado(QColor(Navy));
    button.setCorDesFocado(QColor(Black));
    button.setLarguraDaBorda(1);
    button.setFocoPontilhado(true);
    button.setSpacing(3);
}

// One colour behind glyph and caption, so that only they tell two pictures apart.
void giveFlatBackground(TBtnMetal& button, QRgb colour)
{
    button.setPrimeiraCor(QColor(colour));
    button.setUltimaCor(QColor(colour));
}

// Tables of cases print by their name.
template <class Case>
    requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

// ---------------------------------------------------------------------------------------------
// Gradient bands of buttons that have no focus.

struct BandCase {
    const char* name;
    QSize size;
    TDirecao direction;
    int cores;
    QRgb first, last;
    bool pressed;
    std::vector<std::pair<int, QRgb>> colourAt; // offset along the direction -> colour there
};

class GradientBands : public ::testing::TestWithParam<BandCase> {};

TEST_P(GradientBands, PaintTheExpectedColourAtEachOffset)
{
    const BandCase& c = GetParam();
    TBtnMetal button;
    button.resize(c.size);
    button.setLarguraDaBorda(1);
    button.setDirecao(c.direction);
    button.setCores(static_cast<quint8>(c.cores));
    button.setPrimeiraCor(QColor(c.first));
    button.setUltimaCor(QColor(c.last));
    button.setDown(c.pressed);
    const QImage image = shot(button);
    for (const auto& [offset, colour] : c.colourAt) {
        const bool downwards = c.direction == DiTopoBaixo;
        const int x = downwards ? c.size.width() / 2 : offset;
        const int y = downwards ? offset : c.size.height() / 2;
        EXPECT_EQ(colourAt(image, x, y), colourName(colour)) << "at offset " << offset;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Button, GradientBands,
    ::testing::Values(
        // Band i of n is S + i·(E − S)/(n − 1), halves rounded away from zero.
        BandCase{"WorkedExample", {86, 29}, DiTopoBaixo, 25, White, PaleBlue, false,
                 {{1, 0xFFFEFFFF}, {12, 0xFFF6F9FD}, {23, 0xFFEEF4FC}, {24, PaleBlue}, {27, PaleBlue}}},
        BandCase{"CoresZeroGivesTwoBands", {40, 10}, DiTopoBaixo, 0, Black, Silver, false,
                 {{1, Black}, {4, Black}, {5, Silver}, {8, Silver}}},
        BandCase{"CoresOneGivesTwoBands", {40, 10}, DiTopoBaixo, 1, Black, Silver, false,
                 {{1, Black}, {4, Black}, {5, Silver}, {8, Silver}}},
        BandCase{"ExtentBelowCoresGivesOneBandPerRow", {40, 20}, DiTopoBaixo, 50, Black, 0xFFBEBEBE, false,
                 {{1, 0xFF0A0A0A}, {2, 0xFF141414}, {10, 0xFF646464}, {18, 0xFFB4B4B4}}},
        BandCase{"RemainderKeepsBandThicknessAndEndsInEndColour", {40, 14}, DiTopoBaixo, 3, Black, 0xFFC8C8C8,
                 false, {{3, Black}, {4, 0xFF646464}, {7, 0xFF646464}, {8, 0xFFC8C8C8}, {12, 0xFFC8C8C8}}},
        BandCase{"PressedReversesTopToBottom", {40, 10}, DiTopoBaixo, 2, Red, Blue, true,
                 {{1, Blue}, {4, Blue}, {5, Red}, {8, Red}}},
        BandCase{"LeftToRightPutsLastColourAtTheLeft", {40, 20}, DiEsquerdaDireita, 2, Red, Blue, false,
                 {{1, Blue}, {19, Blue}, {20, Red}, {38, Red}}},
        BandCase{"PressedReversesLeftToRight", {40, 20}, DiEsquerdaDireita, 2, Red, Blue, true,
                 {{1, Red}, {19, Red}, {20, Blue}, {38, Blue}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GradientButton, WorkedExampleRowsSpanTheWholeWidthInsideABlackOutline)
{
    TBtnMetal button;
    giveInstallationLook(button);
    const QImage image = shot(button);
    EXPECT_EQ(rowColour(image, 1), "#feffff");
    EXPECT_EQ(rowColour(image, 12), "#f6f9fd");
    for (int y = 24; y <= 27; ++y)
        EXPECT_EQ(rowColour(image, y), "#edf4fc") << "row " << y;
    for (int x = 0; x < 86; ++x) {
        EXPECT_EQ(colourAt(image, x, 0), "#000000");
        EXPECT_EQ(colourAt(image, x, 28), "#000000");
    }
    for (int y = 0; y < 29; ++y) {
        EXPECT_EQ(colourAt(image, 0, y), "#000000");
        EXPECT_EQ(colourAt(image, 85, y), "#000000");
    }
}

TEST(GradientButton, CoresKeepsTheValueSetAfterPaintingFewerBands)
{
    TBtnMetal button;
    button.resize(40, 10);
    button.setCores(200);
    shot(button);
    EXPECT_EQ(button.cores(), 200);
}

// ---------------------------------------------------------------------------------------------
// Border width: the pen is centred on the outermost pixels, so half of it lies outside.

struct BorderCase {
    int width;
    int pixelsInside;
};

void PrintTo(const BorderCase& c, std::ostream* os)
{
    *os << "width " << c.width;
}

class BorderWidth : public ::testing::TestWithParam<BorderCase> {};

TEST_P(BorderWidth, CoversTheOuterColumnsOnBothSides)
{
    TBtnMetal button;
    button.resize(20, 12);
    giveFlatBackground(button, White);
    button.setLarguraDaBorda(GetParam().width);
    const QImage image = shot(button);
    const int inside = GetParam().pixelsInside;
    for (int x = 0; x < inside; ++x) {
        EXPECT_EQ(colourAt(image, x, 6), "#000000") << "column " << x;
        EXPECT_EQ(colourAt(image, 19 - x, 6), "#000000") << "column " << 19 - x;
    }
    EXPECT_EQ(colourAt(image, inside, 6), "#ffffff");
    EXPECT_EQ(colourAt(image, 19 - inside, 6), "#ffffff");
}

INSTANTIATE_TEST_SUITE_P(Button, BorderWidth,
                         ::testing::Values(BorderCase{1, 1}, BorderCase{0, 1}, BorderCase{-3, 1}, BorderCase{3, 2},
                                           BorderCase{5, 3}));

// ---------------------------------------------------------------------------------------------
// Focus and the active flag need a real, active window.

class ButtonInWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(400, 200);
        editor = new QLineEdit(&window);
        otherButton = new QPushButton(QStringLiteral("Outro"), &window);
        otherButton->move(0, 40);
        button = new TBtnMetal(&window);
        button->move(100, 100);
        giveInstallationLook(*button);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        editor->setFocus();
    }

    QWidget window;
    QLineEdit* editor = nullptr;
    QPushButton* otherButton = nullptr;
    TBtnMetal* button = nullptr;
};

TEST_F(ButtonInWindow, FocusedWorkedExampleShrinksTheGradientInsideANavyOutline)
{
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    button->setFocoPontilhado(false);
    const QImage image = shot(*button);
    EXPECT_EQ(rowColour(image, 1), "#ffffff");
    EXPECT_EQ(rowColour(image, 2), "#feffff");
    EXPECT_EQ(rowColour(image, 13), "#f6f9fd");
    for (int y = 25; y <= 27; ++y)
        EXPECT_EQ(rowColour(image, y), "#edf4fc") << "row " << y;
    for (const QPoint corner : {QPoint(0, 0), QPoint(85, 0), QPoint(0, 28), QPoint(85, 28), QPoint(43, 28)})
        EXPECT_EQ(colourAt(image, corner.x(), corner.y()), "#000080");
}

// Destroying the button that holds the focus hands the focus on from ~QWidget, after the
// button's own part is gone; the application announces it then. Nothing of the button may
// run at that moment (the AddressSanitizer and UBSan build, scripts/test --sanitize, reports
// a call on an object that is no longer a TBtnMetal).
TEST_F(ButtonInWindow, DestroyingTheFocusedDefaultButtonRunsNothingOfIt)
{
    button->setDefault(true);
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    delete std::exchange(button, nullptr);
    otherButton->setFocus(); // the window carries on as before
    EXPECT_TRUE(otherButton->hasFocus());
}

struct ActiveCase {
    const char* name;
    bool isDefault;
    enum Focus { OnButton, OnEditor, OnOtherPushButton } focus;
    bool shrinks;
    const char* border;
};

class ActiveFlag : public ButtonInWindow, public ::testing::WithParamInterface<ActiveCase> {};

TEST_P(ActiveFlag, DecidesWhetherTheGradientStaysClearOfTheBorder)
{
    const ActiveCase& c = GetParam();
    button->setDefault(c.isDefault);
    QWidget* focus[] = {button, editor, otherButton};
    focus[c.focus]->setFocus();
    ASSERT_TRUE(focus[c.focus]->hasFocus());
    const QImage image = shot(*button);
    // Row 1 holds band 0 (white) only when the gradient starts one pixel in.
    EXPECT_EQ(rowColour(image, 1), c.shrinks ? "#ffffff" : "#feffff");
    EXPECT_EQ(colourAt(image, 0, 0), c.border);
}

INSTANTIATE_TEST_SUITE_P(
    Button, ActiveFlag,
    ::testing::Values(ActiveCase{"Focused", false, ActiveCase::OnButton, true, "#000080"},
                      ActiveCase{"DefaultWhileEditorHasFocus", true, ActiveCase::OnEditor, true, "#000000"},
                      ActiveCase{"DefaultWhileAnotherPushButtonHasFocus", true, ActiveCase::OnOtherPushButton, false,
                                 "#000000"},
                      ActiveCase{"NotDefaultWhileEditorHasFocus", false, ActiveCase::OnEditor, false, "#000000"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ButtonInWindow, DottedFocusFrameInvertsEveryOtherPixelFourPixelsIn)
{
    button->setFocus();
    button->setFocoPontilhado(false);
    const QImage plain = shot(*button);
    button->setFocoPontilhado(true);
    const QImage dotted = shot(*button);

    const auto inverted = [&plain](int x, int y) { return colourName(~plain.pixel(x, y) | 0xFF000000); };
    for (const QPoint p : {QPoint(4, 4), QPoint(6, 4), QPoint(81, 5), QPoint(4, 24), QPoint(81, 23)})
        EXPECT_EQ(colourAt(dotted, p.x(), p.y()), inverted(p.x(), p.y())) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(5, 4), QPoint(4, 5), QPoint(3, 3), QPoint(82, 4), QPoint(43, 14)})
        EXPECT_EQ(colourAt(dotted, p.x(), p.y()), colourAt(plain, p.x(), p.y())) << p.x() << "," << p.y();
}

TEST_F(ButtonInWindow, ActiveButtonWithoutFocusDrawsNoFocusFrame)
{
    button->setDefault(true);
    const QImage dotted = shot(*button);
    button->setFocoPontilhado(false);
    EXPECT_EQ(dotted, shot(*button));
}

struct ThinCase {
    const char* name;
    QSize size;
    std::vector<std::string> rows; // middle column, top to bottom
};

class ThinGradient : public ButtonInWindow, public ::testing::WithParamInterface<ThinCase> {};

TEST_P(ThinGradient, PaintsOnlyTheEndColourOrNothing)
{
    button->resize(GetParam().size);
    button->setFocus();
    button->setFocoPontilhado(false);
    const QImage image = shot(*button);
    const auto& rows = GetParam().rows;
    ASSERT_EQ(image.height(), static_cast<int>(rows.size()));
    for (int y = 0; y < image.height(); ++y)
        EXPECT_EQ(colourAt(image, image.width() / 2, y), rows[static_cast<std::size_t>(y)]) << "row " << y;
}

INSTANTIATE_TEST_SUITE_P(Button, ThinGradient,
                         ::testing::Values(ThinCase{"ExtentOne", {40, 3}, {"#000080", "#edf4fc", "#000080"}},
                                           ThinCase{"ExtentZero", {40, 2}, {"#000080", "#000080"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Glyph and caption placement and their pressed, hover and disabled looks.

// Without a caption a 16 × 16 glyph is centred in an 86 × 29 button.
const QPoint GlyphAt(35, 7);
const QPoint GlyphCentre = GlyphAt + QPoint(8, 8);

TEST(GradientButton, PressedShiftsGlyphAndCaptionOnePixelRightAndDown)
{
    TBtnMetal button;
    giveInstallationLook(button);
    giveFlatBackground(button, White);
    button.setText(QStringLiteral("Confirmar"));
    button.setGlyph(blockStrip({Red}));
    const QImage up = shot(button);
    button.setDown(true);
    const QImage down = shot(button);

    ASSERT_TRUE(inkBox(up, [](QColor c) { return c.rgb() == Red; }).isValid());
    ASSERT_TRUE(inkBox(up, [](QColor c) { return c.lightness() < 100; }).intersects(QRect(1, 1, 84, 27)));
    for (int y = 1; y < 27; ++y)
        for (int x = 1; x < 84; ++x)
            ASSERT_EQ(down.pixel(x + 1, y + 1), up.pixel(x, y)) << x << "," << y;
}

TEST(GradientButton, MarginAndSpacingMinusOneSplitTheFreeSpaceInThree)
{
    TBtnMetal button;
    giveInstallationLook(button);
    giveFlatBackground(button, White);
    button.resize(140, 29);
    button.setMargin(-1);
    button.setSpacing(-1);
    button.setText(QStringLiteral("OK"));
    button.setGlyph(blockStrip({Red}));
    const QImage image = shot(button);

    const QRect glyph = inkBox(image, [](QColor c) { return c.rgb() == Red; }).adjusted(-2, -2, 2, 2);
    const QRect caption = inkBox(image.copy(1, 1, 138, 27), [](QColor c) { return c.lightness() < 100; });
    ASSERT_EQ(glyph.size(), QSize(16, 16));
    ASSERT_TRUE(caption.isValid());
    const int before = glyph.left();
    const int between = caption.left() + 1 - glyph.right() - 1;
    const int after = 140 - (caption.right() + 1) - 1;
    EXPECT_GT(before, 20);
    // The caption's ink sits a pixel or so inside the box it was measured by.
    EXPECT_NEAR(between, before, 2);
    EXPECT_NEAR(after, before, 3);
}

TEST(GradientButton, MouseOverRecoloursTheCaptionUntilThePointerLeaves)
{
    TBtnMetal button;
    giveInstallationLook(button);
    giveFlatBackground(button, White);
    button.setCorMouseOver(QColor(Red));
    button.setText(QStringLiteral("Cancelar"));
    const auto reddish = [](QColor c) { return c.red() > 200 && c.green() < 120; };
    const QImage outside = shot(button);
    ASSERT_FALSE(inkBox(outside, reddish).isValid());

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(inkBox(shot(button), reddish).isValid());

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(shot(button), outside);
}

// Tests that read the system colours give them values no button colour has.
class SystemColours : public ::testing::Test {
public:
    static constexpr QRgb Face = 0xFFD4D0C8;
    static constexpr QRgb Highlight = Yellow;
    static constexpr QRgb Shadow = Blue;
    static constexpr QRgb Background = 0xFF336699;

protected:
    void SetUp() override
    {
        saved_ = QGuiApplication::palette();
        QPalette palette = saved_;
        palette.setColor(QPalette::Button, QColor(Face));
        palette.setColor(QPalette::Light, QColor(Highlight));
        palette.setColor(QPalette::Dark, QColor(Shadow));
        QApplication::setPalette(palette);
    }
    void TearDown() override { QApplication::setPalette(saved_); }

    // A glyph-only 86 × 29 button on a flat background.
    std::unique_ptr<TBtnMetal> glyphButton(const QImage& picture)
    {
        auto button = std::make_unique<TBtnMetal>();
        giveInstallationLook(*button);
        giveFlatBackground(*button, Background);
        button->setGlyph(picture);
        return button;
    }

private:
    QPalette saved_;
};

TEST_F(SystemColours, DisabledCaptionIsEngravedWhateverTheMouseAndFontColour)
{
    TBtnMetal button;
    giveInstallationLook(button);
    giveFlatBackground(button, Silver);
    button.setText(QStringLiteral("Cancelar"));
    button.setEnabled(false);
    const QImage untouched = shot(button);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    const QImage hovered = shot(button);
    EXPECT_EQ(hovered, untouched);

    // Blends of silver with yellow stay above it in red; blends with blue above it in blue.
    const QRect highlight = inkBox(hovered, [](QColor c) { return c.red() > 200 && c.blue() < 180; });
    const QRect shadow = inkBox(hovered, [](QColor c) { return c.blue() > 200 && c.red() < 180; });
    ASSERT_TRUE(highlight.isValid());
    ASSERT_TRUE(shadow.isValid());
    EXPECT_EQ(highlight.right(), shadow.right() + 1);
    EXPECT_EQ(highlight.bottom(), shadow.bottom() + 1);
    EXPECT_FALSE(inkBox(hovered.copy(1, 1, 84, 27), [](QColor c) { return c.lightness() < 60; }).isValid());
}

// Each image of a strip is a block of its own colour; the block shows which image is drawn.
struct StateImageCase {
    const char* name;
    int numGlyphs;
    enum Look { Up, Pressed, Disabled } look;
    QRgb blockColour; // the flat background when the block is not drawn at all
};

class StateImage : public SystemColours, public ::testing::WithParamInterface<StateImageCase> {};

TEST_P(StateImage, ComesFromTheStripImageOfThatState)
{
    const StateImageCase& c = GetParam();
    const std::initializer_list<QRgb> all = {Red, Green, Blue, Yellow};
    const QImage strip = blockStrip(all).copy(0, 0, 16 * c.numGlyphs, 16);
    auto button = glyphButton(strip);
    ASSERT_EQ(button->numGlyphs(), c.numGlyphs);
    button->setDown(c.look == StateImageCase::Pressed);
    button->setEnabled(c.look != StateImageCase::Disabled);
    const QImage image = shot(*button);
    const QPoint shift = c.look == StateImageCase::Pressed ? QPoint(1, 1) : QPoint();
    EXPECT_EQ(colourAt(image, GlyphCentre.x(), GlyphCentre.y()), colourName(c.blockColour));
    // The silver around the block is the transparent colour.
    EXPECT_EQ(colourAt(image, GlyphAt.x() + shift.x(), GlyphAt.y() + shift.y()), colourName(Background));
}

INSTANTIATE_TEST_SUITE_P(
    Button, StateImage,
    ::testing::Values(
        StateImageCase{"OneGlyphUp", 1, StateImageCase::Up, Red},
        StateImageCase{"OneGlyphPressedUsesUp", 1, StateImageCase::Pressed, Red},
        // No black pixels: the engraved silhouette is all button face, hence all transparent.
        StateImageCase{"OneGlyphDisabledIsASilhouette", 1, StateImageCase::Disabled, SystemColours::Background},
        StateImageCase{"TwoGlyphsPressedUsesUp", 2, StateImageCase::Pressed, Red},
        StateImageCase{"TwoGlyphsDisabled", 2, StateImageCase::Disabled, Green},
        StateImageCase{"ThreeGlyphsPressed", 3, StateImageCase::Pressed, Blue},
        StateImageCase{"FourGlyphsUp", 4, StateImageCase::Up, Red},
        StateImageCase{"FourGlyphsPressed", 4, StateImageCase::Pressed, Blue},
        StateImageCase{"FourGlyphsDisabled", 4, StateImageCase::Disabled, Green}),
    [](const auto& info) { return std::string(info.param.name); });

struct DisabledLookCase {
    const char* name;
    std::function<QImage()> picture;
    std::optional<QRgb> fixedTransparent;
    std::vector<std::pair<QPoint, QRgb>> expected; // point in the glyph -> colour on screen
};

class DisabledGlyph : public SystemColours, public ::testing::WithParamInterface<DisabledLookCase> {};

TEST_P(DisabledGlyph, TakesTheSystemColours)
{
    auto button = glyphButton(QImage());
    button->setGlyph(GetParam().picture(), GetParam().fixedTransparent);
    button->setEnabled(false);
    const QImage image = shot(*button);
    for (const auto& [point, colour] : GetParam().expected) {
        const QPoint at = GlyphAt + point;
        EXPECT_EQ(colourAt(image, at.x(), at.y()), colourName(colour)) << point.x() << "," << point.y();
    }
}

// Image 1 of a two-glyph strip holds white, grey and green pixels on its background.
QImage twoGlyphStrip(QRgb background)
{
    QImage strip(32, 16, QImage::Format_ARGB32);
    strip.fill(background);
    strip.setPixel(16 + 4, 4, White);
    strip.setPixel(16 + 6, 4, 0xFF808080);
    strip.setPixel(16 + 8, 4, Green);
    return strip;
}

// A black 4 × 4 square and a red pixel on silver.
QImage blackSquare()
{
    QImage glyph(16, 16, QImage::Format_ARGB32);
    glyph.fill(Silver);
    QPainter(&glyph).fillRect(6, 6, 4, 4, Qt::black);
    glyph.setPixel(2, 2, Red);
    return glyph;
}

constexpr QRgb Shown = SystemColours::Background;

INSTANTIATE_TEST_SUITE_P(
    Button, DisabledGlyph,
    ::testing::Values(
        DisabledLookCase{"WhiteAndGreyBecomeHighlightAndShadow",
                         [] { return twoGlyphStrip(Silver); },
                         std::nullopt,
                         {{{4, 4}, Yellow}, {{6, 4}, Blue}, {{8, 4}, Green}, {{0, 15}, Shown}, {{10, 10}, Shown}}},
        // White is also the fixed transparent colour: the later pass makes it button face, which stays
        // visible since the silver bottom-left pixel decides what is see-through.
        DisabledLookCase{"FixedTransparentWhiteBecomesFaceNotHighlight",
                         [] { return twoGlyphStrip(Silver); },
                         White,
                         {{{4, 4}, SystemColours::Face}, {{6, 4}, Blue}, {{8, 4}, Green}, {{10, 10}, Shown}}},
        DisabledLookCase{"SingleGlyphIsAnEngravedSilhouetteOfItsBlackPixels",
                         blackSquare,
                         std::nullopt,
                         {{{6, 6}, Blue},
                          {{9, 9}, Blue},
                          {{10, 7}, Yellow},
                          {{7, 10}, Yellow},
                          {{10, 10}, Yellow},
                          {{5, 5}, Shown},
                          {{2, 2}, Shown},
                          {{12, 12}, Shown}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SystemColours, FixedTransparentColourOverridesTheBottomLeftPixel)
{
    auto button = glyphButton(QImage());
    button->setGlyph(blockStrip({Red}), Red);
    const QImage image = shot(*button);
    EXPECT_EQ(colourAt(image, GlyphCentre.x(), GlyphCentre.y()), colourName(Background));
    EXPECT_EQ(colourAt(image, GlyphAt.x(), GlyphAt.y()), colourName(Silver));
}

// ---------------------------------------------------------------------------------------------
// Property rules.

struct PictureCase {
    const char* name;
    QSize size; // empty: no picture
    int numGlyphs;
};

class HandingOverAPicture : public ::testing::TestWithParam<PictureCase> {};

TEST_P(HandingOverAPicture, SetsNumGlyphsForStripsOfSquares)
{
    TBtnMetal button;
    button.setNumGlyphs(2);
    QImage picture;
    if (!GetParam().size.isEmpty()) {
        picture = QImage(GetParam().size, QImage::Format_ARGB32);
        picture.fill(Silver);
    }
    button.setGlyph(picture);
    EXPECT_EQ(button.numGlyphs(), GetParam().numGlyphs);
}

INSTANTIATE_TEST_SUITE_P(Button, HandingOverAPicture,
                         ::testing::Values(PictureCase{"FourSquares", {64, 16}, 4},
                                           PictureCase{"FiveSquaresMeanOne", {80, 16}, 1},
                                           PictureCase{"OneSquare", {16, 16}, 1},
                                           PictureCase{"ThreeSquares", {48, 16}, 3},
                                           PictureCase{"NoMultipleKeepsTheCount", {40, 16}, 2},
                                           PictureCase{"NoPictureKeepsTheCount", {}, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

struct NumGlyphsCase {
    int set;
    int expected;
};

void PrintTo(const NumGlyphsCase& c, std::ostream* os)
{
    *os << c.set << " gives " << c.expected;
}

class SettingNumGlyphs : public ::testing::TestWithParam<NumGlyphsCase> {};

TEST_P(SettingNumGlyphs, KeepsItBetweenOneAndFour)
{
    TBtnMetal button;
    button.setNumGlyphs(2);
    button.setNumGlyphs(GetParam().set);
    EXPECT_EQ(button.numGlyphs(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Button, SettingNumGlyphs,
                         ::testing::Values(NumGlyphsCase{7, 4}, NumGlyphsCase{4, 4}, NumGlyphsCase{3, 3},
                                           NumGlyphsCase{1, 1}, NumGlyphsCase{0, 2}, NumGlyphsCase{-1, 2}));

TEST(GradientButton, MarginBelowMinusOneIsIgnored)
{
    TBtnMetal button;
    button.setMargin(5);
    button.setMargin(-2);
    EXPECT_EQ(button.margin(), 5);
    button.setMargin(-1);
    EXPECT_EQ(button.margin(), -1);
}

TEST(GradientButton, DoubleClickGivesTwoClicks)
{
    TBtnMetal button;
    button.resize(86, 29);
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    const QPointF at(10, 10);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, button.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&button, &event);
    }
    EXPECT_EQ(clicks.count(), 2);
}

// ---------------------------------------------------------------------------------------------
// Glyphs from an image list.

class ListGlyph : public ::testing::Test {
protected:
    void SetUp() override
    {
        giveInstallationLook(button);
        giveFlatBackground(button, White);
        list.add(blockStrip({Blue}));
        button.setImageList(&list);
        button.setGlyph(blockStrip({Red}));
    }

    std::string glyphCentre() { return colourAt(shot(button), GlyphCentre.x(), GlyphCentre.y()); }

    TImageList list{QSize(16, 16)};
    TBtnMetal button;
};

TEST_F(ListGlyph, ReplacesTheGlyphAtThePaintAndLeavesItEmpty)
{
    EXPECT_EQ(glyphCentre(), colourName(Blue));
    EXPECT_TRUE(button.glyph().isNull());
    EXPECT_EQ(glyphCentre(), colourName(Blue));
}

TEST_F(ListGlyph, IndexOutsideTheListPaintsTheGlyphOnceAndThenNothing)
{
    button.setImageIndex(1);
    EXPECT_EQ(glyphCentre(), colourName(Red));
    EXPECT_TRUE(button.glyph().isNull());
    EXPECT_EQ(glyphCentre(), colourName(White));
}

TEST_F(ListGlyph, RemovedImageLeavesTheIndexOutside)
{
    list.remove(0);
    EXPECT_EQ(glyphCentre(), colourName(Red));
    EXPECT_THROW(list.remove(0), zk::Error);
}

TEST_F(ListGlyph, DestroyedListIsForgotten)
{
    auto doomed = std::make_unique<TImageList>(QSize(16, 16));
    doomed->add(blockStrip({Green}));
    button.setImageList(doomed.get());
    EXPECT_EQ(glyphCentre(), colourName(Green));
    doomed.reset();
    EXPECT_EQ(button.imageList(), nullptr);
    EXPECT_EQ(glyphCentre(), colourName(White));
}

TEST(ImageList, RefusesImagesOfAnotherSize)
{
    TImageList list(QSize(16, 16));
    EXPECT_THROW(list.add(QImage(32, 16, QImage::Format_ARGB32)), zk::Error);
    EXPECT_EQ(list.count(), 0);
}

// ---------------------------------------------------------------------------------------------
// The shared glyph cache.

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
    EXPECT_EQ(colourAt(target, 0, 0), colourName(Green));
    EXPECT_EQ(colourAt(target, 8, 8), colourName(Red));
}

std::unique_ptr<TBtnMetal> paintedButton(const QImage& picture)
{
    auto button = std::make_unique<TBtnMetal>();
    giveInstallationLook(*button);
    button->setGlyph(picture);
    shot(*button);
    return button;
}

TEST(GlyphCache, ButtonsShareOneListPerImageSizeAndGiveItBackWhenDone)
{
    ASSERT_EQ(TGlyphCache::existing(), nullptr);
    auto first = paintedButton(blockStrip({Red}));
    auto second = paintedButton(blockStrip({Red}));
    shot(*second);
    TGlyphCache* cache = TGlyphCache::existing();
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(cache->listCount(), 1);
    ASSERT_NE(cache->find(QSize(16, 16)), nullptr);
    EXPECT_EQ(cache->find(QSize(16, 16))->count(), 2);

    QImage wider(20, 16, QImage::Format_ARGB32);
    wider.fill(Silver);
    auto wide = paintedButton(wider);
    EXPECT_EQ(cache->listCount(), 2);
    wide.reset();
    EXPECT_EQ(cache->listCount(), 1);

    first->setGlyph(blockStrip({Blue}));
    EXPECT_EQ(cache->find(QSize(16, 16))->count(), 1);
    first.reset();
    second.reset();
    EXPECT_EQ(TGlyphCache::existing(), nullptr);
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
