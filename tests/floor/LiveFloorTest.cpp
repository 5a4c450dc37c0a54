// The live floor: another terminal (here, the test's own connection) changes tables and order
// lines, and this terminal's floor follows with nobody touching it; through the loopback
// server and on the embedded engine.

#include "app/Program.h"
#include "base/ProgramaIrmao.h"
#include "support/ErrorLog.h"
#include "support/StatementLog.h"
#include "support/TcpProxy.h"
#include "support/TempIni.h"
#include "support/TestDatabase.h"
#include "support/Waiter.h"
#include "ui/DbCtrlGrid.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

#include <optional>

namespace {

using Access = TestDatabase::Access;

class LiveFloor : public testing::TestWithParam<Access> {
protected:
    void SetUp() override
    {
        if (GetParam() == Access::Server && !TestDatabase::serverAvailable())
            GTEST_SKIP() << "no loopback Firebird server (scripts/test starts one)";
        db = TestDatabase::copyOf("sample", GetParam());
        db->writeSettings(address());
        DefinePastaDoPrograma(programFolder.path());
        program.emplace();
        log.emplace(program->Dm.Db);
        floor().show();
        program->FMensagem.Timer1->setInterval(10);
    }
    void TearDown() override
    {
        log.reset();
        program.reset();
        DefinePastaDoPrograma(QString());
    }
    virtual QString address() { return {}; }

    TFPRincipal& floor() { return program->FPRincipal; }
    zk::Query& view() { return program->Dm.QPesqMesa; }
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

    TempIni ini;
    ErrorLog errors;
    QTemporaryDir programFolder;
    std::unique_ptr<TestDatabase> db;
    std::optional<Program> program;
    std::optional<StatementLog> log;
};

TEST_P(LiveFloor, AnotherTerminalsChangesShowWithNoTouchHere)
{
    elsewhere("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 1");
    QTRY_COMPARE(shown(1, "STATUS"), "O");
    EXPECT_TRUE(floor().DBCtrlGrid1->isVisible());

    const double before = shown(3, "TOTAL").toDouble();
    elsewhere("insert into ITENSMOVIMENTOPROD (CODITEMMOVIMENTO, CODMOVIMENTO, CODUNIDADE, CODPRODUTO, QTD, VALOR) "
              "values (0, 101, 1, 1001, 2, 10)");
    QTRY_COMPARE(shown(3, "TOTAL").toDouble(), before + 20);

    elsewhere("update MESAS set STATUS = 'L', CODMOVIMENTO = 0 where DESCRICAO = 8");
    QTRY_COMPARE(shown(8, "STATUS"), "L");
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
    QTRY_COMPARE(floorReads(), reads + 1);
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
    QTRY_COMPARE(shown(1, "CODMOVIMENTO"), 50);
    EXPECT_LE(floorReads() - reads, 5);
    EXPECT_FALSE(program->Dm.PisoDesatualizado()) << "the last change was read";
}

// Under the question of a free table the floor is not read; once the question is answered
// "Não" it is read once.
TEST_P(LiveFloor, WaitsUnderTheQuestionThenReadsOnce)
{
    const int reads = floorReads();
    whenModalOpens([&](QWidget& question) {
        elsewhere("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 2");
        QTRY_VERIFY(program->Dm.PisoDesatualizado());
        EXPECT_EQ(floorReads(), reads) << "nothing read under the question";
        click(question, "BitBtn2");
    });
    waiter::touchRecord(*floor().DBCtrlGrid1, "DESCRICAO", 1);
    QTRY_COMPARE(floorReads(), reads + 1);
    EXPECT_FALSE(program->Dm.PisoDesatualizado());
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
        QTRY_VERIFY(program->Dm.PisoDesatualizado());
        readsUnderTicket = floorReads() - reads;
        program->FComanda.BtnSair->click();
    });
    waiter::touchRecord(*floor().DBCtrlGrid1, "DESCRICAO", 3);
    EXPECT_EQ(readsUnderTicket, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(floorReads() - reads, 1) << "the ticket's closing read it; nothing more";
    EXPECT_FALSE(program->Dm.PisoDesatualizado());
    EXPECT_EQ(shown(2, "STATUS"), "O");
}

INSTANTIATE_TEST_SUITE_P(Access, LiveFloor, testing::Values(Access::Embedded, Access::Server),
                         [](const auto& info) { return info.param == Access::Embedded ? "Embedded" : "Server"; });

// A database without db/live-floor.sql: the floor is read at its usual moments only, with the
// same statements as ever.
class WithoutTheTriggers : public LiveFloor {
protected:
    void SetUp() override
    {
        if (!TestDatabase::serverAvailable())
            GTEST_SKIP() << "no loopback Firebird server (scripts/test starts one)";
        db = TestDatabase::copyOf("sample", Access::Server);
        db->exec("drop trigger ZENOBRA_MESAS_AIUD");
        db->exec("drop trigger ZENOBRA_ITENS_AIUD");
        db->writeSettings();
        DefinePastaDoPrograma(programFolder.path());
        program.emplace();
        log.emplace(program->Dm.Db);
        floor().show();
    }
};

TEST_F(WithoutTheTriggers, TheFloorIsReadAtItsUsualMomentsOnly)
{
    elsewhere("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 1");
    QTest::qWait(300); // a posting would have arrived by now
    EXPECT_TRUE(log->entries.empty());
    EXPECT_EQ(shown(1, "STATUS"), "L") << "a snapshot, as ever";

    whenModalOpens([&](QWidget&) { program->FComanda.BtnSair->click(); });
    waiter::touchRecord(*floor().DBCtrlGrid1, "DESCRICAO", 3);
    // The table and its order checked; the order, its lines, totals and item view; the
    // catalogue and the groups at the first showing; the item view again as the ticket shows;
    // the floor as it closes.
    EXPECT_EQ(log->summary(), QStringList({"SELECT m.STATUS, m.CODMOVIMENTO, v.SITUACAO FROM MESAS m LEFT JOIN "
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
    QString address() override
    {
        proxy = std::make_unique<TcpProxy>(qEnvironmentVariable("ZENOBRA_TEST_FB_SERVER"));
        return proxy->address();
    }
    std::unique_ptr<TcpProxy> proxy;
};

TEST_P(LiveFloorAfterACut, FollowsTheFloorAgain)
{
    proxy->cut();
    waiter::touchRecord(*floor().DBCtrlGrid1, "DESCRICAO", 3);
    ASSERT_EQ(errors.messages.size(), 1);
    errors.messages.clear();
    proxy->restore();
    whenModalOpens([&](QWidget&) { program->FComanda.BtnSair->click(); });
    waiter::touchRecord(*floor().DBCtrlGrid1, "DESCRICAO", 3); // connects again

    elsewhere("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 1");
    QTRY_COMPARE(shown(1, "STATUS"), "O");
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Server, LiveFloorAfterACut, testing::Values(Access::Server));

} // namespace
