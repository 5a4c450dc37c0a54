// Two terminals on one server: this one (the program, driven through its windows) acts on
// what it last read, the other (a second data module, or the back office's own statements)
// changed it meanwhile. No order is left without its table, no line goes into a closed
// order, no renumbering is lost.

#include "base/Erros.h"
#include "data/Atendimento.h"
#include "support/MessageLog.h"
#include "support/Modal.h"
#include "support/SampleProgram.h"
#include "support/Services.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>

#include <optional>

namespace {

using atendimento::Resultado;
using atendimento::TextoDe;

constexpr int mesa3 = 23, order3 = 101; // table 3 of the sample and its open order

// The fixture's members are public: the tables of actions below use them.
class StaleTerminal : public testing::Test, public SampleProgram {
public:
    StaleTerminal() : SampleProgram(Access::Server) {}
    void SetUp() override
    {
        ZK_REQUIRE_SERVER();
        withoutLiveFloor(); // this terminal's floor stays as it last read it
        mesa12 = db->value("select CODMESA from MESAS where DESCRICAO = 12").toInt();
        start();
        messages.emplace();
        showFloor();
        other.emplace();
    }

    // The back office bills an order: it is closed.
    void billed(int codMovimento) { db->exec("update MOVIMENTOSPRODUTOS set SITUACAO = 'F' where CODMOVIMENTO = ?", {codMovimento}); }
    void expectNoOrphans() { EXPECT_EQ(tablesWithoutTheirOrder(), 0); }

