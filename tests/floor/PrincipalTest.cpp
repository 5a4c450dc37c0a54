// The table floor window, started the way the program starts, on real databases: what each
// tile shows, the two layouts, what stays when the creation fails, and its buttons.

#include "app/Program.h"
#include "base/ProgramaIrmao.h"
#include "base/Ufuncoes.h"
#include "support/ErrorLog.h"
#include "support/FakeCaixa.h"
#include "support/Ink.h"
#include "support/Modal.h"
#include "support/TempIni.h"
#include "support/TestDatabase.h"
#include "ui/DbCtrlGrid.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QLabel>
#include <QPainter>
#include <QTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

namespace {

const QRgb white = qRgb(255, 255, 255);
const QRgb selected = qRgb(0xD6, 0xF1, 0xFC);
const QRgb green = qRgb(0x00, 0x80, 0x00);
const QRgb red = qRgb(0xFF, 0x00, 0x00);

QString pictureFolder() { return QCoreApplication::applicationDirPath(); }
QImage picture(const char* name) { return QImage(pictureFolder() + "/img/" + name).convertToFormat(QImage::Format_RGB32); }

// A point of the tile pictures, clear of the labels, where the free and the occupied
// pictures differ and neither is transparent: it tells which one a tile shows.
QPoint probe()
{
    QImage free = picture("3.bmp"), occupied = picture("4.bmp");
    const QRgb key = free.pixel(0, free.height() - 1);
    for (int y = 0; y < 80; ++y)
        for (int x = 55; x < free.width(); ++x)
            if (free.pixel(x, y) != occupied.pixel(x, y) && free.pixel(x, y) != key && occupied.pixel(x, y) != key)
                return {x, y};
    return {-1, -1};
}
const QPoint imStatus(70, 4);

class FloorTest : public testing::Test {
protected:
    // Tables as (CODMESA, DESCRICAO, STATUS, CODMOVIMENTO).
    void start(const QList<QVariantList>& tables, const char* modo = nullptr)
    {
        if (!tables.isEmpty())
            db->execMany("insert into MESAS (CODMESA, DESCRICAO, STATUS, CODMOVIMENTO) values (?, ?, ?, ?)", tables);
        start(modo);
    }
    void start(const char* modo)
    {
        db->writeSettings();
        if (modo)
            GravarIni("KOVA", "MODO", modo);
        program = std::make_unique<Program>();
    }
    void TearDown() override { program.reset(); }

    TFPRincipal& floor() { return program->FPRincipal; }
    zk::DbCtrlGrid& grid() { return *floor().DBCtrlGrid1; }
    QImage tiles() { return shot(grid()); }
    QImage tile(const QImage& shot, int index) { return shot.copy(grid().panelRect(index)); }
    bool blank(const QImage& shot, int index)
    {
        QRect r = grid().panelRect(index);
        return pixelCount(shot, r, white) == r.width() * r.height();
    }
    // The table number each position shows, as the paint hook sees it.
    std::map<int, int> numbers()
    {
        std::map<int, int> seen;
        auto hook = grid().onPaintPanel;
        grid().onPaintPanel = [&](zk::DbCtrlGrid& g, int index) {
            seen[index] = program->Dm.QPesqMesa.fieldByName("DESCRICAO").asInteger();
            hook(g, index);
        };
        tiles();
        grid().onPaintPanel = hook;
        return seen;
    }
    void showFloor()
    {
        floor().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&floor()));
    }

    TempIni ini;
    QTemporaryDir programFolderWithoutCaixa;
    std::unique_ptr<TestDatabase> db = TestDatabase::copyOf("template");
    ErrorLog errors;
    std::unique_ptr<Program> program;
};

// ---- the tiles ------------------------------------------------------------------------

