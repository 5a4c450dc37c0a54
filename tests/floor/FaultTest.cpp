// A network that drops at any step of a waiter's action, and a server that goes away and
// comes back. The program's connection goes through a proxy the test cuts; the database is
// checked through a connection of the test's own, straight to the server.

#include "support/LogCapture.h"
#include "support/MessageLog.h"
#include "support/Modal.h"
#include "support/SampleProgram.h"
#include "support/Services.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <random>
#include <string_view>

namespace {

const QString lostText = QStringLiteral("A conexão com o servidor foi perdida. Toque novamente para continuar.");
// What the touch that brings the connection back says when something was being sent: it
// shows what the server holds and does nothing more.
const QString backText = QStringLiteral("A conexão com o servidor voltou. A tela foi atualizada: confira e continue.");
constexpr int lastSampleMovement = 104; // the sample's generator stands there

// Where a fault strikes: just before a statement that starts with `sql` is sent, or just
// before `commitOf` is committed; the network is cut there, or the server's reply is lost.
struct FaultPoint {
    QString sql;
    QString commitOf;
    bool loseReply = false;
};

class FaultTest : public testing::Test, protected SampleProgram {
protected:
    FaultTest() : SampleProgram(Access::Server) {}
    LogCapture journal; // what a technician reads afterwards
    void SetUp() override
    {
        ZK_REQUIRE_SERVER();
        throughAProxy();
        start();
        messages.emplace();
        showFloor();
    }

    void strikeAt(const FaultPoint& point)
    {
        log->onceBefore(point.sql, point.commitOf,
                        [this, point] { point.loseReply ? proxy->loseNextReply() : proxy->cut(); });
    }

    // The waiter was told, once, that the connection is gone.
    void expectToldLostOnce()
    {
        ASSERT_EQ(errors.messages.size(), 1) << errors.messages.join('\n').toStdString();
        EXPECT_TRUE(errors.messages.front().startsWith(lostText)) << errors.messages.front().toStdString();
        errors.messages.clear();
    }

