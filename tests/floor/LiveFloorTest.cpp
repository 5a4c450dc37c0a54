// The live floor: another terminal (here, the test's own connection) changes tables and order
// lines, and this terminal's floor follows with nobody touching it; through the loopback
// server and on the embedded engine.

#include "support/Modal.h"
#include "support/SampleProgram.h"
#include "support/Services.h"
#include "ui/DbCtrlGrid.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

namespace {

using Access = TestDatabase::Access;

class LiveFloor : public testing::TestWithParam<Access>, protected SampleProgram {
protected:
    LiveFloor() : LiveFloor(GetParam()) {}
    explicit LiveFloor(Access access) : SampleProgram(access) {}
    void SetUp() override
    {
        if (GetParam() == Access::Server)
            ZK_REQUIRE_SERVER();
        start();
        showFloor();
    }

    zk::Query& view() { return dm().QPesqMesa; }
    // The floor's row of table `numero`, as this terminal shows it.
    QVariant shown(int numero, const char* field)
    {
        for (int recNo = 0; recNo < view().recordCount(); ++recNo) {
            zk::Query::ShowRow row(view(), recNo);
            if (view().fieldByName("DESCRICAO").asInteger() == numero)
                return view().fieldByName(field).value();
        }
        return QStringLiteral("<not on the floor>");
    }
    int floorReads() { return int(log->starting("SELECT * FROM SPMESAS").size()); }
    // Another terminal's change, committed.
    void elsewhere(const QString& sql) { db->exec(sql); }
};

TEST_P(LiveFloor, AnotherTerminalsChangesShowWithNoTouchHere)
{
    elsewhere("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown(1, "STATUS") == "O"; }))
        << "table 1 shown occupied; shown: " << testing::PrintToString(shown(1, "STATUS"));
    EXPECT_TRUE(floor().DBCtrlGrid1->isVisible());

    const double before = shown(3, "TOTAL").toDouble();
    elsewhere("insert into ITENSMOVIMENTOPROD (CODITEMMOVIMENTO, CODMOVIMENTO, CODUNIDADE, CODPRODUTO, QTD, VALOR) "
              "values (0, 101, 1, 1001, 2, 10)");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown(3, "TOTAL").toDouble() == before + 20; }))
        << "table 3's total up by 20 from " << before << "; shown: " << testing::PrintToString(shown(3, "TOTAL"));

    elsewhere("update MESAS set STATUS = 'L', CODMOVIMENTO = 0 where DESCRICAO = 8");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown(8, "STATUS") == "L"; }))
        << "table 8 shown free; shown: " << testing::PrintToString(shown(8, "STATUS"));
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

// A waiter scrolling the floor stays on the table and the page they were on.
TEST_P(LiveFloor, KeepsTheCurrentTableAndThePageShown)
{
    zk::DbCtrlGrid& grid = *floor().DBCtrlGrid1;
    view().last(); // table 30, on the floor's second page
    const int top = grid.topRecord();
    ASSERT_GT(top, 0);
    const int reads = floorReads();
    elsewhere("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 29");
    ASSERT_TRUE(QTest::qWaitFor([&] { return floorReads() == reads + 1; }))
        << "one read of the floor; reads: " << floorReads() - reads;
    EXPECT_EQ(view().fieldByName("DESCRICAO").asInteger(), 30);
    EXPECT_EQ(grid.topRecord(), top);
    EXPECT_EQ(shown(29, "STATUS"), "O");
}

// Fifty changes in a burst: the floor follows them all with a few reads, not fifty.
TEST_P(LiveFloor, ABurstOfChangesIsReadAFewTimes)
{
    const int reads = floorReads();
    for (int i = 1; i <= 50; ++i)
        elsewhere(QStringLiteral("update MESAS set CODMOVIMENTO = %1 where DESCRICAO = 1").arg(i));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown(1, "CODMOVIMENTO") == 50; }))
        << "the last change shown; shown: " << testing::PrintToString(shown(1, "CODMOVIMENTO"));
    EXPECT_LE(floorReads() - reads, 5);
    EXPECT_FALSE(dm().PisoDesatualizado()) << "the last change was read";
}

// Under the question of a free table the floor is not read; once the question is answered
// "Não" it is read once.
TEST_P(LiveFloor, WaitsUnderTheQuestionThenReadsOnce)
{
    const int reads = floorReads();
    whenModalOpens([&](QWidget& question) {
        elsewhere("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 2");
        EXPECT_TRUE(QTest::qWaitFor([&] { return dm().PisoDesatualizado(); })) << "the change noticed under the question";
        EXPECT_EQ(floorReads(), reads) << "nothing read under the question";
        click(question, "BitBtn2");
    });
    touchTable(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return floorReads() == reads + 1; }))
        << "one read once the question is answered; reads: " << floorReads() - reads;
    EXPECT_FALSE(dm().PisoDesatualizado());
    EXPECT_EQ(shown(2, "STATUS"), "O");
}

