// The live floor merging what changed: other terminals (attachments of the test's own) change
// tables and order lines, and this terminal's floor, merged table by table, must hold what a
// whole read of SPMESAS gives, row by row; whatever cannot be merged is read whole.

#include "support/SampleProgram.h"
#include "support/Services.h"
#include "ui/DbCtrlGrid.h"

#include "data/fb/Statement.h"
#include "support/LiveFloorOfBefore.h"
#include "support/Modal.h"

#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QProcess>
#include <QTest>

#include <random>

namespace {

using Access = TestDatabase::Access;

// Another terminal: a connection of its own whose every change is committed at once.
class OtherTerminal {
public:
    explicit OtherTerminal(const TestDatabase& db) { db.connect(connection_); }
    void exec(const QString& sql, const QVariantList& params = {})
    {
        changes_.ensureStarted();
        zk::fb::Statement(changes_, sql).execute(changes_, params);
        changes_.commitRetaining();
    }
    // The change made and left uncommitted: another terminal in the middle of its save.
    void begin(const QString& sql)
    {
        changes_.ensureStarted();
        zk::fb::Statement(changes_, sql).execute(changes_, {});
    }
    void commit() { changes_.commitRetaining(); }

private:
    zk::fb::Attachment connection_;
    zk::fb::Transaction changes_{connection_, QStringLiteral("OTHER")};
};

// This terminal's floor on screen, and two other terminals.
class FloorAndOthers : protected SampleProgram {
protected:
    explicit FloorAndOthers(Access access) : SampleProgram(access) {}
    void startTerminals()
    {
        start();
        showFloor();
        others.push_back(std::make_unique<OtherTerminal>(*db));
        others.push_back(std::make_unique<OtherTerminal>(*db));
        // The first event after a connection reads whole and learns the sequence.
        others[0]->exec("update MESAS set STATUS = STATUS where DESCRICAO = 1");
        waitForTheFloor();
    }

    zk::Query& view() { return dm().QPesqMesa; }
    qint64 lastChange() { return db->value("select coalesce(max(SEQUENCIA), 0) from MESASALTERADAS").toLongLong(); }
    int wholeReads() { return int(log->starting("SELECT * FROM SPMESAS").size()); }
    int merges() { return int(log->starting("SELECT * FROM SPALTERACOESMESAS").size()); }

    // Until the floor has been brought up to the last change committed.
    void waitForTheFloor()
    {
        const qint64 last = lastChange();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return !dm().PisoDesatualizado() && dm().PisoAlterado.Sequencia() == std::optional(last); }, 10000))
            << "the floor brought up to change " << last << "; it is at "
            << dm().PisoAlterado.Sequencia().value_or(-1);
    }

    // The floor, row by row, as a fresh whole read gives it.
    void expectAsAWholeRead(const std::string& after)
    {
        const QList<QVariantList> fresh =
            db->rows("SELECT CODMESA, STATUS, TOTAL, DESCRICAO, CODMOVIMENTO FROM SPMESAS ORDER BY DESCRICAO");
        ASSERT_EQ(view().recordCount(), fresh.size()) << after;
        const char* columns[] = {"CODMESA", "STATUS", "TOTAL", "DESCRICAO", "CODMOVIMENTO"};
        for (int recNo = 0; recNo < view().recordCount(); ++recNo) {
            zk::Query::ShowRow row(view(), recNo);
            for (int c = 0; c < 5; ++c) {
                const QVariant shown = view().fieldByName(columns[c]).value();
                const QVariant server = fresh[recNo][c];
                if (c == 2 && !shown.isNull() && !server.isNull()) // a sum of the same lines, maybe in another order
                    EXPECT_NEAR(shown.toDouble(), server.toDouble(), 1e-9) << after << ", row " << recNo;
                else
                    EXPECT_EQ(shown.isNull() ? QString("<null>") : shown.toString(),
                              server.isNull() ? QString("<null>") : server.toString())
                        << after << ", row " << recNo << ", " << columns[c];
            }
        }
    }

    std::vector<std::unique_ptr<OtherTerminal>> others;
};

