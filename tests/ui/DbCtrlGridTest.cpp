// The data-bound tile grid over a real record set: which record each tile shows, what a
// tile looks like, touches, keys, the scroll bar, and following the record set's signals.

#include "data/dataset/DataSource.h"
#include "data/dataset/Query.h"
#include "support/ErrorLog.h"
#include "support/Ink.h"
#include "support/TestDatabase.h"
#include "ui/DbCtrlGrid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

using zk::DbCtrlGrid;
using zk::FieldDef;
using zk::FieldType;
using zk::Query;

namespace {

constexpr FieldDef tileFields[] = {{"ID", FieldType::Integer}, {"NOME", FieldType::String, 20}, {"FOTO", FieldType::Blob}};

constexpr int tileW = 60;
constexpr int tileH = 40;
const QColor background(0xF3, 0xF3, 0xF3);
const QColor selected(0xD6, 0xF1, 0xFC);

// A 3 x 2 grid over the rows of one small table, ID 1..count in order.
class GridTest : public testing::Test {
protected:
    void SetUp() override
    {
        db = TestDatabase::empty();
        db->exec("create table TILES (ID integer not null, NOME varchar(20), FOTO blob sub_type 0)");
        db->connect(connection);
    }
    void TearDown() override
    {
        grid.reset();
        source.reset();
        query.reset();
        if (transaction.active())
            transaction.commit();
    }

    void start(int count)
    {
        QList<QVariantList> rows;
        for (int i = 1; i <= count; ++i)
            rows << QVariantList{i, QStringLiteral("mesa %1").arg(i)};
        if (count > 0)
            db->execMany("insert into TILES (ID, NOME) values (?, ?)", rows);
        query = std::make_unique<Query>("QTiles", transaction, tileFields, QStringList{"select * from TILES order by ID"});
        query->open();
        source = std::make_unique<zk::DataSource>(*query);
        grid = std::make_unique<DbCtrlGrid>();
        grid->setColCount(3);
        grid->setRowCount(2);
        grid->setPanelDesignSize({tileW, tileH});
        grid->setColor(background);
        grid->setDataSource(*source);
        grid->resize(3 * tileW + scrollBarWidth(), 2 * tileH);
        grid->onClick = [this] { clicks << query->fieldByName("ID").asInteger(); };
        grid->onPaintPanel = [this](DbCtrlGrid&, int index) { painted[index] = query->fieldByName("ID").asInteger(); };
    }
    int scrollBarWidth() const { return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent); }
    void showActive()
    {
        grid->show();
        grid->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
    }
    QImage render() { return shot(*grid); }
    int current() const { return query->fieldByName("ID").asInteger(); }
    QPoint centreOf(int index) const { return grid->panelRect(index).center(); }
    void press(const QPoint& at) { QTest::mousePress(grid.get(), Qt::LeftButton, {}, at); }
    // What each position shows, by ID: the paint hook sees the tile's own record.
    std::map<int, int> paintedPositions()
    {
        painted.clear();
        render();
        return painted;
    }

    std::unique_ptr<TestDatabase> db;
    zk::fb::Attachment connection;
    zk::fb::Transaction transaction{connection, "Tr"};
    std::unique_ptr<Query> query;
    std::unique_ptr<zk::DataSource> source;
    std::unique_ptr<DbCtrlGrid> grid;
    QList<int> clicks;
    std::map<int, int> painted;
};

// ---- which record each tile shows, and how it looks -----------------------------------

TEST_F(GridTest, TilesShowTheirOwnRecordsAndPositionsPastTheLastStayBlank)
{
    start(4);
    query->moveTo(2);
    EXPECT_EQ(paintedPositions(), (std::map<int, int>{{0, 1}, {1, 2}, {2, 3}, {3, 4}}));
    EXPECT_EQ(current(), 3) << "painting leaves the current record where it was";
    QImage shot = render();
    for (int index : {4, 5})
        EXPECT_EQ(shot.pixelColor(centreOf(index)), background) << index;
}