struct StatusCase {
    const char* name;
    QVariant status;
    bool free;
    friend std::ostream& operator<<(std::ostream& os, const StatusCase& c) { return os << c.name; }
};
class TileStatus : public FloorTest, public testing::WithParamInterface<StatusCase> {};
TEST_P(TileStatus, OnlyExactlyLShowsTheFreePictureAndAGreenNumber)
{
    start({{1, 88, GetParam().status, 0}});
    const QPoint at = probe();
    ASSERT_GE(at.x(), 0);
    QImage shown = tile(tiles(), 0);
    QImage expected = picture(GetParam().free ? "3.bmp" : "4.bmp");
    EXPECT_EQ(shown.pixel(imStatus + at), expected.pixel(at));

    const QRect number(20, 10, 101, 46);
    EXPECT_GT(pixelCount(shown, number, GetParam().free ? green : red), 100);
    EXPECT_EQ(pixelCount(shown, number, GetParam().free ? red : green), 0);
    EXPECT_EQ(pixelCount(shown, shown.rect(), expected.pixel(0, expected.height() - 1)), 0)
        << "the picture's bottom-left colour is left out";
    EXPECT_GT(pixelCount(shown, QRect(imStatus, QSize(90, 90)), selected), 500) << "the tile shows through";
    EXPECT_TRUE(errors.messages.isEmpty());
}
INSTANTIATE_TEST_SUITE_P(Statuses, TileStatus,
                         testing::Values(StatusCase{"L", "L", true}, StatusCase{"O", "O", false},
                                         StatusCase{"Empty", "", false}, StatusCase{"Null", QVariant(), false},
                                         StatusCase{"LowerCaseL", "l", false}));

TEST_F(FloorTest, ThirtyTablesFillFourRowsAndDownFromTheLastRowScrollsOneRow)
{
    db = TestDatabase::copyOf("sample");
    start(nullptr);
    QImage shot = tiles();
    for (int index = 0; index < 24; ++index)
        EXPECT_FALSE(blank(shot, index)) << index;
    QScrollBar* bar = grid().verticalScrollBar();
    EXPECT_TRUE(bar->isVisibleTo(&floor()) && bar->isEnabled());
    EXPECT_EQ(bar->maximum(), 29) << "the whole view was fetched at creation";

    program->Dm.QPesqMesa.moveTo(20); // a touch would open the table
    ASSERT_EQ(grid().topRecord(), 0);
    QTest::keyClick(&grid(), Qt::Key_Down);
    EXPECT_EQ(program->Dm.QPesqMesa.recNo(), 26);
    EXPECT_EQ(grid().topRecord(), 6);
    std::map<int, int> shown = numbers();
    EXPECT_EQ(shown.size(), 24u);
    EXPECT_EQ(shown[0], 7);
    EXPECT_EQ(shown[23], 30);
}

TEST_F(FloorTest, TenTablesFillARowAndFourTilesAndLeaveTheRestBlank)
{
    QList<QVariantList> tables;
    for (int i = 1; i <= 10; ++i)
        tables << QVariantList{i, i, "L", 0};
    start(tables);
    QImage shot = tiles();
    for (int index = 0; index < 24; ++index)
        EXPECT_EQ(blank(shot, index), index >= 10) << index;
    EXPECT_FALSE(grid().verticalScrollBar()->isEnabled());
}

// The labels of every tile, compared with the same texts drawn where the layout puts them.
TEST_F(FloorTest, EachTileShowsItsOwnNumberAndTotal)
{
    start({{1, 12, "O", 78}, {2, 5, "L", 0}, {3, 7, "O", 77}});
    db->execMany("insert into MOVIMENTOSPRODUTOS (CODMOVIMENTO, CODFILIAL, TIPO) values (?, 1, 'VE')", {{77}, {78}});
    db->execMany("insert into ITENSMOVIMENTOPROD (CODITEMMOVIMENTO, CODUNIDADE, CODPRODUTO, CODMOVIMENTO, QTD, VALOR) "
                 "values (?, 1, 1, ?, ?, ?)",
                 {{1, 77, 3.0, 3.3}, {2, 78, 2.0, 617.25}});
    program->Dm.QPesqMesa.close();
    program->Dm.QPesqMesa.open();
    QTemporaryDir noPictures;
    floor().setPastaDoPrograma(noPictures.path()); // the labels alone

    struct Expected {
        QString number, total;
        QRgb colour, background;
    };
    const Expected expected[] = {{"5", "", green, selected},
                                 {"7", QStringLiteral("R$\u00a09,90"), red, white},
                                 {"12", QStringLiteral("R$\u00a01.234,50"), red, white}};
    QImage shot = tiles();
    for (int index = 0; index < 3; ++index) {
        const Expected& e = expected[index];
        QImage drawn(grid().panelSize(), QImage::Format_RGB32);
        drawn.fill(e.background);
        {
            QPainter p(&drawn);
            QFont number("Arial");
            number.setPixelSize(47);
            number.setBold(true);
            p.setFont(number);
            p.setPen(QColor(e.colour));
            p.drawText(QRect(20, 10, 101, 46), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, e.number);
            QFont total("Arial");
            total.setPixelSize(20);
            p.setFont(total);
            p.setPen(Qt::black);
            p.drawText(QRect(50, 85, 101, 26), Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, e.total);
        }
        QRect inside = drawn.rect().adjusted(1, 1, -1, -1); // within the tile's frame
        EXPECT_EQ(tile(shot, index).copy(inside), drawn.copy(inside)) << "tile " << index;
    }
}