class MergedFloor : public testing::TestWithParam<Access>, protected FloorAndOthers {
protected:
    MergedFloor() : FloorAndOthers(GetParam()) {}
    void SetUp() override
    {
        if (GetParam() == Access::Server)
            ZK_REQUIRE_SERVER();
        startTerminals();
    }
};

// The changes a house sees, at random tables, from two other terminals; after each burst the
// merged floor is compared with a whole read.
TEST_P(MergedFloor, EqualsAWholeReadAfterEveryBurstOfChanges)
{
    const unsigned seed = std::random_device()();
    std::mt19937 random(seed);
    auto pick = [&](const QString& sql) {
        const QList<QVariantList> rows = db->rows(sql);
        return rows.isEmpty() ? QVariant() : rows[int(random() % rows.size())][0];
    };
    const int bursts = 25;
    for (int burst = 0; burst < bursts; ++burst) {
        const int readsBefore = wholeReads();
        QStringList done;
        bool tablesChanged = false; // added, removed or renumbered: the floor is read whole
        const int size = 1 + int(random() % 6);
        for (int i = 0; i < size; ++i) {
            OtherTerminal& other = *others[random() % others.size()];
            const int kind = int(random() % 100);
            const QVariant free = pick("select CODMESA from MESAS where STATUS = 'L'");
            const QVariant order = pick("select CODMOVIMENTO from MESAS where STATUS = 'O' and CODMOVIMENTO > 0");
            if (kind < 20 && !free.isNull()) {
                const int mov = db->value("select gen_id(GEN_MOVIMENTOSPRODUTOS, 1) from RDB$DATABASE").toInt();
                other.exec("insert into MOVIMENTOSPRODUTOS (CODMOVIMENTO, CODFILIAL, TIPO, SITUACAO) values (?, 1, 'VE', 'A')",
                           {mov});
                other.exec("update MESAS set STATUS = 'O', CODMOVIMENTO = ? where CODMESA = ?", {mov, free});
                done << "open " + free.toString();
            } else if (kind < 55 && !order.isNull()) {
                other.exec("insert into ITENSMOVIMENTOPROD (CODITEMMOVIMENTO, CODMOVIMENTO, CODUNIDADE, CODPRODUTO, QTD, "
                           "VALOR) values (next value for GEN_ITENSMOVIMENTOPROD, ?, 1, 1001, ?, ?)",
                           {order, 1 + int(random() % 3), 0.5 * double(1 + random() % 40)});
                done << "line on " + order.toString();
            } else if (kind < 65 && !order.isNull()) {
                other.exec("delete from ITENSMOVIMENTOPROD where CODITEMMOVIMENTO = (select first 1 CODITEMMOVIMENTO "
                           "from ITENSMOVIMENTOPROD where CODMOVIMENTO = ?)",
                           {order});
                done << "line off " + order.toString();
            } else if (kind < 75 && !order.isNull()) {
                other.exec("update MESAS set STATUS = 'L', CODMOVIMENTO = 0 where CODMOVIMENTO = ?", {order});
                done << "free " + order.toString();
            } else if (kind < 85 && !order.isNull()) { // billing: the lines settled, a discount, the order closed
                other.exec("update ITENSMOVIMENTOPROD set BAIXADO = 'S', VALOR = VALOR * 0.9 where CODMOVIMENTO = ?",
                           {order});
                other.exec("update MOVIMENTOSPRODUTOS set SITUACAO = 'F' where CODMOVIMENTO = ?", {order});
                done << "billed " + order.toString();
            } else if (kind < 92) {
                const QVariant mesa = pick("select CODMESA from MESAS");
                other.exec("update MESAS set DESCRICAO = (select max(DESCRICAO) + 1 from MESAS) where CODMESA = ?", {mesa});
                done << "renumber " + mesa.toString();
                tablesChanged = true;
            } else if (kind < 97) {
                other.exec("insert into MESAS (CODMESA, DESCRICAO, STATUS) select 0, max(DESCRICAO) + 1, 'L' from MESAS");
                done << "new table";
                tablesChanged = true;
            } else {
                const QVariant mesa = pick("select CODMESA from MESAS where STATUS = 'L'");
                other.exec("delete from MESAS where CODMESA = ?", {mesa});
                done << "table removed " + mesa.toString();
                tablesChanged = true;
            }
        }
        const std::string what = "burst " + std::to_string(burst) + " (" + done.join(", ").toStdString() +
                                 "), seed " + std::to_string(seed);
        waitForTheFloor();
        expectAsAWholeRead(what);
        if (!tablesChanged) {
            EXPECT_EQ(wholeReads(), readsBefore) << what << ": merged, not read whole";
        }
        if (HasFailure())
            return;
    }
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Access, MergedFloor, testing::Values(Access::Embedded, Access::Server),
                         [](const auto& info) { return info.param == Access::Embedded ? "Embedded" : "Server"; });