struct SizeCase {
    int width, height, cols, rows;
    QSize tile;
    friend std::ostream& operator<<(std::ostream& os, const SizeCase& c)
    {
        return os << c.width << 'x' << c.height << " in " << c.cols << 'x' << c.rows;
    }
};
class PanelSize : public testing::TestWithParam<SizeCase> {};
// The tiles were designed beside a 17 px scroll bar, whatever the style draws elsewhere
// (Fusion's is 14 px, which would widen every tile by 3 px).
TEST_P(PanelSize, IsTheRoomLeftOfTheScrollBarDividedWithoutRemainder)
{
    const SizeCase& c = GetParam();
    DbCtrlGrid grid;
    grid.setColCount(c.cols);
    grid.setRowCount(c.rows);
    grid.resize(c.width + 17, c.height);
    grid.show();
    EXPECT_EQ(grid.verticalScrollBar()->width(), 17);
    EXPECT_EQ(grid.panelSize(), c.tile);
    EXPECT_EQ(grid.panelRect(c.cols * c.rows - 1).bottomRight(),
              QPoint(c.cols * c.tile.width() - 1, c.rows * c.tile.height() - 1));
}
INSTANTIATE_TEST_SUITE_P(Sizes, PanelSize,
                         testing::Values(SizeCase{991, 437, 6, 4, {165, 109}}, SizeCase{1264, 654, 6, 4, {210, 163}},
                                         SizeCase{200, 548, 1, 12, {200, 45}}, SizeCase{5, 3, 6, 4, {1, 1}},
                                         SizeCase{0, 0, 1, 9, {1, 1}}));

struct AnchorCase {
    const char* name;
    Qt::Edges anchors;
    QRect place;
    friend std::ostream& operator<<(std::ostream& os, const AnchorCase& c) { return os << c.name; }
};
class Anchors : public testing::TestWithParam<AnchorCase> {};
TEST_P(Anchors, PlaceTheComponentInAGrownTile)
{
    zk::TileText text({10, 5, 20, 10}, "NOME");
    text.anchors = GetParam().anchors;
    EXPECT_EQ(text.placeIn(QRect(100, 200, 120, 60), {60, 40}), GetParam().place.translated(100, 200));
}
INSTANTIATE_TEST_SUITE_P(
    Edges, Anchors,
    testing::Values(AnchorCase{"fixed", Qt::LeftEdge | Qt::TopEdge, {10, 5, 20, 10}},
                    AnchorCase{"stretching", Qt::LeftEdge | Qt::RightEdge | Qt::TopEdge, {10, 5, 80, 10}},
                    AnchorCase{"right", Qt::RightEdge | Qt::TopEdge, {70, 5, 20, 10}},
                    AnchorCase{"relative", Qt::TopEdge, {30, 5, 20, 10}},
                    AnchorCase{"full height at the right", Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge, {70, 5, 20, 30}}));

TEST_F(GridTest, CurrentTileAloneTakesTheSelectedColourAndWithFocusTheDottedRectangle)
{
    start(4);
    grid->setSelectedColor(selected);
    grid->setPanelBorder(true);
    query->moveTo(1);
    const QRect tile = grid->panelRect(1);
    const QRgb light = grid->palette().color(QPalette::Light).rgb();
    const QRgb dark = grid->palette().color(QPalette::Dark).rgb();
    const QRgb ink = grid->palette().color(QPalette::WindowText).rgb();
    // Ink on a column of a tile, between the top and bottom sides of the focus rectangle.
    auto inkOnColumn = [&](const QImage& shot, int x, const QRect& r) {
        return pixelCount(shot, QRect(QPoint(x, r.top() + 3), QPoint(x, r.bottom() - 3)), ink);
    };

    QImage shot = render();
    EXPECT_EQ(shot.pixelColor(tile.center()), selected);
    EXPECT_EQ(shot.pixelColor(grid->panelRect(0).center()), background);
    EXPECT_EQ(shot.pixelColor(grid->panelRect(5).center()), background) << "a blank position is not a tile";
    EXPECT_EQ(shot.pixel(tile.left() + 5, tile.top()), light);
    EXPECT_EQ(shot.pixel(tile.left(), tile.top() + 5), light);
    EXPECT_EQ(shot.pixel(tile.right() - 5, tile.bottom()), dark);
    EXPECT_EQ(shot.pixel(tile.right(), tile.bottom() - 5), dark);
    EXPECT_EQ(inkOnColumn(shot, tile.left() + 2, tile), 0) << "no focus, no rectangle";

    showActive();
    grid->setFocus();
    shot = render();
    int dots = inkOnColumn(shot, tile.left() + 2, tile);
    EXPECT_GT(dots, tileH / 4);
    EXPECT_LT(dots, tileH - 4) << "dotted, not solid";
    EXPECT_GT(inkOnColumn(shot, tile.right() - 2, tile), 0);
    EXPECT_EQ(inkOnColumn(shot, tile.left() + 1, tile) + inkOnColumn(shot, tile.left() + 3, tile), 0);
    EXPECT_EQ(inkOnColumn(shot, grid->panelRect(0).left() + 2, grid->panelRect(0)), 0) << "only the current tile";
}