// ---- pictures -------------------------------------------------------------------------

TEST_F(FloorTest, MissingOrBrokenPictureFileLeavesThePictureOutSilentlyUntilItIsThere)
{
    start({{1, 3, "L", 0}});
    QTemporaryDir folder;
    QDir().mkpath(folder.filePath("img"));
    floor().setPastaDoPrograma(folder.path());
    const QPoint at = imStatus + probe();

    QImage shown = tile(tiles(), 0);
    tiles();
    EXPECT_EQ(shown.pixel(at), selected) << "missing: no picture";
    EXPECT_GT(pixelCount(shown, QRect(20, 10, 101, 46), green), 100) << "the number still shows";

    QFile broken(folder.filePath("img/3.bmp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a bitmap");
    broken.close();
    EXPECT_EQ(tile(tiles(), 0).pixel(at), selected) << "unreadable: no picture";
    EXPECT_TRUE(errors.messages.isEmpty());

    QFile::remove(broken.fileName());
    ASSERT_TRUE(QFile::copy(pictureFolder() + "/img/3.bmp", broken.fileName()));
    EXPECT_EQ(tile(tiles(), 0).pixel(at), picture("3.bmp").pixel(probe())) << "a picture put there later shows";
}

// ---- layouts --------------------------------------------------------------------------

TEST_F(FloorTest, DesktopLayoutIsTheDesignCentredWithoutATitleBar)
{
    start({{1, 1, "L", 0}}, "0");
    showFloor();
    EXPECT_FALSE(floor().ModoTablet);
    EXPECT_TRUE(floor().windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(floor().isMaximized());
    EXPECT_EQ(floor().size(), QSize(1008, 689));
    EXPECT_EQ(floor().geometry().center(), floor().screen()->availableGeometry().center());
    EXPECT_EQ(floor().windowTitle(), "Zenobra - Bar e Restaurante");

    const std::pair<QWidget*, QRect> places[] = {
        {floor().Panel2, {0, 0, 1008, 66}},       {floor().Image3, {0, 0, 1008, 66}},
        {floor().Panel1, {0, 66, 1008, 106}},     {floor().Image1, {21, 10, 80, 73}},
        {floor().Image2, {145, 11, 80, 73}},      {floor().ImVendas, {280, 12, 73, 73}},
        {floor().Image4, {805, 36, 188, 45}},     {floor().DBCtrlGrid1, {0, 172, 1008, 437}},
        {floor().Panel3, {0, 609, 1008, 80}},     {floor().SpeedButton1, {5, 5, 106, 71}},
        {floor().BitBtn1, {880, 5, 112, 71}},
    };
    for (const auto& [widget, place] : places)
        EXPECT_EQ(widget->geometry(), place) << widget->metaObject()->className() << ' ' << place.x();
    for (const auto& [label, place] : std::initializer_list<std::pair<QLabel*, QPoint>>{
             {floor().Label3, {10, 10}}, {floor().Label1, {40, 85}}, {floor().Label2, {124, 85}}, {floor().LbVendas, {294, 85}}})
        EXPECT_EQ(label->pos(), place) << label->text().toStdString();
    EXPECT_TRUE(floor().ImVendas->isVisible() && floor().LbVendas->isVisible());
    EXPECT_EQ(floor().Label2->text(), QStringLiteral("Garçons\\Atendentes"));
    EXPECT_EQ(grid().panelSize(), QSize(165, 109));
    EXPECT_EQ(floor().SpeedButton1->focusPolicy(), Qt::NoFocus);

    QImage header = shot(*floor().Panel2);
    EXPECT_GT(pixelCount(header, floor().Label3->geometry(), white), 300) << "the title is white";
}

TEST_F(FloorTest, TabletLayoutFillsTheScreenWithoutSalesAndStretchesTheTiles)
{
    start({{1, 1, "L", 0}}, "-1");
    showFloor();
    ASSERT_TRUE(QTest::qWaitFor([&] { return floor().isMaximized(); })) << "the floor maximized";
    const QRect screen = floor().screen()->availableGeometry();
    ASSERT_TRUE(QTest::qWaitFor([&] { return floor().geometry() == screen; }))
        << "the floor on the whole screen";
    EXPECT_TRUE(floor().ModoTablet);
    EXPECT_FALSE(floor().ImVendas->isVisible());
    EXPECT_FALSE(floor().LbVendas->isVisible());

    const int w = screen.width();
    EXPECT_EQ(floor().Panel1->geometry(), QRect(0, 66, w, 106));
    EXPECT_EQ(floor().DBCtrlGrid1->geometry(), QRect(0, 172, w, screen.height() - 66 - 106 - 80));
    EXPECT_EQ(floor().Panel3->geometry(), QRect(0, screen.height() - 80, w, 80));
    EXPECT_EQ(floor().Image4->geometry(), QRect(w - 15 - 188, 36, 188, 45));
    EXPECT_EQ(floor().BitBtn1->geometry(), QRect(w - 16 - 112, 5, 112, 71));
    EXPECT_EQ(grid().panelSize(), QSize((w - 17) / 6, grid().height() / 4)) << "beside a 17 px scroll bar";
}

// A small tablet's screen leaves tiles lower than designed: everything in them shrinks alike,
// so the number, the picture and the running total all stay inside the tile.
TEST_F(FloorTest, LowTilesKeepTheTotalInside)
{
    start({{1, 3, "O", 101}}, "0");
    showFloor();
    floor().resize(1024, 600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid().height() == 600 - 66 - 106 - 80; }))
        << "the grid resized with the window; height: " << grid().height();
    ASSERT_LT(grid().panelSize().height(), 109);
    const QRect tile = grid().panelRect(0);
    const QRect number = grid().componentRect(*floor().LbNrMesa, 0);
    const QRect total = grid().componentRect(*floor().DBText2, 0);
    EXPECT_TRUE(tile.contains(number));
    // The total's box runs past the designed tile too; its line of text must fit.
    const double shrink = double(grid().panelSize().height()) / 109;
    EXPECT_LE(total.top() + QFontMetrics(floor().DBText2->font).height() * shrink, tile.bottom() + 1);
    EXPECT_FALSE(number.intersects(total));
}

