// A network that goes silent: no reset, no answer, nothing either way, as a Wi-Fi out of range
// or a server machine that hangs. The waiter is told within the deadline, whatever step the
// silence falls on; the connection that went silent stays open on the server, holding what it
// held, until the next touch ends it and settles every change exactly once. The database is
// checked through a connection of the test's own, straight to the server.

#include "data/fb/Attachment.h"
#include "data/fb/Statement.h"
#include "data/fb/Transaction.h"
#include "support/Modal.h"
#include "support/SampleProgram.h"
#include "support/Services.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>

#include <chrono>

namespace {

using namespace std::chrono_literals;

const QString toldText = QStringLiteral("A conexão com o servidor foi perdida. Toque novamente para continuar.\n"
                                        "O servidor não respondeu em 1 segundo.");
constexpr auto deadline = 1s;
// The deadline, and the little the program does after it to tell the waiter.
constexpr auto toldWithin = deadline + 1s;

// Where the network goes silent: just before a statement that starts with `sql` is sent, or
// just before `commitOf` is committed; or, once that request has reached the server and been
// carried out, before its reply comes back.
struct SilencePoint {
    QString sql;
    QString commitOf;
    bool afterTheRequest = false;
};

class SilentNetwork : public testing::Test, protected SampleProgram {
protected:
    SilentNetwork() : SampleProgram(Access::Server) {}
    void SetUp() override
    {
        ZK_REQUIRE_SERVER();
        throughAProxy();
        deadlineSeconds = 1;
        start();
        showFloor();
        ASSERT_EQ(dm().Db.deadline(), deadline);
    }

    void silenceAt(const SilencePoint& point)
    {
        log->onceBefore(point.sql, point.commitOf, [this, point] {
            silentConnection = dm().Db.serverId();
            point.afterTheRequest ? proxy->silenceNextReply() : proxy->silence();
            struck.start();
        });
    }

    // The waiter's thread was back soon after the silence, and the waiter told once why.
    void expectToldInTime()
    {
        ASSERT_TRUE(struck.isValid()) << "the network never went silent";
        EXPECT_LE(struck.elapsed(), std::chrono::milliseconds(toldWithin).count());
        ASSERT_EQ(errors.messages.size(), 1) << errors.messages.join('\n').toStdString();
        EXPECT_EQ(errors.messages.front(), toldText);
        errors.messages.clear();
    }

    int count(const QString& sql, const QVariantList& params = {}) { return db->value(sql, params).toInt(); }
    int firstNewMovement() { return count("select max(CODMOVIMENTO) from MOVIMENTOSPRODUTOS") + 1; }

    // What the dining room can trust after the recovery: no table points at a missing order,
    // no order opened here is without its table, and nothing is left locked.
    void expectSettled(int firstNew)
    {
        EXPECT_EQ(tablesWithoutTheirOrder(), 0) << "a table points at a missing order";
        EXPECT_EQ(count("select count(*) from MOVIMENTOSPRODUTOS v where v.CODMOVIMENTO >= ? and not exists "
                        "(select 1 from MESAS m where m.CODMOVIMENTO = v.CODMOVIMENTO)",
                        {firstNew}),
                  0)
            << "an order without its table";
        // Ending a connection is the server's own work, done as soon as it was asked.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return count("select count(*) from MON$ATTACHMENTS where MON$ATTACHMENT_ID = ?", {silentConnection}) == 0;
            },
            2000))
            << "the connection that went silent is still on the server";
        EXPECT_NO_THROW(db->exec("update MESAS set DESCRICAO = DESCRICAO")) << "a table row is still locked";
        EXPECT_NO_THROW(db->exec("update MOVIMENTOSPRODUTOS set SITUACAO = SITUACAO")) << "an order is still locked";
    }
    QElapsedTimer struck;
    qint64 silentConnection = 0;
};

// ---- a line's save, silent at each of its steps ----------------------------------------------

struct LineSilence {
    const char* name;
    SilencePoint point;
    bool keypadFirst; // the keypad came before the silence, and the line was confirmed
    bool keypadAgain; // the line was never sent: the touch after the silence brings the keypad again
    friend std::ostream& operator<<(std::ostream& os, const LineSilence& c) { return os << c.name; }
};