TEST_F(GridTest, PictureLeavesOutTheColourOfItsBottomLeftPixel)
{
    start(1);
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    QPainter(&picture).fillRect(5, 5, 10, 10, Qt::blue);
    zk::TileImage& image = grid->addImage({10, 10, 1, 1});
    image.autoSize = true;
    image.setTransparent(true);
    image.setImage(picture);

    QImage shot = render();
    EXPECT_EQ(shot.pixelColor(12, 12), background);
    EXPECT_EQ(shot.pixelColor(20, 20), QColor(Qt::blue));
    EXPECT_EQ(shot.pixelColor(29, 29), background) << "sized to its picture";

    image.setTransparent(false);
    grid->update();
    EXPECT_EQ(render().pixelColor(12, 12), QColor(Qt::magenta));
}

TEST_F(GridTest, BlobPictureIsDecodedAndStretchedAndAFailureIsReportedOncePerRead)
{
    start(2);
    for (const char* content : {"red", "garbage"}) {
        query->edit();
        query->fieldByName("FOTO").setBlob(content);
        query->post();
        query->next();
    }
    query->first();
    int decoded = 0;
    grid->addDbImage({0, 0, 30, 20}, "FOTO", [&](const QByteArray& blob) {
        ++decoded;
        if (blob != "red")
            throw zk::Error("Bitmap image is not valid");
        QImage red(2, 2, QImage::Format_RGB32);
        red.fill(Qt::red);
        return red;
    });
    ErrorLog errors;
    QImage shot = render();
    render();
    QApplication::processEvents();
    EXPECT_EQ(shot.pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(29, 19), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(31, 21), background);
    EXPECT_EQ(shot.pixelColor(tileW + 15, 10), background) << "an undecodable picture is left out";
    EXPECT_EQ(errors.messages, QStringList({"Bitmap image is not valid."}));
    EXPECT_EQ(decoded, 2) << "each picture is decoded once, not at every paint";
}

// ---- touch ----------------------------------------------------------------------------

TEST_F(GridTest, PressMakesTheTilesRecordCurrentGivesFocusAndClicksOncePerPress)
{
    start(5);
    showActive();
    bool focusedWhenClicked = false;
    grid->onClick = [&] {
        clicks << current();
        focusedWhenClicked = grid->hasFocus();
    };
    press(centreOf(4));
    EXPECT_EQ(current(), 5);
    EXPECT_EQ(clicks, QList<int>({5}));
    EXPECT_TRUE(focusedWhenClicked);

    QTest::mouseRelease(grid.get(), Qt::LeftButton, {}, centreOf(4));
    QTest::mouseClick(grid.get(), Qt::LeftButton, {}, centreOf(1));
    QTest::mouseDClick(grid.get(), Qt::LeftButton, {}, centreOf(1));
    QTest::mouseRelease(grid.get(), Qt::LeftButton, {}, centreOf(1));
    EXPECT_EQ(clicks, QList<int>({5, 2})) << "a double click acts once";

    press(centreOf(5));
    QTest::mousePress(grid.get(), Qt::RightButton, {}, centreOf(0));
    EXPECT_EQ(clicks, QList<int>({5, 2})) << "a blank position and the right button do nothing";
    EXPECT_EQ(current(), 2);
}