struct FailedCreation {
    const char* name;
    const char* modo;
    bool databaseThere;
    bool modoTablet;    // what the window keeps of the flag
    QStringList errors; // the first line of each message
    friend std::ostream& operator<<(std::ostream& os, const FailedCreation& c) { return os << c.name; }
};
class CreationFailure : public FloorTest, public testing::WithParamInterface<FailedCreation> {};
TEST_P(CreationFailure, KeepsTheDesktopLayoutAndShowsNoTables)
{
    const FailedCreation& c = GetParam();
    db->execMany("insert into MESAS (CODMESA, DESCRICAO, STATUS, CODMOVIMENTO) values (?, ?, ?, ?)", {{1, 1, "L", 0}});
    db->writeSettings();
    if (!c.databaseThere)
        GravarIni("DADOS", "DIR", db->folder() + "/gone");
    GravarIni("KOVA", "MODO", c.modo);
    program = std::make_unique<Program>();
    showFloor();
    QStringList firstLines;
    for (const QString& message : errors.messages)
        firstLines << message.section('\n', 0, 0);
    if (c.databaseThere)
        EXPECT_EQ(firstLines, c.errors);
    else
        EXPECT_EQ(firstLines.size(), 2) << "the connection fails at start-up and again for the view";
    EXPECT_EQ(floor().ModoTablet, c.modoTablet);
    EXPECT_FALSE(floor().isMaximized());
    EXPECT_EQ(floor().size(), QSize(1008, 689));
    EXPECT_TRUE(floor().ImVendas->isVisible());
    EXPECT_FALSE(program->Dm.QPesqMesa.active());
    QImage shot = tiles();
    for (int index = 0; index < 24; ++index)
        EXPECT_TRUE(blank(shot, index)) << index;
    EXPECT_EQ(ini.bytes().contains("MODO=" + QByteArray(c.modo)), true) << "the file is not repaired";
}
INSTANTIATE_TEST_SUITE_P(
    Steps, CreationFailure,
    testing::Values(FailedCreation{"UnreadableTabletFlag", "yes", true, false, {"'yes' is not a valid boolean value."}},
                    FailedCreation{"ViewCannotBeOpened", "-1", false, true, {}}));