    int count(const QString& sql, const QVariantList& params = {}) { return db->value(sql, params).toInt(); }
    std::optional<MessageLog> messages;
    // What the dining room can always trust: no table points at a missing order, and every
    // order opened since the sample was made is its table's (but one whose table was freed).
    void expectNoOrphans(int freed = 0)
    {
        EXPECT_EQ(tablesWithoutTheirOrder(), 0) << "a table points at a missing order";
        EXPECT_EQ(count("select count(*) from MOVIMENTOSPRODUTOS v where v.CODMOVIMENTO > ? and v.CODMOVIMENTO <> ? "
                        "and not exists (select 1 from MESAS m where m.CODMOVIMENTO = v.CODMOVIMENTO)",
                        {lastSampleMovement, freed}),
                  0)
            << "an order without its table";
    }
};

// Nothing was being saved: the next touch connects again and goes on as if nothing happened.
TEST_F(FaultTest, IdleCutIsToldOnceAndTheNextTouchReconnectsAndActs)
{
    proxy->cut();
    touchTable(3);
    expectToldLostOnce();
    EXPECT_FALSE(dm().Db.connected());

    proxy->restore();
    int shown = -1;
    inTicket(3, [&] { shown = dm().QSpItens.recordCount(); });
    EXPECT_TRUE(dm().Db.connected());
    EXPECT_EQ(shown, 3);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();

    // The log tells the same story, one line per event.
    const QStringList connection = journal.of("zenobra.db", "connection") + journal.of("zenobra.db", "reconnect");
    ASSERT_EQ(connection.size(), 2) << journal.lines().join('\n').toStdString();
    EXPECT_TRUE(connection[0].startsWith("zenobra.db warning: connection to the server lost;")) << connection[0].toStdString();
    EXPECT_EQ(connection[1], "zenobra.db info: reconnected; nothing was held");
    EXPECT_EQ(journal.of("zenobra.ui", "error: " + lostText).size(), 1) << journal.lines().join('\n').toStdString();
}

TEST_F(FaultTest, WhileTheServerStaysAwayEveryTouchIsToldTheSame)
{
    proxy->cut();
    for (int touch = 0; touch < 3; ++touch) {
        touchTable(3);
        expectToldLostOnce();
        EXPECT_FALSE(ticket().isVisible());
    }
    proxy->restore();
    inTicket(3, [] {});
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    // Each touch while it stayed away is a failed reconnect in the log, then the one that worked.
    EXPECT_EQ(journal.of("zenobra.db", "reconnect failed: " + lostText).size(), 2) << journal.lines().join('\n').toStdString();
    EXPECT_EQ(journal.of("zenobra.db", "reconnected"), QStringList({"zenobra.db info: reconnected; nothing was held"}));
}

// The server came back with another SYSDBA password: the touch is told so, with the client's
// own words, at every touch; nothing breaks.
TEST_F(FaultTest, RefusedLoginAfterTheServerCameBackIsToldAtEveryTouch)
{
    const QStringList settings = dm().Db.params();
    dm().Db.params() = {"user_name=SYSDBA", "password=outra"};
    proxy->cut();
    touchTable(3);
    expectToldLostOnce();
    proxy->restore();
    for (int touch = 0; touch < 2; ++touch) {
        touchTable(3);
        ASSERT_EQ(errors.messages.size(), 1);
        EXPECT_TRUE(errors.messages.front().startsWith(lostText));
        EXPECT_TRUE(errors.messages.front().contains("password")) << errors.messages.front().toStdString();
        errors.messages.clear();
    }
    dm().Db.params() = settings;
    inTicket(3, [] {});
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

// ---- a line's save, cut at each of its steps -----------------------------------------------

struct LineCut {
    const char* name;
    FaultPoint point;
    bool keypadShows; // the key was taken before the cut, and the line confirmed
    bool beingSent;   // the line had gone into the record set's cache: the server may hold it
    friend std::ostream& operator<<(std::ostream& os, const LineCut& c) { return os << c.name; }
};

class LineSaveCut : public FaultTest, public testing::WithParamInterface<LineCut> {};

// Whatever step the cut falls on, the line the waiter confirmed ends on the server exactly
// once. A line that was being sent shows after the touch that brings the connection back,
// which says so and does nothing more; a line not sent yet is added by that touch. The next
// line goes as usual.
TEST_P(LineSaveCut, TheLineEndsOnTheServerExactlyOnce)
{
    const LineCut& c = GetParam();
    const int before = lineCount(101);
    int shownAfterRecovery = -1;
    QStringList toldOnRecovery;
    inTicket(3, [&] {
        strikeAt(c.point);
        if (c.keypadShows)
            whenModalOpens(waiter::keypad("2"));
        touchProduct(1007);
        expectToldLostOnce();

        proxy->restore();
        if (!c.beingSent)
            whenModalOpens(waiter::keypad("2"));
        touchProduct(1007);
        toldOnRecovery = std::exchange(messages->messages, {});
        dm().QSpItens.last(); // every line, as the grid's scroll bar reads them
        shownAfterRecovery = dm().QSpItens.recordCount();
        addProduct(1001, "1");
    });
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(shownAfterRecovery, before + 1) << "the ticket shows what the server holds";
    EXPECT_EQ(toldOnRecovery, c.beingSent ? QStringList{backText} : QStringList{});
    EXPECT_EQ(count("select count(*) from ITENSMOVIMENTOPROD where CODMOVIMENTO = 101 and CODPRODUTO = 1007 "
                    "and QTD = 2"),
              1);
    EXPECT_EQ(lineCount(101), before + 2);
    expectNoOrphans();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, LineSaveCut,
    testing::Values(LineCut{"BeforeTheKey", {"SELECT GEN_ID(\"GEN_ITENSMOVIMENTOPROD\"", {}, false}, false, false},
                    LineCut{"BeforeTheGuardRead", {"SELECT SITUACAO", {}, false}, true, false},
                    LineCut{"ReplyOfTheGuardReadLost", {"SELECT SITUACAO", {}, true}, true, false},
                    LineCut{"BeforeTheInsert", {"insert into ITENSMOVIMENTOPROD", {}, false}, true, true},
                    LineCut{"ReplyOfTheInsertLost", {"insert into ITENSMOVIMENTOPROD", {}, true}, true, true},
                    LineCut{"BeforeTheCommit", {{}, "TsMov", false}, true, true},
                    LineCut{"ReplyOfTheCommitLost", {{}, "TsMov", true}, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- a free table's opening, cut between its steps -------------------------------------------

struct OpeningCut {
    const char* name;
    FaultPoint point;
    bool completed; // the table already pointed at its new order on the server
    friend std::ostream& operator<<(std::ostream& os, const OpeningCut& c) { return os << c.name; }
};

class OpeningSaveCut : public FaultTest, public testing::WithParamInterface<OpeningCut> {};

// An opening left halfway is undone, unless its table already pointed at the new order: no
// order stays without its table, no table points at a missing order.
TEST_P(OpeningSaveCut, IsCompletedOrUndone)
{
    const OpeningCut& c = GetParam();
    strikeAt(c.point);
    waiter::answerQuestion(true);
    touchTable(1);
    expectToldLostOnce();
    EXPECT_FALSE(ticket().isVisible());

    proxy->restore();
    touchTable(1); // brings the connection back and settles the opening
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    expectNoOrphans();
    EXPECT_EQ(table(1).value(0), c.completed ? "O" : "L");
    EXPECT_EQ(count("select count(*) from MOVIMENTOSPRODUTOS where CODMOVIMENTO > ?", {lastSampleMovement}),
              c.completed ? 1 : 0);
    ASSERT_TRUE(dm().QPesqMesa.locate("DESCRICAO", 1));
    EXPECT_EQ(dm().QPesqMesa.fieldByName("STATUS").asString(), c.completed ? "O" : "L") << "the floor was read again";

    // The next touch opens the table as its state says: its order, or a new one after the question.
    if (!c.completed)
        waiter::answerQuestion(true, [&](QWidget&) { ticket().BtnSair->click(); });
    else
        whenModalOpens([&](QWidget&) { ticket().BtnSair->click(); });
    touchTable(1);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(table(1).value(0), "O");
    expectNoOrphans();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, OpeningSaveCut,
    testing::Values(OpeningCut{"BeforeTheOrder", {"insert into MOVIMENTOSPRODUTOS", {}, false}, false},
                    OpeningCut{"ReplyOfTheOrderCommitLost", {{}, "TsMov", true}, false},
                    OpeningCut{"BetweenTheTwoCommits", {"update MESAS", {}, false}, false},
                    OpeningCut{"ReplyOfTheTableCommitLost", {{}, "TsCAd", true}, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- every other write, cut at each of its steps ----------------------------------------------

enum class Write { DeleteLine, FreeTable, Renumber, Register };

struct WriteCut {
    const char* name;
    Write write;
    FaultPoint point;
    friend std::ostream& operator<<(std::ostream& os, const WriteCut& c) { return os << c.name; }
};

class WriteSaveCut : public FaultTest, public testing::WithParamInterface<WriteCut> {
protected:
    void SetUp() override
    {
        mesa12 = db->value("select CODMESA from MESAS where DESCRICAO = 12").toInt();
        FaultTest::SetUp();
    }

    // The waiter's write through the windows; `again` is the touch on the same button that
    // follows the cut, after which nothing may come up.
    void act(Write write, const std::function<void()>& again)
    {
        switch (write) {
        case Write::DeleteLine:
            inTicket(8, [&] {
                waiter::answerQuestion(true);
                waiter::touchBin(*ticket().GridItens);
                again();
            });
            break;
        case Write::FreeTable:
            inTicket(3, [&] {
                whenModalOpens([](QWidget& box) { answerBox(box, QMessageBox::Yes); });
                ticket().BtnLiberarMesa->click();
                again();
            });
            break;
        case Write::Renumber:
            ASSERT_TRUE(dm().LocalizaMesa(mesa12));
            answerInput(&program->FPesqMesa, QStringLiteral("50"));
            program->FPesqMesa.BitBtn2->click();
            again();
            break;
        case Write::Register:
            answerInput(&program->FPesqMesa, QStringLiteral("60"));
            program->FPesqMesa.BitBtn1->click();
            again();
            break;
        }
    }
    // The same button touched again: the touch that brings the connection back.
    void touchAgain(Write write)
    {
        switch (write) {
        case Write::DeleteLine: waiter::touchBin(*ticket().GridItens); break;
        case Write::FreeTable: ticket().BtnLiberarMesa->click(); break;
        case Write::Renumber: program->FPesqMesa.BitBtn2->click(); break;
        case Write::Register: program->FPesqMesa.BitBtn1->click(); break;
        }
    }
    // What the server holds of the write: before it, and once done exactly once.
    QList<QVariantList> stored(Write write)
    {
        switch (write) {
        case Write::DeleteLine: return db->rows("select count(*) from ITENSMOVIMENTOPROD where CODMOVIMENTO = 102");
        case Write::FreeTable: return db->rows("select STATUS, CODMOVIMENTO from MESAS where DESCRICAO = 3");
        case Write::Renumber: return db->rows("select DESCRICAO from MESAS where CODMESA = ?", {mesa12});
        case Write::Register: return db->rows("select count(*) from MESAS where DESCRICAO = 60");
        }
        return {};
    }
    static QList<QVariantList> expectedAfter(Write write)
    {
        switch (write) {
        case Write::DeleteLine: return {{4}};
        case Write::FreeTable: return {{"L", 0}};
        case Write::Renumber: return {{50}};
        case Write::Register: return {{1}};
        }
        return {};
    }

    int mesa12 = 0;
};

// The write was sent, or its commit was, when the network dropped: the touch that brings the
// connection back settles it exactly once, says so, and does nothing more.
TEST_P(WriteSaveCut, EndsOnTheServerExactlyOnceAndTheWaiterIsTold)
{
    const WriteCut& c = GetParam();
    const QList<QVariantList> before = stored(c.write);
    ASSERT_NE(before, expectedAfter(c.write));
    QStringList toldLost, toldBack;
    std::shared_ptr<int> unexpected;
    strikeAt(c.point);
    act(c.write, [&] {
        toldLost = std::exchange(errors.messages, {});
        proxy->restore();
        QObject touch;
        unexpected = closeEveryModal(&touch, &ticket());
        touchAgain(c.write);
        toldBack = std::exchange(messages->messages, {});
    });
    ASSERT_EQ(toldLost.size(), 1) << toldLost.join('\n').toStdString();
    EXPECT_TRUE(toldLost.front().startsWith(lostText)) << toldLost.front().toStdString();
    EXPECT_EQ(toldBack, QStringList{backText});
    EXPECT_EQ(*unexpected, 0) << "the touch that brought the connection back went on";
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(stored(c.write), expectedAfter(c.write));
    expectNoOrphans();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, WriteSaveCut,
    testing::Values(
        WriteCut{"DeleteLineReplyOfTheDeleteLost", Write::DeleteLine, {"delete from ITENSMOVIMENTOPROD", {}, true}},
        WriteCut{"DeleteLineBeforeTheCommit", Write::DeleteLine, {{}, "TsMov", false}},
        WriteCut{"DeleteLineReplyOfTheCommitLost", Write::DeleteLine, {{}, "TsMov", true}},
        WriteCut{"FreeTableReplyOfTheUpdateLost", Write::FreeTable, {"update MESAS", {}, true}},
        WriteCut{"FreeTableBeforeTheCommit", Write::FreeTable, {{}, "TsCAd", false}},
        WriteCut{"FreeTableReplyOfTheCommitLost", Write::FreeTable, {{}, "TsCAd", true}},
        WriteCut{"RenumberReplyOfTheUpdateLost", Write::Renumber, {"update MESAS", {}, true}},
        WriteCut{"RenumberBeforeTheCommit", Write::Renumber, {{}, "TsCAd", false}},
        WriteCut{"RenumberReplyOfTheCommitLost", Write::Renumber, {{}, "TsCAd", true}},
        WriteCut{"RegisterReplyOfTheInsertLost", Write::Register, {"insert into MESAS", {}, true}},
        WriteCut{"RegisterBeforeTheCommit", Write::Register, {{}, "TsCAd", false}},
        WriteCut{"RegisterReplyOfTheCommitLost", Write::Register, {{}, "TsCAd", true}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- what recovery cannot send ---------------------------------------------------------------

const QString notSavedText = QStringLiteral("A conexão voltou, mas uma alteração feita antes da queda não pôde ser "
                                            "gravada. A tela foi atualizada: confira e repita o que faltar.");

// A line kept through a cut is not sent into its order once the back office billed it
// during the outage: the waiter is told it was not saved.
TEST_F(FaultTest, ALineKeptThroughACutIsRefusedByAnOrderBilledMeanwhile)
{
    const int before = lineCount(101);
    QStringList toldBack;
    inTicket(3, [&] {
        strikeAt({{}, "TsMov", false});
        addProduct(1007, "2");
        expectToldLostOnce();
        db->exec("update MOVIMENTOSPRODUTOS set SITUACAO = 'F' where CODMOVIMENTO = 101");
        proxy->restore();
        QObject touch;
        closeEveryModal(&touch, &ticket());
        touchProduct(1007);
        toldBack = std::exchange(errors.messages, {});
    });
    EXPECT_EQ(toldBack, QStringList{notSavedText});
    EXPECT_EQ(lineCount(101), before) << "no line in a billed order";
    expectNoOrphans();
}

// "Liberar Mesa" kept through a cut while another terminal billed the order and opened the
// table again: the other terminal's order keeps its table.
TEST_F(FaultTest, AFreeingKeptThroughACutLeavesATableOpenedAgainElsewhere)
{
    QStringList toldBack;
    inTicket(3, [&] {
        strikeAt({{}, "TsCAd", false});
        whenModalOpens([](QWidget& box) { answerBox(box, QMessageBox::Yes); });
        ticket().BtnLiberarMesa->click();
        expectToldLostOnce();
        db->exec("update MOVIMENTOSPRODUTOS set SITUACAO = 'F' where CODMOVIMENTO = 101");
        db->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 3");
        proxy->restore();
        QObject touch;
        closeEveryModal(&touch, &ticket());
        ticket().BtnLiberarMesa->click();
        toldBack = std::exchange(errors.messages, {});
    });
    EXPECT_EQ(toldBack, QStringList{notSavedText});
    EXPECT_EQ(table(3), (QVariantList{"O", 100}));
    expectNoOrphans();
}

// The network drops again while the touch that brought it back was settling a line: the next
// touch settles it, still exactly once.
TEST_F(FaultTest, ASecondCutDuringRecoveryStillSavesTheLineOnce)
{
    const int before = lineCount(101);
    QStringList toldBack;
    inTicket(3, [&] {
        strikeAt({{}, "TsMov", false});
        addProduct(1007, "2");
        expectToldLostOnce();
        proxy->restore();
        strikeAt({"insert into ITENSMOVIMENTOPROD", {}, false}); // the line sent again
        QObject touch;
        closeEveryModal(&touch, &ticket());
        touchProduct(1007);
        expectToldLostOnce();
        proxy->restore();
        touchProduct(1007);
        toldBack = std::exchange(messages->messages, {});
    });
    EXPECT_EQ(toldBack, QStringList{backText});
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(count("select count(*) from ITENSMOVIMENTOPROD where CODMOVIMENTO = 101 and CODPRODUTO = 1007 and QTD = 2"),
              1);
    EXPECT_EQ(lineCount(101), before + 1);
    expectNoOrphans();
}

// ---- a waiter's session, cut at random points ---------------------------------------------

// Answers every window the session brings up, as the waiter would: the question "Sim", the
// keypad the quantity, the ticket the step's action then "Sair", the platform's box "Yes".
class SessionWindows {
public:
    SessionWindows(std::function<void()> inTicket, QString quantity)
        : inTicket_(std::move(inTicket)), quantity_(std::move(quantity))
    {
        onEveryModal(&answering_, [this](QWidget& modal) { answer(modal); });
    }

private:
    void answer(QWidget& modal)
    {
        if (&modal == handling_)
            return;
        const QString name = modal.objectName();
        if (name == u"FMsgSimNaoTablet")
            click(modal, "BtnConfirmar");
        else if (name == u"FInformaQtd")
            waiter::keypad(quantity_)(modal);
        else if (qobject_cast<QMessageBox*>(&modal))
            answerBox(modal, QMessageBox::Yes);
        else if (name == u"FComanda" && !ticketDone_) {
            ticketDone_ = true;
            QWidget* ticket = handling_ = &modal;
            // Out of this timer's call: a timer does not fire again while its call runs, and the
            // step's action waits in windows this timer must answer.
            QTimer::singleShot(0, ticket, [this, ticket] {
                inTicket_();
                handling_ = nullptr;
                if (ticket->isVisible())
                    static_cast<TFComanda*>(ticket)->BtnSair->click();
            });
        }
    }

    std::function<void()> inTicket_;
    QString quantity_;
    QWidget* handling_ = nullptr;
    bool ticketDone_ = false;
    QObject answering_; // the windows are answered while the session lasts
};

class WaiterSession : public FaultTest, public testing::WithParamInterface<int> {
protected:
    struct Step {
        const char* name;
        std::function<void()> inTicket;
        QString quantity;
        std::function<bool()> shown;  // the screen says the step is done
        QList<QVariantList> expected; // the server once the step is done: see served()
    };

    // What this terminal's screen shows: table 1's status on the floor, and whether the
    // ticket's lines hold a product.
    bool floorShows(const char* status)
    {
        zk::Query& view = dm().QPesqMesa;
        return view.locate("DESCRICAO", 1) && view.fieldByName("STATUS").asString() == status;
    }
    bool ticketShows(int produto) { return dm().QSpItens.active() && dm().QSpItens.locate("CODPRODUTO", produto); }

    std::vector<Step> steps()
    {
        return {
            {"open table 1", [] {}, {}, [this] { return floorShows("O"); }, {{"O", 1}}},
            {"add 2 x 1007", [this] { touchProduct(1007); }, "2", [this] { return ticketShows(1007); },
             {{"O", 1}, {1007, 2.0}}},
            {"add 1 x 1001", [this] { touchProduct(1001); }, "1", [this] { return ticketShows(1001); },
             {{"O", 1}, {1001, 1.0}, {1007, 2.0}}},
            {"delete 1007",
             [this] {
                 ASSERT_TRUE(dm().QSpItens.locate("CODPRODUTO", 1007));
                 waiter::touchBin(*ticket().GridItens);
             },
             {}, [this] { return !ticketShows(1007); }, {{"O", 1}, {1001, 1.0}}},
            {"free table 1", [this] { ticket().BtnLiberarMesa->click(); }, {}, [this] { return floorShows("L"); },
             {{"L", 1}, {1001, 1.0}}},
        };
    }

    // What the server holds of the session: table 1's status and how many orders were opened
    // since the sample, then every line of those orders (product, quantity).
    QList<QVariantList> served()
    {
        QList<QVariantList> rows = db->rows("select m.STATUS, (select count(*) from MOVIMENTOSPRODUTOS where "
                                            "CODMOVIMENTO > ?) from MESAS m where m.DESCRICAO = 1",
                                            {lastSampleMovement});
        rows << db->rows("select CODPRODUTO, QTD from ITENSMOVIMENTOPROD where CODMOVIMENTO > ? order by CODPRODUTO",
                         {lastSampleMovement});
        return rows;
    }

    // Runs the session to its end as a waiter does: a touch the network failed is told, and
    // once the network is back the waiter touches the table again and does what its ticket
    // does not show done. After every step the server must hold exactly what the steps so far made: a
    // change lost, or made twice, shows there. Answers how many touches were told the
    // connection was lost.
    int runSession()
    {
        int told = 0;
        for (const Step& step : steps()) {
            for (int attempt = 0; attempt < 4; ++attempt) {
                {
                    // On the ticket, freshly read as it opens, only what it does not show yet.
                    SessionWindows windows(
                        [&] {
                            if (!step.shown())
                                step.inTicket();
                        },
                        step.quantity);
                    touchTable(1);
                }
                if (errors.messages.isEmpty() && step.shown())
                    break;
                if (errors.messages.isEmpty())
                    continue;
                ++told;
                for (const QString& message : std::as_const(errors.messages))
                    EXPECT_TRUE(message.startsWith(lostText)) << step.name << ": " << message.toStdString();
                errors.messages.clear();
                proxy->restore();
            }
            EXPECT_EQ(served(), step.expected) << "after " << step.name;
            expectNoOrphans(db->value("select CODMOVIMENTO from MOVIMENTOSPRODUTOS where CODMOVIMENTO > ?",
                                      {lastSampleMovement})
                                .toInt());
        }
        return told;
    }

    // Strikes at the `at`-th statement or commit of the session.
    void strikeAtEvent(int at, bool loseReply)
    {
        auto seen = std::make_shared<int>(0);
        auto strike = [this, seen, at, loseReply] {
            if ((*seen)++ == at)
                loseReply ? proxy->loseNextReply() : proxy->cut();
        };
        log->onEntry = [strike](const SentStatement& e) {
            if (!e.commit)
                strike();
        };
        log->onCommitting = [strike](const QString&) { strike(); };
    }
};

// A clean session is counted first; then one fault strikes at a point chosen at random (the
// same for every run of this case) among its statements and commits.
TEST_P(WaiterSession, EndsAsPlannedWhereverTheNetworkDrops)
{
    auto events = std::make_shared<int>(0);
    log->onEntry = [events](const SentStatement& e) { *events += e.commit ? 0 : 1; };
    log->onCommitting = [events](const QString&) { ++*events; };
    EXPECT_EQ(runSession(), 0);
    const int total = *events;
    ASSERT_GT(total, 10);

    // The same session again on a fresh database and a fresh program.
    log.reset();
    program.reset();
    db = TestDatabase::copyOf("sample", Access::Server);
    start();
    showFloor();

    std::mt19937 random(static_cast<unsigned>(GetParam()));
    const int at = std::uniform_int_distribution<int>(0, total - 1)(random);
    const bool loseReply = GetParam() % 2 == 1;
    strikeAtEvent(at, loseReply);
    EXPECT_EQ(runSession(), 1) << "event " << at << " of " << total << (loseReply ? ", reply lost" : ", cut");
}

INSTANTIATE_TEST_SUITE_P(RandomCuts, WaiterSession, testing::Range(1, 25));

} // namespace

