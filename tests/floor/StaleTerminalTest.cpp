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
#include "ui/DbLabel.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>

#include <optional>

namespace {

using atendimento::Resultado;

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

    // A touch on a free table: asked to open it, the waiter says yes; the ticket, if it opens,
    // is left. Neither comes up when the touch is refused, or brings a lost connection back.
    void openFreeTable(int numero)
    {
        QObject touch;
        whenModal(&touch, [&](QWidget* modal) {
            if (modal->objectName() == u"FMsgSimNaoTablet")
                click(*modal, "BtnConfirmar");
            if (modal != &ticket())
                return false;
            ticket().BtnSair->click();
            return true;
        });
        touchTable(numero);
    }

    // The back office bills an order: it is closed.
    void billed(int codMovimento) { db->exec("update MOVIMENTOSPRODUTOS set SITUACAO = 'F' where CODMOVIMENTO = ?", {codMovimento}); }
    void expectNoOrphans() { EXPECT_EQ(tablesWithoutTheirOrder(), 0); }

    int mesa12 = 0; // table 12's key
    std::optional<MessageLog> messages;
    std::optional<TDm> other; // the other terminal
};

// What the waiter reads, word for word.
const QString tableChanged =
    QStringLiteral("Esta mesa foi alterada desde a última leitura; nada foi alterado. A tela foi atualizada.");
const QString numberChanged =
    QStringLiteral("O número desta mesa foi alterado desde a última leitura; nada foi alterado. A tela foi atualizada.");
const QString tableTaken =
    QStringLiteral("Esta mesa não está mais livre; nenhuma comanda foi aberta. A tela foi atualizada.");
const QString tableBusy =
    QStringLiteral("Esta mesa está sendo alterada neste momento; nada foi feito. Tente novamente.");
const QString orderNotOpen = QStringLiteral(
    "Esta comanda não está mais aberta; nada foi alterado. Para liberar a mesa, toque em \"Liberar Mesa\".");
const QString orderMissing =
    QStringLiteral("Esta comanda não existe; nada foi alterado. Para liberar a mesa, toque em \"Liberar Mesa\".");

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
    EXPECT_EQ(messages->messages, QStringList{tableChanged});
    EXPECT_EQ(table(3), (QVariantList{"O", reopened}));
    ASSERT_TRUE(dm().QPesqMesa.locate("DESCRICAO", 3));
    EXPECT_EQ(dm().QPesqMesa.fieldByName("CODMOVIMENTO").asInteger(), reopened) << "the floor was read again";
    expectNoOrphans();
}

// What became of table 3's order while this terminal's floor still shows it occupied.
struct OrderFate {
    const char* name;
    const char* elsewhere; // the back office's statement
    int lines;             // the order's lines the ticket shows
    QString told;          // at a touch on a product or on a bin
};
void PrintTo(const OrderFate& f, std::ostream* os) { *os << f.name; }

class OccupiedTable : public StaleTerminal, public testing::WithParamInterface<OrderFate> {};

// An occupied table always opens, so that it can always be freed: its ticket shows the order
// as it is, refuses lines to an order that is not open before anything is sent or asked, and
// "Liberar Mesa" frees it.
TEST_P(OccupiedTable, AlwaysOpensAndCanBeFreed)
{
    db->exec(GetParam().elsewhere);
    bool opened = false;
    int shownLines = -1;
    QString shownTotal;
    inTicket(3, [&] {
        opened = true;
        shownLines = dm().QSpItens.recordCount();
        shownTotal = ticket().DBText9->text();
        log->entries.clear();
        touchProduct(1007); // no keypad comes: the order takes nothing
        if (dm().QSpItens.recordCount() > 0)
            waiter::touchBin(*ticket().GridItens); // nor is anything asked
        EXPECT_TRUE(ticket().isVisible());
        EXPECT_TRUE(log->entries.empty()) << "nothing sent, not even a key asked for";
        EXPECT_EQ(dm().QItensMov.state(), zk::Query::State::Browse);
        EXPECT_FALSE(dm().QItensMov.updatesPending());
        whenModalOpens([](QWidget& box) { answerBox(box, QMessageBox::Yes); });
        ticket().BtnLiberarMesa->click();
    });
    ASSERT_TRUE(opened);
    EXPECT_EQ(shownLines, GetParam().lines);
    EXPECT_EQ(shownTotal.isEmpty(), GetParam().lines == 0) << "the order's total, when it has one";
    EXPECT_EQ(messages->messages, QStringList(GetParam().lines > 0 ? 2 : 1, GetParam().told));
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(table(3), (QVariantList{"L", 0})) << "freed";
    EXPECT_EQ(lineCount(order3), GetParam().lines);
    expectNoOrphans();
}