// ---- buttons --------------------------------------------------------------------------

TEST_F(FloorTest, TablesPictureAndLabelOpenTheRegisterModally)
{
    start({{1, 1, "L", 0}});
    showFloor();
    for (QWidget* entry : {static_cast<QWidget*>(floor().Image1), static_cast<QWidget*>(floor().Label1)}) {
        QWidget* shown = nullptr;
        whenModalOpens([&](QWidget& modal) {
            shown = &modal;
            modal.close();
        });
        QTest::mouseClick(entry, Qt::LeftButton);
        EXPECT_EQ(shown, &program->FPesqMesa);
    }
    EXPECT_TRUE(errors.messages.isEmpty());
}

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

TEST_F(FloorTest, LogoOpensTheMakersSite)
{
    start({{1, 1, "L", 0}});
    UrlCatcher browser;
    QDesktopServices::setUrlHandler("https", &browser, "open");
    QTest::mouseClick(floor().Image4, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("https");
    EXPECT_EQ(browser.opened, QList<QUrl>({QUrl("https://zenobra.com.br")}));
}

TEST_F(FloorTest, OtherToolbarEntriesDoNothing)
{
    start({{1, 1, "L", 0}});
    showFloor();
    // A window opened by a click would be found, and closed, from inside its exec().
    QObject clicking;
    const auto modalsSeen = closeEveryModal(&clicking);
    for (QWidget* entry : {floor().Image2, floor().Label2, floor().LbVendas, floor().Label3})
        QTest::mouseClick(entry, Qt::LeftButton);
    EXPECT_EQ(*modalsSeen, 0);
    EXPECT_TRUE(floor().isVisible());
}

TEST_F(FloorTest, VendasStartsTheSalesProgramWithoutArgumentsAndWithoutWaiting)
{
    FakeCaixa caixa("pasta do caixa");
    DefinePastaDoPrograma(caixa.folder());
    start({{1, 1, "L", 0}});
    showFloor();
    QTest::mouseClick(floor().ImVendas, Qt::LeftButton);
    // It runs until released: had the click waited for it, the program would have ended.
    EXPECT_FALSE(caixa.ended()) << "nothing waits for the sales program";
    ASSERT_TRUE(QTest::qWaitFor([&] { return caixa.runs() == 1; })) << "the sales program started once; runs: " << caixa.runs();
    EXPECT_TRUE(caixa.arguments().isEmpty());
    caixa.release();

    DefinePastaDoPrograma(programFolderWithoutCaixa.path());
    QTest::mouseClick(floor().ImVendas, Qt::LeftButton); // absent: nothing happens
    EXPECT_TRUE(errors.messages.isEmpty());
    DefinePastaDoPrograma(QString());
}

TEST_F(FloorTest, TouchingAFreeTableMakesItCurrentAndAsksBeforeOpeningIt)
{
    start({{1, 1, "L", 0}, {2, 2, "L", 0}});
    showFloor();
    QString asked;
    whenModalOpens([&](QWidget& modal) {
        asked = modal.findChild<QTextEdit*>("MemoDesc")->toPlainText();
        click(modal, "BitBtn2"); // "Não"
    });
    QTest::mousePress(&grid(), Qt::LeftButton, {}, grid().panelRect(1).center());
    EXPECT_EQ(asked, "Mesa livre, Abrir Nova Comanda?");
    EXPECT_EQ(program->Dm.QPesqMesa.fieldByName("DESCRICAO").asInteger(), 2);
    EXPECT_EQ(db->value("select count(*) from MESAS where STATUS = 'L'"), 2LL) << "no answer but yes opens nothing";
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(FloorTest, SairClosesTheWindowWithoutAsking)
{
    start({{1, 1, "L", 0}});
    showFloor();
    QTest::mouseClick(floor().BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(floor().isVisible());
    EXPECT_TRUE(errors.messages.isEmpty());
}

} // namespace

#include "PrincipalTest.moc"
