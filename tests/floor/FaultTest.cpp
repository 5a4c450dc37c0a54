// A network that drops at any step of a waiter's action, and a server that goes away and
// comes back. The program's connection goes through a proxy the test cuts; the database is
// checked through a connection of the test's own, straight to the server.

#include "support/LogCapture.h"
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
        showFloor();
    }

    void strikeAt(const FaultPoint& point)
    {
        auto strike = [this, point] {
            log->onEntry = nullptr;
            log->onCommitting = nullptr;
            point.loseReply ? proxy->loseNextReply() : proxy->cut();
        };
        if (!point.sql.isEmpty())
            log->onEntry = [point, strike](const SentStatement& e) {
                if (!e.commit && e.sql.startsWith(point.sql))
                    strike();
            };
        else
            log->onCommitting = [point, strike](const QString& transaction) {
                if (transaction == point.commitOf)
                    strike();
            };
    }

    // The waiter was told, once, that the connection is gone.
    void expectToldLostOnce()
    {
        ASSERT_EQ(errors.messages.size(), 1) << errors.messages.join('\n').toStdString();
        EXPECT_TRUE(errors.messages.front().startsWith(lostText)) << errors.messages.front().toStdString();
        errors.messages.clear();
    }

    int count(const QString& sql, const QVariantList& params = {}) { return db->value(sql, params).toInt(); }
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
    friend std::ostream& operator<<(std::ostream& os, const LineCut& c) { return os << c.name; }
};

class LineSaveCut : public FaultTest, public testing::WithParamInterface<LineCut> {};

// Whatever step the cut falls on, the line the waiter confirmed ends on the server exactly
// once. A line that was being sent shows after the touch that brings the connection back,
// which does nothing more; a line whose key was never taken is added by that touch. The next
// line goes as usual.
TEST_P(LineSaveCut, TheLineEndsOnTheServerExactlyOnce)
{
    const LineCut& c = GetParam();
    const int before = lineCount(101);
    int shownAfterRecovery = -1;
    inTicket(3, [&] {
        strikeAt(c.point);
        if (c.keypadShows)
            whenModalOpens(waiter::keypad("2"));
        touchProduct(1007);
        expectToldLostOnce();

        proxy->restore();
        if (!c.keypadShows)
            whenModalOpens(waiter::keypad("2"));
        touchProduct(1007);
        dm().QSpItens.last(); // every line, as the grid's scroll bar reads them
        shownAfterRecovery = dm().QSpItens.recordCount();
        addProduct(1001, "1");
    });
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    EXPECT_EQ(shownAfterRecovery, before + 1) << "the ticket shows what the server holds";
    EXPECT_EQ(count("select count(*) from ITENSMOVIMENTOPROD where CODMOVIMENTO = 101 and CODPRODUTO = 1007 "
                    "and QTD = 2"),
              1);
    EXPECT_EQ(lineCount(101), before + 2);
    expectNoOrphans();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, LineSaveCut,
    testing::Values(LineCut{"BeforeTheKey", {"SELECT GEN_ID(\"GEN_ITENSMOVIMENTOPROD\"", {}, false}, false},
                    LineCut{"BeforeTheInsert", {"insert into ITENSMOVIMENTOPROD", {}, false}, true},
                    LineCut{"ReplyOfTheInsertLost", {"insert into ITENSMOVIMENTOPROD", {}, true}, true},
                    LineCut{"BeforeTheCommit", {{}, "TsMov", false}, true},
                    LineCut{"ReplyOfTheCommitLost", {{}, "TsMov", true}, true}),
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
        std::function<bool()> done;
        std::function<void()> inTicket;
        QString quantity;
    };

    std::vector<Step> steps()
    {
        auto has = [this](int produto) {
            return count("select count(*) from ITENSMOVIMENTOPROD where CODMOVIMENTO = ? and CODPRODUTO = ?",
                         {table(1).value(1).toInt(), produto});
        };
        return {
            {"open table 1", [this] { return table(1).value(0) == "O"; }, [] {}, {}},
            {"add 2 x 1007", [has] { return has(1007) == 1; }, [this] { touchProduct(1007); }, "2"},
            {"add 1 x 1001", [has] { return has(1001) == 1; }, [this] { touchProduct(1001); }, "1"},
            {"delete 1007", [has] { return has(1007) == 0; },
             [this] {
                 ASSERT_TRUE(dm().QSpItens.locate("CODPRODUTO", 1007));
                 waiter::touchBin(*ticket().GridItens);
             },
             {}},
            {"free table 1", [this] { return table(1).value(0) == "L"; }, [this] { ticket().BtnLiberarMesa->click(); },
             {}},
        };
    }

    // Runs the session to its end; a touch the network failed is told, and the waiter, once the
    // network is back, touches again. Answers how many of the session's steps were interrupted.
    int runSession()
    {
        int told = 0;
        std::optional<int> order;
        for (const Step& step : steps()) {
            for (int attempt = 0; attempt < 4 && !step.done(); ++attempt) {
                {
                    SessionWindows windows(step.inTicket, step.quantity);
                    touchTable(1);
                }
                if (errors.messages.isEmpty())
                    continue;
                ++told;
                for (const QString& message : std::as_const(errors.messages))
                    EXPECT_TRUE(message.startsWith(lostText)) << step.name << ": " << message.toStdString();
                errors.messages.clear();
                proxy->restore();
            }
            EXPECT_TRUE(step.done()) << step.name;
            if (std::string_view(step.name) == "open table 1")
                order = table(1).value(1).toInt();
            expectNoOrphans(order.value_or(0));
            EXPECT_LE(count("select max(n) from (select count(*) n from ITENSMOVIMENTOPROD where CODMOVIMENTO > ? "
                            "group by CODMOVIMENTO, CODPRODUTO)",
                            {lastSampleMovement}),
                      1)
                << "a line twice, after " << step.name;
        }
        // The order stays stored when its table is freed, with the one line left.
        EXPECT_EQ(db->rows("select CODPRODUTO, QTD from ITENSMOVIMENTOPROD where CODMOVIMENTO = ?", {order.value_or(0)}),
                  (QList<QVariantList>{{1001, 1.0}}));
        EXPECT_EQ(db->rows("select STATUS, CODMOVIMENTO from MESAS where DESCRICAO = 1"), (QList<QVariantList>{{"L", 0}}));
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