TEST_F(GridTest, ComponentWithItsOwnActionRunsItInsteadWithItsTilesRecordCurrent)
{
    start(5);
    QList<int> bin;
    zk::TileImage& image = grid->addImage({44, 0, 16, 40});
    image.anchors = Qt::RightEdge | Qt::TopEdge | Qt::BottomEdge;
    image.onClick = [&] { bin << current(); };
    press(grid->panelRect(2).topLeft() + QPoint(50, 20));
    press(grid->panelRect(1).topLeft() + QPoint(10, 20));
    EXPECT_EQ(bin, QList<int>({3}));
    EXPECT_EQ(clicks, QList<int>({2}));

    grid->resize(3 * 2 * tileW + scrollBarWidth(), 2 * tileH); // tiles twice as wide: the strip follows the right edge
    press(grid->panelRect(4).topLeft() + QPoint(2 * tileW - 5, 5));
    press(grid->panelRect(0).topLeft() + QPoint(50, 5));
    EXPECT_EQ(bin, QList<int>({3, 5}));
    EXPECT_EQ(clicks, QList<int>({2, 1}));
}

TEST_F(GridTest, FailingClickActionIsReportedAfterTheRecordMoved)
{
    start(3);
    grid->onClick = [] { throw zk::Error("Mesa ocupada"); };
    ErrorLog errors;
    press(centreOf(2));
    EXPECT_EQ(errors.messages, QStringList({"Mesa ocupada."}));
    EXPECT_EQ(current(), 3);
}

// ---- keys -----------------------------------------------------------------------------

struct KeyCase {
    const char* name;
    int from; // record numbers from 0, over 20 records in 3 x 2 tiles
    Qt::Key key;
    int to;
    int top;
    friend std::ostream& operator<<(std::ostream& os, const KeyCase& c) { return os << c.name; }
};
class Keys : public GridTest, public testing::WithParamInterface<KeyCase> {};
TEST_P(Keys, MoveTheCurrentRecordAndScrollWholeRowsButNeverClick)
{
    const KeyCase& c = GetParam();
    start(20);
    query->moveTo(c.from);
    ASSERT_EQ(grid->topRecord(), 0);
    QTest::keyClick(grid.get(), c.key);
    EXPECT_EQ(query->recNo(), c.to);
    EXPECT_EQ(grid->topRecord(), c.top);
    EXPECT_TRUE(clicks.isEmpty());
}
INSTANTIATE_TEST_SUITE_P(
    Navigation, Keys,
    testing::Values(KeyCase{"Left", 4, Qt::Key_Left, 3, 0}, KeyCase{"Right", 4, Qt::Key_Right, 5, 0},
                    KeyCase{"Up", 4, Qt::Key_Up, 1, 0}, KeyCase{"UpOnTheFirstRow", 1, Qt::Key_Up, 0, 0},
                    KeyCase{"DownFromTheLastVisibleRowScrollsOneRow", 4, Qt::Key_Down, 7, 3},
                    KeyCase{"DownFromTheFirstRowStays", 1, Qt::Key_Down, 4, 0},
                    KeyCase{"PageDown", 4, Qt::Key_PageDown, 10, 6}, KeyCase{"PageUp", 5, Qt::Key_PageUp, 0, 0},
                    KeyCase{"End", 4, Qt::Key_End, 19, 15}, KeyCase{"Home", 5, Qt::Key_Home, 0, 0},
                    KeyCase{"Enter", 4, Qt::Key_Return, 4, 0}, KeyCase{"Letter", 4, Qt::Key_A, 4, 0}));

TEST_F(GridTest, MovingBackAboveTheTopRowScrollsToIt)
{
    start(20);
    query->last();
    ASSERT_EQ(grid->topRecord(), 15);
    QTest::keyClick(grid.get(), Qt::Key_PageUp);
    EXPECT_EQ(query->recNo(), 13);
    EXPECT_EQ(grid->topRecord(), 12);
    EXPECT_EQ(paintedPositions(), (std::map<int, int>{{0, 13}, {1, 14}, {2, 15}, {3, 16}, {4, 17}, {5, 18}}));
}