// Under the ticket the floor is not read; the ticket reads it as it closes, and that is all.
TEST_P(LiveFloor, WaitsUnderTheTicketWhoseClosingReadsIt)
{
    int readsUnderTicket = -1;
    int reads = 0;
    whenModalOpens([&](QWidget&) {
        reads = floorReads();
        elsewhere("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 2");
        EXPECT_TRUE(QTest::qWaitFor([&] { return dm().PisoDesatualizado(); })) << "the change noticed under the ticket";
        readsUnderTicket = floorReads() - reads;
        ticket().BtnSair->click();
    });
    touchTable(3);
    EXPECT_EQ(readsUnderTicket, 0);
    // Long past the coalescing interval, so a read the floor's timer issues late would be counted.
    QTest::qWait(10 * TFPRincipal::IntervaloDoPisoVivo);
    EXPECT_EQ(floorReads() - reads, 1) << "the ticket's closing read it; nothing more";
    EXPECT_FALSE(dm().PisoDesatualizado());
    EXPECT_EQ(shown(2, "STATUS"), "O");
}

INSTANTIATE_TEST_SUITE_P(Access, LiveFloor, testing::Values(Access::Embedded, Access::Server),
                         [](const auto& info) { return info.param == Access::Embedded ? "Embedded" : "Server"; });

// A database without db/live-floor.sql: the floor is read at its usual moments only, with the
// same statements as ever.
class WithoutTheTriggers : public LiveFloor {
protected:
    WithoutTheTriggers() : LiveFloor(Access::Server) {}
    void SetUp() override
    {
        ZK_REQUIRE_SERVER();
        withoutLiveFloor();
        start();
        showFloor();
    }
};

TEST_F(WithoutTheTriggers, TheFloorIsReadAtItsUsualMomentsOnly)
{
    // The test's own connection watches the floor's event too, and one it posts itself after
    // the change: once that one is back, a posting of the change would be back as well.
    int postings = 0;
    bool barrierBack = false;
    auto floorEvent = db->watch("ZENOBRA_MESAS", [&] { ++postings; });
    auto barrier = db->watch("ZENOBRA_TESTE_BARREIRA", [&] { barrierBack = true; });
    elsewhere("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 1");
    elsewhere("execute block as begin post_event 'ZENOBRA_TESTE_BARREIRA'; end");
    ASSERT_TRUE(QTest::qWaitFor([&] { return barrierBack; })) << "the barrier's event back";
    EXPECT_EQ(postings, 0) << "the change posted nothing";
    EXPECT_TRUE(log->entries.empty());
    EXPECT_EQ(shown(1, "STATUS"), "L") << "a snapshot, as ever";

    whenModalOpens([&](QWidget&) { ticket().BtnSair->click(); });
    touchTable(3);
    // The table and its order checked; the order, its lines, totals and item view; the
    // catalogue and the groups at the first showing; the item view again as the ticket shows;
    // the floor as it closes.
    EXPECT_EQ(log->summary(), QStringList({"SELECT m.STATUS, m.CODMOVIMENTO, v.CODMOVIMENTO, v.SITUACAO FROM MESAS m LEFT JOIN "
                                           "MOVIMENTOSPRODUTOS v ON v.CODMOVIMENTO = m.CODMOVIMENTO WHERE m.CODMESA = "
                                           ":CODMESA",
                                           "SELECT * FROM MOVIMENTOSPRODUTOS", "select * from ITENSMOVIMENTOPROD",
                                           "SELECT * FROM TOTALMOV(:CODMOVIMENTO)",
                                           "SELECT * FROM SPITENSMOV(:CODMOVIMENTO)",
                                           "SELECT * FROM SPPRODUTOSPORTIPO('%','DE')", "select * from grupo",
                                           "SELECT * FROM SPITENSMOV(:CODMOVIMENTO)", "SELECT * FROM SPMESAS"}));
    EXPECT_EQ(shown(1, "STATUS"), "O") << "read when the ticket closed";
}

// The watch comes back with the connection: a terminal whose network dropped follows the
// floor again once it has reconnected.
class LiveFloorAfterACut : public LiveFloor {
protected:
    void SetUp() override
    {
        ZK_REQUIRE_SERVER();
        throughAProxy();
        LiveFloor::SetUp();
    }
};

TEST_P(LiveFloorAfterACut, FollowsTheFloorAgain)
{
    proxy->cut();
    touchTable(3);
    ASSERT_EQ(errors.messages.size(), 1);
    errors.messages.clear();
    proxy->restore();
    whenModalOpens([&](QWidget&) { ticket().BtnSair->click(); });
    touchTable(3); // connects again

    elsewhere("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown(1, "STATUS") == "O"; }))
        << "table 1 shown occupied after the reconnect; shown: " << testing::PrintToString(shown(1, "STATUS"));
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Server, LiveFloorAfterACut, testing::Values(Access::Server));

} // namespace