    int mesa12 = 0; // table 12's key
    std::optional<MessageLog> messages;
    std::optional<TDm> other; // the other terminal
};

// "Liberar Mesa" on a ticket whose table was billed and opened again at the other terminal:
// the other terminal's order keeps its table.
TEST_F(StaleTerminal, FreeingFromAStaleTicketFreesNobodysOrder)
{
    int reopened = 0;
    inTicket(3, [&] {
        billed(order3);
        db->exec("update MESAS set STATUS = 'L', CODMOVIMENTO = 0 where CODMESA = ?", {mesa3});
        ASSERT_EQ(atendimento::AbreMesaLivre(*other, {mesa3, "L", 0}), Resultado::Feito);
        reopened = table(3).value(1).toInt();
        whenModalOpens([](QWidget& box) { answerBox(box, QMessageBox::Yes); });
        ticket().BtnLiberarMesa->click();
        EXPECT_FALSE(ticket().isVisible()) << "the stale ticket closes";
    });
    EXPECT_EQ(messages->messages, QStringList{TextoDe(Resultado::MesaAlterada)});
    EXPECT_EQ(table(3), (QVariantList{"O", reopened}));
    ASSERT_TRUE(dm().QPesqMesa.locate("DESCRICAO", 3));
    EXPECT_EQ(dm().QPesqMesa.fieldByName("CODMOVIMENTO").asInteger(), reopened) << "the floor was read again";
    expectNoOrphans();
}

struct StaleTile {
    const char* name;
    bool tableFreed; // the back office freed the table too, not only billed its order
    Resultado told;
    friend std::ostream& operator<<(std::ostream& os, const StaleTile& c) { return os << c.name; }
};

class StaleRedTile : public StaleTerminal, public testing::WithParamInterface<StaleTile> {};

// The floor still shows table 3 occupied; its order was billed meanwhile: no ticket opens on a
// closed order, so no line can go into it.
TEST_P(StaleRedTile, OpensNoClosedOrder)
{
    billed(order3);
    if (GetParam().tableFreed)
        db->exec("update MESAS set STATUS = 'L', CODMOVIMENTO = 0 where CODMESA = ?", {mesa3});
    touchTable(3);
    EXPECT_FALSE(ticket().isVisible());
    EXPECT_EQ(messages->messages, QStringList{TextoDe(GetParam().told)});
    ASSERT_TRUE(dm().QPesqMesa.locate("DESCRICAO", 3));
    EXPECT_EQ(dm().QPesqMesa.fieldByName("STATUS").asString(), GetParam().tableFreed ? "L" : "O")
        << "the floor was read again";
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Races, StaleRedTile,
                         testing::Values(StaleTile{"OrderBilled", false, Resultado::ComandaFechada},
                                         StaleTile{"OrderBilledAndTableFreed", true, Resultado::MesaAlterada}),
                         [](const auto& info) { return std::string(info.param.name); });

// The order was billed while its ticket stayed open here: neither a new line nor a deletion
// reaches it, and the ticket closes.
TEST_F(StaleTerminal, ALineNeverGoesIntoAnOrderBilledMeanwhile)
{
    const int before = lineCount(order3);
    inTicket(3, [&] {
        billed(order3);
        addProduct(1007, "2");
        EXPECT_FALSE(ticket().isVisible());
    });
    inTicket(8, [&] {
        billed(102);
        waiter::answerQuestion(true);
        waiter::touchBin(*ticket().GridItens);
        EXPECT_FALSE(ticket().isVisible());
    });
    EXPECT_EQ(messages->messages, QStringList(2, TextoDe(Resultado::ComandaFechada)));
    EXPECT_EQ(lineCount(order3), before);
    EXPECT_EQ(lineCount(102), 5);
    EXPECT_FALSE(dm().QItensMov.updatesPending());
}

// Numbers changed at the other terminal are not put back by this one's older copy: neither by
// "Alterar" (refused), nor by opening the table (written with the number the server has).
TEST_F(StaleTerminal, NoRenumberingIsLost)
{
    ASSERT_TRUE(dm().QMesas.locate("DESCRICAO", 12));
    db->exec("update MESAS set DESCRICAO = 40 where DESCRICAO = 12");
    answerInput(&program->FPesqMesa, QStringLiteral("50"));
    program->FPesqMesa.BitBtn2->click();
    EXPECT_EQ(messages->messages, QStringList{TextoDe(Resultado::MesaAlterada)});
    EXPECT_EQ(db->value("select count(*) from MESAS where DESCRICAO in (12, 50)").toInt(), 0);
    EXPECT_EQ(dm().QMesas.fieldByName("DESCRICAO").asInteger(), 40) << "the grid was read again, on the same table";

    db->exec("update MESAS set DESCRICAO = 41 where DESCRICAO = 1");
    waiter::answerQuestion(true, [&](QWidget&) { ticket().BtnSair->click(); });
    touchTable(1); // the floor still shows it as table 1
    EXPECT_EQ(db->rows("select STATUS from MESAS where DESCRICAO = 41").size(), 1);
    EXPECT_EQ(db->value("select STATUS from MESAS where DESCRICAO = 41"), "O");
    EXPECT_EQ(db->value("select count(*) from MESAS where DESCRICAO = 1").toInt(), 0);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

// Two terminals at one free table: exactly one order is attached, and the one that loses
// makes none.
TEST_F(StaleTerminal, TwoTerminalsOpeningOneFreeTableMakeOneOrder)
{
    const int codMesa = db->value("select CODMESA from MESAS where DESCRICAO = 2").toInt();
    const int before = db->value("select count(*) from MOVIMENTOSPRODUTOS").toInt();
    ASSERT_EQ(atendimento::AbreMesaLivre(*other, {codMesa, "L", 0}), Resultado::Feito);
    waiter::answerQuestion(true);
    touchTable(2);
    EXPECT_FALSE(ticket().isVisible());
    EXPECT_EQ(messages->messages, QStringList{TextoDe(Resultado::MesaTomada)});
    EXPECT_EQ(db->value("select count(*) from MOVIMENTOSPRODUTOS").toInt(), before + 1);
    expectNoOrphans();
}

// ---- injected faults, against each of the waiter's writes -----------------------------------

// One of the waiter's writes, and how to read back whether it happened.
struct Action {
    const char* name;
    std::function<void(StaleTerminal&)> act;         // through the windows
    std::function<QVariant(StaleTerminal&)> stored;  // what the server holds of it
    QVariant before, done;
    QString guardedRead; // its one read of what it changes
    QString write;       // its statement that changes it
    QString refusingTrigger; // a trigger that refuses that statement
    QString elsewhere;   // the other terminal's change that makes it stale
    Resultado told;      // and what the waiter is then told
    QVariant changed;    // what the server then holds
};

enum class Fault { TriggerRefuses, CommitFails, TableRefusedHalfway, ChangedMeanwhile, ConnectionKilled };

const char* faultName(Fault fault)
{
    switch (fault) {
    case Fault::TriggerRefuses: return "TriggerRefuses";
    case Fault::CommitFails: return "CommitFails";
    case Fault::TableRefusedHalfway: return "TableRefusedHalfway";
    case Fault::ChangedMeanwhile: return "ChangedMeanwhile";
    case Fault::ConnectionKilled: return "ConnectionKilled";
    }
    return "";
}

struct FaultCase {
    Action action;
    Fault fault;
};
void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.action.name << faultName(c.fault); }

// The refusing triggers refuse while the sequence RECUSAR is above zero: a trigger dropped
// would still run in the statements this terminal has prepared.
const QString refuse = QStringLiteral("as begin if (gen_id(RECUSAR, 0) > 0) then exception RECUSA; end");

Action addLine()
{
    return {"AddLine",
            [](StaleTerminal& t) { t.inTicket(3, [&] { t.addProduct(1007, "2"); }); },
            [](StaleTerminal& t) {
                return t.db->value("select count(*) from ITENSMOVIMENTOPROD where CODMOVIMENTO = 101 and CODPRODUTO = "
                                   "1007 and QTD = 2");
            },
            0LL, 1LL, "SELECT SITUACAO", "insert into ITENSMOVIMENTOPROD",
            "create trigger RECUSA_T for ITENSMOVIMENTOPROD before insert " + refuse,
            "update MOVIMENTOSPRODUTOS set SITUACAO = 'F' where CODMOVIMENTO = 101", Resultado::ComandaFechada, 0LL};
}

Action deleteLine()
{
    return {"DeleteLine",
            [](StaleTerminal& t) {
                t.inTicket(8, [&] {
                    waiter::answerQuestion(true);
                    waiter::touchBin(*t.ticket().GridItens);
                });
            },
            [](StaleTerminal& t) { return t.db->value("select count(*) from ITENSMOVIMENTOPROD where CODMOVIMENTO = 102"); },
            5LL, 4LL, "SELECT SITUACAO", "delete from ITENSMOVIMENTOPROD",
            "create trigger RECUSA_T for ITENSMOVIMENTOPROD before delete " + refuse,
            "update MOVIMENTOSPRODUTOS set SITUACAO = 'F' where CODMOVIMENTO = 102", Resultado::ComandaFechada, 5LL};
}

// Table 1's status, and how many orders were made since the sample.
QVariant tableOne(StaleTerminal& t)
{
    return t.db->value("select m.STATUS || (select count(*) from MOVIMENTOSPRODUTOS where CODMOVIMENTO > 104) "
                       "from MESAS m where DESCRICAO = 1");
}

Action openTable()
{
    return {"OpenTable",
            [](StaleTerminal& t) {
                // Asked to open it, the waiter says yes; the ticket, if it opens, is left.
                // Neither comes up when the touch brings a lost connection back.
                QObject touch;
                whenModal(&touch, [&](QWidget* modal) {
                    if (modal->objectName() == u"FMsgSimNaoTablet")
                        click(*modal, "BtnConfirmar");
                    if (modal != &t.ticket())
                        return false;
                    t.ticket().BtnSair->click();
                    return true;
                });
                t.touchTable(1);
            },
            tableOne, "L0", "O1", "SELECT STATUS, CODMOVIMENTO, DESCRICAO", "update MESAS",
            "create trigger RECUSA_T for MOVIMENTOSPRODUTOS before insert " + refuse,
            "update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 1", Resultado::MesaTomada, "O0"};
}

Action freeTable()
{
    return {"FreeTable",
            [](StaleTerminal& t) {
                t.inTicket(3, [&] {
                    whenModalOpens([](QWidget& box) { answerBox(box, QMessageBox::Yes); });
                    t.ticket().BtnLiberarMesa->click();
                });
            },
            [](StaleTerminal& t) { return t.db->value("select STATUS from MESAS where DESCRICAO = 3"); }, "O", "L",
            "SELECT STATUS, CODMOVIMENTO, DESCRICAO", "update MESAS",
            "create trigger RECUSA_T for MESAS before update " + refuse,
            "update MESAS set CODMOVIMENTO = 100 where DESCRICAO = 3", Resultado::MesaAlterada, "O"};
}

Action renumber()
{
    return {"Renumber",
            [](StaleTerminal& t) {
                ASSERT_TRUE(t.dm().LocalizaMesa(t.mesa12));
                // The box does not come when the touch brings a lost connection back.
                QObject touch;
                whenModal(&touch, [](QWidget* box) { return answerInputBox(*box, QStringLiteral("50")).has_value(); });
                t.program->FPesqMesa.BitBtn2->click();
            },
            [](StaleTerminal& t) { return t.db->value("select DESCRICAO from MESAS where CODMESA = ?", {t.mesa12}); },
            12, 50,
            "SELECT STATUS, CODMOVIMENTO, DESCRICAO", "update MESAS",
            "create trigger RECUSA_T for MESAS before update " + refuse,
            "update MESAS set DESCRICAO = 40 where DESCRICAO = 12", Resultado::MesaAlterada, 40};
}

class InjectedFault : public StaleTerminal, public testing::WithParamInterface<FaultCase> {
protected:
    void SetUp() override
    {
        StaleTerminal::SetUp();
        if (IsSkipped())
            return;
        db->exec("create exception RECUSA 'recusado pelo servidor'");
        db->exec("create sequence RECUSAR");
    }
    void refusing(bool on) { db->value(QStringLiteral("select gen_id(RECUSAR, %1) from RDB$DATABASE").arg(on ? 1 : -1)); }
    // Runs `sql` on the other connection when this terminal is about to send a statement that
    // starts with `prefix`.
    void onStatement(const QString& prefix, const QString& sql)
    {
        log->onEntry = [this, prefix, sql](const SentStatement& e) {
            if (!e.commit && e.sql.startsWith(prefix)) {
                log->onEntry = nullptr;
                db->exec(sql);
            }
        };
    }
    // The commit after the statement that starts with `prefix` is refused. A commit retaining
    // fires no commit trigger, so the refusal is raised where the commit is asked for: nothing
    // of it reaches the server, as when the server refuses it.
    void refuseCommitAfter(const QString& prefix)
    {
        log->onEntry = [this, prefix](const SentStatement& e) {
            if (e.commit || !e.sql.startsWith(prefix))
                return;
            log->onEntry = nullptr;
            log->onCommitting = [this](const QString&) {
                log->onCommitting = nullptr;
                throw zk::DatabaseError(QStringLiteral("commit recusado"));
            };
        };
    }
};

// What the waiter is told, what the server holds, and what the next save does.
TEST_P(InjectedFault, LeavesTheServerAsTheWaiterIsTold)
{
    const Action& a = GetParam().action;
    ASSERT_EQ(a.stored(*this), a.before);
    const QString killProgram =
        QStringLiteral("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID = %1").arg(dm().Db.serverId());
    switch (GetParam().fault) {
    case Fault::TriggerRefuses:
        db->exec(a.refusingTrigger);
        refusing(true);
        break;
    case Fault::CommitFails:
        refuseCommitAfter(a.write);
        break;
    case Fault::TableRefusedHalfway:
        db->exec("create trigger RECUSA_T for MESAS before update as begin "
                 "if (new.STATUS = 'O' and gen_id(RECUSAR, 0) > 0) then exception RECUSA; end");
        refusing(true);
        break;
    case Fault::ChangedMeanwhile:
        onStatement(a.guardedRead, a.elsewhere);
        break;
    case Fault::ConnectionKilled:
        onStatement(a.write, killProgram);
        break;
    }
    a.act(*this);
    log->onEntry = nullptr;
    log->onCommitting = nullptr;

    switch (GetParam().fault) {
    case Fault::TriggerRefuses:
    case Fault::TableRefusedHalfway:
        EXPECT_EQ(errors.messages, QStringList{"User abort."});
        EXPECT_EQ(a.stored(*this), a.before);
        refusing(false);
        break;
    case Fault::CommitFails:
        ASSERT_EQ(errors.messages.size(), 1);
        EXPECT_TRUE(errors.messages.front().contains("commit recusado")) << errors.messages.front().toStdString();
        EXPECT_EQ(a.stored(*this), a.before) << "nothing of the refused commit stays";
        break;
    case Fault::ChangedMeanwhile:
        EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
        EXPECT_EQ(messages->messages, QStringList{TextoDe(a.told)});
        EXPECT_EQ(a.stored(*this), a.changed) << "the other terminal's change stands";
        expectNoOrphans();
        return; // the next save acts on what the screen now shows: another test's matter
    case Fault::ConnectionKilled:
        ASSERT_EQ(errors.messages.size(), 1);
        EXPECT_TRUE(errors.messages.front().startsWith("A conexão com o servidor foi perdida"));
        break;
    }
    expectNoOrphans();
    errors.messages.clear();
    messages->messages.clear();

    // The next save goes as if nothing had happened (after a lost connection, the first touch
    // brings it back and settles what was being sent).
    for (int touch = 0; touch < 2 && a.stored(*this) != a.done; ++touch)
        a.act(*this);
    EXPECT_EQ(a.stored(*this), a.done);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    expectNoOrphans();
}

std::vector<FaultCase> faultCases()
{
    std::vector<FaultCase> cases;
    for (const Action& action : {addLine(), deleteLine(), openTable(), freeTable(), renumber()})
        for (Fault fault : {Fault::TriggerRefuses, Fault::CommitFails, Fault::ChangedMeanwhile, Fault::ConnectionKilled})
            cases.push_back({action, fault});
    cases.push_back({openTable(), Fault::TableRefusedHalfway});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Writes, InjectedFault, testing::ValuesIn(faultCases()), [](const auto& info) {
    return std::string(info.param.action.name) + faultName(info.param.fault);
});

} // namespace