// ---- the scroll bar -------------------------------------------------------------------

TEST_F(GridTest, ScrollBarIsRoughUntilEveryRowIsFetchedThenFollowsTheRecord)
{
    start(20);
    QScrollBar* bar = grid->verticalScrollBar();
    ASSERT_FALSE(query->allFetched());
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_EQ(bar->maximum(), 4);
    EXPECT_EQ(bar->value(), 0);
    query->moveTo(7);
    EXPECT_EQ(bar->value(), 2);

    query->last();
    EXPECT_EQ(bar->maximum(), 19);
    EXPECT_EQ(bar->pageStep(), 6);
    EXPECT_EQ(bar->value(), 19);
    query->moveTo(7);
    EXPECT_EQ(bar->value(), 7);
}

TEST_F(GridTest, ScrollBarWithEverythingOnOnePageIsDisabled)
{
    start(5);
    query->last();
    EXPECT_FALSE(grid->verticalScrollBar()->isEnabled());
}

struct BarCase {
    const char* name;
    QAbstractSlider::SliderAction action;
    int from;
    int to;
    friend std::ostream& operator<<(std::ostream& os, const BarCase& c) { return os << c.name; }
};
class ScrollBarActions : public GridTest, public testing::WithParamInterface<BarCase> {};
TEST_P(ScrollBarActions, MoveTheCurrentRecord)
{
    start(20);
    query->last();
    query->moveTo(GetParam().from);
    grid->verticalScrollBar()->triggerAction(GetParam().action);
    EXPECT_EQ(query->recNo(), GetParam().to);
    EXPECT_EQ(grid->verticalScrollBar()->value(), GetParam().to);
    EXPECT_TRUE(clicks.isEmpty());
}
INSTANTIATE_TEST_SUITE_P(Parts, ScrollBarActions,
                         testing::Values(BarCase{"ArrowDown", QAbstractSlider::SliderSingleStepAdd, 4, 7},
                                         BarCase{"ArrowUp", QAbstractSlider::SliderSingleStepSub, 4, 1},
                                         BarCase{"TrackBelow", QAbstractSlider::SliderPageStepAdd, 4, 10},
                                         BarCase{"TrackAbove", QAbstractSlider::SliderPageStepSub, 10, 4},
                                         BarCase{"Top", QAbstractSlider::SliderToMinimum, 10, 0},
                                         BarCase{"Bottom", QAbstractSlider::SliderToMaximum, 4, 19}));

TEST_F(GridTest, ThumbMovesToARecordWhenLetGo)
{
    start(20);
    QScrollBar* bar = grid->verticalScrollBar();
    auto drag = [&](int position) {
        bar->setSliderDown(true);
        bar->setSliderPosition(position);
        EXPECT_EQ(query->recNo() == position, false) << "nothing moves while the thumb is held";
        bar->setSliderDown(false);
    };
    drag(4); // rough: the end
    EXPECT_EQ(current(), 20);
    EXPECT_EQ(bar->maximum(), 19) << "everything is fetched now";
    drag(12);
    EXPECT_EQ(query->recNo(), 12);
    EXPECT_EQ(grid->topRecord(), 12);
}

// ---- the record set's signals ---------------------------------------------------------

TEST_F(GridTest, FollowsTheRecordSetThroughItsSignals)
{
    start(8);
    query->last();
    EXPECT_EQ(grid->topRecord(), 3);
    EXPECT_EQ(paintedPositions(), (std::map<int, int>{{0, 4}, {1, 5}, {2, 6}, {3, 7}, {4, 8}}));

    query->close();
    EXPECT_TRUE(paintedPositions().empty());
    EXPECT_FALSE(grid->verticalScrollBar()->isEnabled());

    db->exec("delete from TILES where ID > 2");
    query->open();
    EXPECT_EQ(grid->topRecord(), 0);
    EXPECT_EQ(paintedPositions(), (std::map<int, int>{{0, 1}, {1, 2}}));
}
} // namespace