// What cannot be merged is read whole, once; the changes after it merge again.
struct Fallback {
    const char* name;
    QStringList change; // by another terminal, each statement committed
};

class MergedFloorFallback : public testing::TestWithParam<Fallback>, protected FloorAndOthers {
protected:
    MergedFloorFallback() : FloorAndOthers(Access::Server) {}
    void SetUp() override
    {
        ZK_REQUIRE_SERVER();
        startTerminals();
    }
};

TEST_P(MergedFloorFallback, ReadsWholeOnceThenMergesAgain)
{
    const int reads = wholeReads();
    for (const QString& statement : GetParam().change)
        others[0]->exec(statement);
    waitForTheFloor();
    EXPECT_EQ(wholeReads(), reads + 1);
    expectAsAWholeRead("after the change");

    others[1]->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 6");
    waitForTheFloor();
    EXPECT_EQ(wholeReads(), reads + 1) << "merged";
    expectAsAWholeRead("after a change merged");
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MergedFloorFallback,
    testing::Values(Fallback{"TableAdded", {"insert into MESAS (CODMESA, DESCRICAO, STATUS) values (0, 99, 'L')"}},
                    Fallback{"TableRenumbered", {"update MESAS set DESCRICAO = 99 where DESCRICAO = 2"}},
                    Fallback{"TableRemoved", {"delete from MESAS where DESCRICAO = 4"}},
                    // The database restored from an older backup: every sequence behind this floor's.
                    Fallback{"SequenceBackwards",
                             {"update MESASALTERADAS set SEQUENCIA = 1", "alter sequence GEN_MESASALTERADAS restart with 1",
                              "update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 5"}}),
    [](const auto& info) { return std::string(info.param.name); });

class MergedFloorOnTheServer : public testing::Test, protected FloorAndOthers {
protected:
    MergedFloorOnTheServer() : FloorAndOthers(Access::Server) {}
    void SetUp() override
    {
        ZK_REQUIRE_SERVER();
        startTerminals();
    }
};

// A change still being written when a committed one is read: never passed over. The floor is
// read whole while it is written, and merges it once it is committed.
TEST_F(MergedFloorOnTheServer, AChangeBeingWrittenIsNotPassedOver)
{
    others[1]->begin("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 7");
    others[0]->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 101 where DESCRICAO = 8");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dm().PisoDesatualizado() && merges() > 0; }, 10000));
    others[1]->commit();
    waitForTheFloor();
    expectAsAWholeRead("after the change being written was committed");
}

// The window itself: a merge repaints only the tiles of the tables it changed, and the waiter
// stays on their table and page.
TEST_F(MergedFloorOnTheServer, RepaintsOnlyTheChangedTilesKeepingTheTableAndPage)
{
    zk::DbCtrlGrid& grid = *floor().DBCtrlGrid1;
    view().last(); // table 30, on the floor's second page
    const int top = grid.topRecord();
    ASSERT_GT(top, 0);
    QCoreApplication::processEvents();

    struct Painted : QObject {
        QRegion region;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                region += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } painted;
    grid.installEventFilter(&painted);
    const int reads = wholeReads();
    others[0]->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 29");
    others[0]->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 101 where DESCRICAO = 2"); // not on this page
    waitForTheFloor();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !painted.region.isEmpty(); }, 5000)) << "the changed tile repainted";
    QCoreApplication::processEvents();

    EXPECT_EQ(wholeReads(), reads) << "merged";
    EXPECT_EQ(view().fieldByName("DESCRICAO").asInteger(), 30);
    EXPECT_EQ(grid.topRecord(), top);
    EXPECT_EQ(painted.region, QRegion(grid.panelRect(28 - top))) << "table 29's tile alone";
    expectAsAWholeRead("after the merge");
}