class LineSaveSilent : public SilentNetwork, public testing::WithParamInterface<LineSilence> {};

// Driven through the windows: the product's tile, the keypad, the message; then, the network
// back, the touch that ends the silent connection and settles the line, and the next line.
TEST_P(LineSaveSilent, IsToldWithinTheDeadlineAndEndsOnTheServerOnce)
{
    const LineSilence& c = GetParam();
    const int firstNew = firstNewMovement();
    const int before = lineCount(101);
    inTicket(3, [&] {
        silenceAt(c.point);
        if (c.keypadFirst)
            whenModalOpens(waiter::keypad("2"));
        touchProduct(1007);
        expectToldInTime();

        proxy->restore();
        if (c.keypadAgain)
            whenModalOpens(waiter::keypad("2"));
        touchProduct(1007);
        addProduct(1001, "1");
    });
    // A line that was being sent is on the screen after recovery, which says so and stops.
    for (const QString& message : std::as_const(errors.messages))
        EXPECT_EQ(message, "A conexão com o servidor voltou. A tela foi atualizada: confira e continue.");
    EXPECT_EQ(count("select count(*) from ITENSMOVIMENTOPROD where CODMOVIMENTO = 101 and CODPRODUTO = 1007 "
                    "and QTD = 2"),
              1);
    EXPECT_EQ(lineCount(101), before + 2);
    expectSettled(firstNew);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, LineSaveSilent,
    testing::Values(LineSilence{"TheKey", {"SELECT GEN_ID(\"GEN_ITENSMOVIMENTOPROD\"", {}}, false, true},
                    LineSilence{"TheGuardRead", {"SELECT SITUACAO FROM MOVIMENTOSPRODUTOS", {}}, true, true},
                    LineSilence{"ReplyOfTheGuardRead", {"SELECT SITUACAO FROM MOVIMENTOSPRODUTOS", {}, true}, true, true},
                    LineSilence{"TheInsert", {"insert into ITENSMOVIMENTOPROD", {}}, true, false},
                    LineSilence{"ReplyOfTheInsert", {"insert into ITENSMOVIMENTOPROD", {}, true}, true, false},
                    LineSilence{"TheCommit", {{}, "TsMov"}, true, false},
                    LineSilence{"ReplyOfTheCommit", {{}, "TsMov", true}, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- a free table's opening, silent at each of its steps ---------------------------------------

struct OpeningSilence {
    const char* name;
    SilencePoint point;
    bool completed;  // the table already pointed at its new order on the server
    bool askedAgain; // nothing was sent yet: the touch after the silence asks again (answered "no")
    friend std::ostream& operator<<(std::ostream& os, const OpeningSilence& c) { return os << c.name; }
};

class OpeningSilent : public SilentNetwork, public testing::WithParamInterface<OpeningSilence> {};

TEST_P(OpeningSilent, IsToldWithinTheDeadlineAndIsCompletedOrUndone)
{
    const OpeningSilence& c = GetParam();
    const int firstNew = firstNewMovement();
    silenceAt(c.point);
    waiter::answerQuestion(true);
    touchTable(1);
    expectToldInTime();
    EXPECT_FALSE(ticket().isVisible());

    proxy->restore();
    if (c.askedAgain)
        waiter::answerQuestion(false);
    touchTable(1); // ends the silent connection and settles the opening
    for (const QString& message : std::as_const(errors.messages))
        EXPECT_EQ(message, "A conexão com o servidor voltou. A tela foi atualizada: confira e continue.");
    EXPECT_EQ(table(1).value(0), c.completed ? "O" : "L");
    EXPECT_EQ(count("select count(*) from MOVIMENTOSPRODUTOS where CODMOVIMENTO >= ?", {firstNew}), c.completed ? 1 : 0);
    expectSettled(firstNew);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, OpeningSilent,
    testing::Values(OpeningSilence{"TheTableHeld", {"SELECT STATUS, CODMOVIMENTO, DESCRICAO FROM MESAS", {}}, false, true},
                    OpeningSilence{"TheKey", {"SELECT GEN_ID(\"GEN_MOVIMENTOSPRODUTOS\"", {}}, false, true},
                    OpeningSilence{"TheOrder", {"insert into MOVIMENTOSPRODUTOS", {}}, false, false},
                    OpeningSilence{"ReplyOfTheOrder", {"insert into MOVIMENTOSPRODUTOS", {}, true}, false, false},
                    OpeningSilence{"TheOrderCommit", {{}, "TsMov"}, false, false},
                    OpeningSilence{"ReplyOfTheOrderCommit", {{}, "TsMov", true}, false, false},
                    OpeningSilence{"TheTable", {"update MESAS", {}}, false, false},
                    OpeningSilence{"ReplyOfTheTable", {"update MESAS", {}, true}, false, false},
                    OpeningSilence{"TheTableCommit", {{}, "TsCAd"}, false, false},
                    OpeningSilence{"ReplyOfTheTableCommit", {{}, "TsCAd", true}, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- a row still held while the touch after the silence settles a change --------------------

// The server undoes the silent connection's work in its own time, and another terminal may be
// saving the same row: the change waiting to be sent again meets a held row. Nothing is
// written twice; the waiter is told, and the touch after that settles it.
TEST_F(SilentNetwork, ARowStillHeldWhenTheChangeIsSentAgainIsToldAndTheNextTouchSettlesIt)
{
    inTicket(3, [&] {
        silenceAt({"update MESAS", {}});
        whenModalOpens([](QWidget& box) { answerBox(box, QMessageBox::Yes); });
        ticket().BtnLiberarMesa->click();
        expectToldInTime();
    });
    errors.messages.clear(); // the ticket's closing read met the silence too
    proxy->restore();

    zk::fb::Attachment otherTerminal;
    db->connect(otherTerminal);
    zk::fb::Transaction holder(otherTerminal, QStringLiteral("holder"));
    holder.start();
    zk::fb::Statement(holder, QStringLiteral("update MESAS set STATUS = STATUS where DESCRICAO = 3")).execute(holder, {});
    touchTable(3);
    EXPECT_EQ(errors.messages, QStringList{"A conexão com o servidor foi perdida. Toque novamente para continuar.\n"
                                           "O servidor ainda segura o que a conexão perdida gravava."});
    errors.messages.clear();
    EXPECT_EQ(table(3).value(0), "O") << "nothing written while the row was held";
    holder.commit();

    touchTable(3);
    for (const QString& message : std::as_const(errors.messages))
        EXPECT_EQ(message, "A conexão com o servidor voltou. A tela foi atualizada: confira e continue.");
    EXPECT_EQ(table(3), (QVariantList{"L", 0}));
    expectSettled(firstNewMovement());
}

// ---- reading, and connecting again --------------------------------------------------------------

// The floor is read again as the ticket closes.
TEST_F(SilentNetwork, FloorReadIsToldWithinTheDeadlineAndTheNextTouchReadsIt)
{
    const int firstNew = firstNewMovement();
    inTicket(3, [&] { silenceAt({"SELECT * FROM SPMESAS", {}}); });
    expectToldInTime();

    proxy->restore();
    db->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = 1");
    inTicket(3, [] {});
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
    ASSERT_TRUE(dm().QPesqMesa.locate("DESCRICAO", 1));
    EXPECT_EQ(dm().QPesqMesa.fieldByName("STATUS").asString(), "O");
    expectSettled(firstNew);
}

// A server machine that accepts and never answers: every touch is told within the deadline,
// however long it lasts, and the first touch after it works.
TEST_F(SilentNetwork, ReconnectToAServerThatNeverAnswersIsToldWithinTheDeadline)
{
    proxy->cut();
    touchTable(3);
    errors.messages.clear(); // the drop itself, told as ever
    proxy->restore();
    proxy->hangNewConnections();
    for (int touch = 0; touch < 2; ++touch) {
        struck.start();
        touchTable(3);
        expectToldInTime();
        EXPECT_FALSE(ticket().isVisible());
    }

    proxy->restore();
    int shown = -1;
    inTicket(3, [&] { shown = dm().QSpItens.recordCount(); });
    EXPECT_EQ(shown, 3);
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

} // namespace