INSTANTIATE_TEST_SUITE_P(
    Orders, OccupiedTable,
    testing::Values(OrderFate{"Billed", "update MOVIMENTOSPRODUTOS set SITUACAO = 'F' where CODMOVIMENTO = 101", 3,
                              orderNotOpen},
                    OrderFate{"SituationCleared",
                              "update MOVIMENTOSPRODUTOS set SITUACAO = null where CODMOVIMENTO = 101", 3, orderNotOpen},
                    OrderFate{"Deleted", "delete from MOVIMENTOSPRODUTOS where CODMOVIMENTO = 101", 0, orderMissing}),
    [](const auto& info) { return std::string(info.param.name); });

// The table itself changed (billed and freed) since the floor was read: no ticket, and the
// floor shows it as it is.
TEST_F(StaleTerminal, ATableFreedElsewhereOpensNoTicket)
{
    billed(order3);
    db->exec("update MESAS set STATUS = 'L', CODMOVIMENTO = 0 where CODMESA = ?", {mesa3});
    touchTable(3);
    EXPECT_FALSE(ticket().isVisible());
    EXPECT_EQ(messages->messages, QStringList{tableChanged});
    ASSERT_TRUE(dm().QPesqMesa.locate("DESCRICAO", 3));
    EXPECT_EQ(dm().QPesqMesa.fieldByName("STATUS").asString(), "L") << "the floor was read again";
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

// The order was billed while its ticket stayed open here: neither a new line nor a deletion
// reaches it, nothing waits to be sent, and the ticket stays to free the table.
TEST_F(StaleTerminal, ALineNeverGoesIntoAnOrderBilledMeanwhile)
{
    const int before = lineCount(order3);
    inTicket(3, [&] {
        billed(order3);
        addProduct(1007, "2");
        EXPECT_TRUE(ticket().isVisible());
        EXPECT_EQ(dm().QItensMov.state(), zk::Query::State::Browse);
        waiter::touchBin(*ticket().GridItens); // refused at once now: no question
        whenModalOpens([](QWidget& box) { answerBox(box, QMessageBox::Yes); });
        ticket().BtnLiberarMesa->click();
    });
    inTicket(8, [&] {
        billed(102);
        waiter::answerQuestion(true);
        waiter::touchBin(*ticket().GridItens);
        EXPECT_TRUE(ticket().isVisible());
    });
    EXPECT_EQ(messages->messages, QStringList(3, orderNotOpen));
    EXPECT_EQ(lineCount(order3), before);
    EXPECT_EQ(lineCount(102), 5);
    EXPECT_EQ(table(3), (QVariantList{"L", 0}));
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
    EXPECT_EQ(messages->messages, QStringList{numberChanged});
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

// A table opened (or freed) elsewhere is renumbered all the same: only its number is this
// action's, and its status and order are written as the server has them now.
TEST_F(StaleTerminal, RenumberingATableOpenedElsewhereKeepsItsOrder)
{
    const int mesa2 = db->value("select CODMESA from MESAS where DESCRICAO = 2").toInt();
    ASSERT_TRUE(dm().QMesas.locate("DESCRICAO", 2));
    ASSERT_EQ(atendimento::AbreMesaLivre(*other, {mesa2, "L", 0}), Resultado::Feito);
    const QVariantList opened = table(2);
    ASSERT_EQ(opened.value(0), "O");

    answerInput(&program->FPesqMesa, QStringLiteral("52"));
    program->FPesqMesa.BitBtn2->click();

    EXPECT_EQ(messages->messages, QStringList());
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(table(52), opened) << "renumbered, still occupied by the other terminal's order";
    EXPECT_EQ(dm().QMesas.fieldByName("CODMESA").asInteger(), mesa2);
    EXPECT_EQ(dm().QMesas.fieldByName("STATUS").asString(), "O") << "the grid shows the row as written";
    expectNoOrphans();
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
    EXPECT_EQ(messages->messages, QStringList{tableTaken});
    EXPECT_EQ(db->value("select count(*) from MOVIMENTOSPRODUTOS").toInt(), before + 1);
    expectNoOrphans();
}

// ---- a table being written elsewhere at this very moment -----------------------------------

// One of the waiter's writes on a table the other terminal holds (it is saving it right now,
// uncommitted): nothing is known to have changed, so nothing is read again; the waiter is told
// to try again, and the same touch works once the other terminal is done.
struct BusyCase {
    const char* name;
    int numero;                                   // the table held
    std::function<void(StaleTerminal&)> act;      // through the windows
    std::function<bool(StaleTerminal&)> done;     // whether the write happened
};
void PrintTo(const BusyCase& c, std::ostream* os) { *os << c.name; }

class BusyTable : public StaleTerminal, public testing::WithParamInterface<BusyCase> {};

TEST_P(BusyTable, IsToldToTryAgainAndNothingChanges)
{
    const BusyCase& c = GetParam();
    const int codMesa = db->value("select CODMESA from MESAS where DESCRICAO = ?", {c.numero}).toInt();
    const QVariantList before = table(c.numero);
    const int orders = db->value("select count(*) from MOVIMENTOSPRODUTOS").toInt();
    ASSERT_EQ(other->SeguraMesa(codMesa).estado, TDm::MesaNoServidor::Existe);
    log->entries.clear();

    c.act(*this);
    EXPECT_EQ(messages->messages, QStringList{tableBusy});
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(table(c.numero), before);
    EXPECT_EQ(db->value("select count(*) from MOVIMENTOSPRODUTOS").toInt(), orders) << "no order made";
    EXPECT_TRUE(log->starting("select * from MESAS").empty()) << "nothing was read again";
    EXPECT_FALSE(c.done(*this));

    other->DesfazReserva();
    messages->messages.clear();
    c.act(*this);
    EXPECT_EQ(messages->messages, QStringList());
    EXPECT_TRUE(c.done(*this));
    expectNoOrphans();
}

INSTANTIATE_TEST_SUITE_P(
    Writes, BusyTable,
    testing::Values(
        BusyCase{"OpenFreeTable", 2,
                 [](StaleTerminal& t) {
                     t.openFreeTable(2);
                     if (t.table(2).value(0) == "L") {
                         EXPECT_TRUE(t.log->starting("SELECT * FROM SPMESAS").empty()) << "the floor is not read";
                     }
                 },
                 [](StaleTerminal& t) { return t.table(2).value(0) == "O"; }},
        BusyCase{"FreeTable", 3,
                 [](StaleTerminal& t) {
                     t.inTicket(3, [&] {
                         whenModalOpens([](QWidget& box) { answerBox(box, QMessageBox::Yes); });
                         t.ticket().BtnLiberarMesa->click();
                         if (t.table(3).value(0) == "O") {
                             EXPECT_TRUE(t.ticket().isVisible()) << "the ticket stays for another try";
                             EXPECT_TRUE(t.log->starting("SELECT * FROM SPMESAS").empty()) << "the floor is not read";
                         }
                     });
                 },
                 [](StaleTerminal& t) { return t.table(3).value(0) == "L"; }},
        BusyCase{"Renumber", 12,
                 [](StaleTerminal& t) {
                     ASSERT_TRUE(t.dm().QMesas.locate("CODMESA", t.mesa12));
                     answerInput(&t.program->FPesqMesa, QStringLiteral("50"));
                     t.program->FPesqMesa.BitBtn2->click();
                 },
                 [](StaleTerminal& t) { return !t.table(50).isEmpty(); }}),
    [](const auto& info) { return std::string(info.param.name); });

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
    QString told;        // and what the waiter is then told
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
            "update MOVIMENTOSPRODUTOS set SITUACAO = 'F' where CODMOVIMENTO = 101", orderNotOpen, 0LL};
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
            "update MOVIMENTOSPRODUTOS set SITUACAO = 'F' where CODMOVIMENTO = 102", orderNotOpen, 5LL};
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
                t.openFreeTable(1);
            },
            tableOne, "L0", "O1", "SELECT STATUS, CODMOVIMENTO, DESCRICAO", "update MESAS",
            "create trigger RECUSA_T for MOVIMENTOSPRODUTOS before insert " + refuse,
            "update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 1", tableTaken, "O0"};
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
            "update MESAS set CODMOVIMENTO = 100 where DESCRICAO = 3", tableChanged, "O"};
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
            "update MESAS set DESCRICAO = 40 where DESCRICAO = 12", numberChanged, 40};
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
        EXPECT_EQ(messages->messages, QStringList{a.told});
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