// A connection lost and made again: events may have been lost with it, so the first one
// on the new connection reads the floor whole, and merging starts again from there.
class MergedFloorAfterACut : public testing::Test, protected FloorAndOthers {
protected:
    MergedFloorAfterACut() : FloorAndOthers(Access::Server) {}
    void SetUp() override
    {
        ZK_REQUIRE_SERVER();
        throughAProxy();
        startTerminals();
    }
};

TEST_F(MergedFloorAfterACut, TheFirstEventOnTheNewConnectionReadsWhole)
{
    others[0]->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 2");
    waitForTheFloor();
    proxy->cut();
    touchTable(3);
    ASSERT_EQ(errors.messages.size(), 1);
    errors.messages.clear();
    proxy->restore();
    whenModalOpens([&](QWidget&) { ticket().BtnSair->click(); });
    touchTable(3); // connects again

    const int reads = wholeReads();
    others[0]->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 101 where DESCRICAO = 5");
    waitForTheFloor();
    EXPECT_EQ(wholeReads(), reads + 1);
    expectAsAWholeRead("after the first event on the new connection");
    others[0]->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 102 where DESCRICAO = 6");
    waitForTheFloor();
    EXPECT_EQ(wholeReads(), reads + 1) << "merged again";
    expectAsAWholeRead("after the second");
}

// This terminal and the other one, on a house with the live floor of before (its events only).
class HouseOfBefore : public testing::Test, protected FloorAndOthers {
protected:
    HouseOfBefore() : FloorAndOthers(Access::Server) {}
    void SetUp() override
    {
        ZK_REQUIRE_SERVER();
        liveFloorOfBefore([&](const QString& sql) { db->exec(sql); });
        start();
        showFloor();
        others.push_back(std::make_unique<OtherTerminal>(*db));
    }
    // Another terminal's change, and this floor read whole for it: nothing else sent.
    void changeReadWhole(int numero)
    {
        log->clear();
        others[0]->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = ?", {numero});
        ASSERT_TRUE(QTest::qWaitFor([&] { return !log->entries.empty() && !dm().PisoDesatualizado(); }, 10000));
        EXPECT_EQ(log->summary(), QStringList({"SELECT * FROM SPMESAS"}));
        expectAsAWholeRead("after table " + std::to_string(numero));
    }
};

// Without the procedures, each event reads the floor whole with the same statement as ever,
// and nothing else is sent.
TEST_F(HouseOfBefore, EveryEventReadsTheWholeFloorAsBefore)
{
    for (int numero : {1, 2, 3})
        changeReadWhole(numero);
}

// The administrator applies the script while the terminal runs: it applies, and the floor
// goes on following every change.
TEST_F(HouseOfBefore, TheScriptAppliesWhileTheTerminalRuns)
{
    changeReadWhole(1);
    QProcess isql;
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(ZK_ISQL, {"-q", "-user", "SYSDBA", "-password", TestDatabase::serverPassword(), "-i", ZK_LIVE_FLOOR_SQL,
                         db->connectionName()});
    ASSERT_TRUE(isql.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(isql.readAll());
    EXPECT_EQ(isql.exitCode(), 0) << output.toStdString();
    EXPECT_FALSE(output.contains("failed", Qt::CaseInsensitive)) << output.toStdString();
    changeReadWhole(2); // the procedures are looked for again a while later
    EXPECT_GT(db->value("select count(*) from MESASALTERADAS").toInt(), 0) << "the change marked its table";
}

} // namespace
