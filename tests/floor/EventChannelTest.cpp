// The events' channel blocked, as by a server's firewall that was never told about its port:
// refused, or accepted and never answered. The program reaches the server at another loopback
// address, so that the client opens the channel to that address (at the server's fixed events
// port), where the test decides what answers. Start-up and every touch stay within the
// deadline, and the live floor comes back by itself once the channel is open again.

#include "support/SampleProgram.h"
#include "support/Services.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>

#include <chrono>

namespace {

using namespace std::chrono_literals;

constexpr auto deadline = 1s;
constexpr auto withinTheDeadline = std::chrono::milliseconds(deadline + 1s).count();
// The watch asks again with a pause that doubles from half a second: a few tries at most.
constexpr int backAgainWithin = 20000;

enum class Blocked { Refused, Silent };

std::ostream& operator<<(std::ostream& os, Blocked b) { return os << (b == Blocked::Refused ? "Refused" : "Silent"); }

class EventChannel : public testing::TestWithParam<Blocked>, protected SampleProgram {
protected:
    EventChannel() : SampleProgram(Access::Server) {}
    void SetUp() override
    {
        ZK_REQUIRE_SERVER();
        eventsPort = qEnvironmentVariableIntValue("ZENOBRA_TEST_FB_AUX_PORT");
        if (eventsPort == 0)
            GTEST_SKIP() << "the test server's events port is not fixed (ZENOBRA_TEST_FB_AUX_PORT)";
        proxy = std::make_unique<TcpProxy>(qEnvironmentVariable("ZENOBRA_TEST_FB_SERVER"), QStringLiteral("127.0.0.2"));
        deadlineSeconds = 1;
    }

    void openChannel()
    {
        channel.reset(); // the port is let go before it is taken again
        channel = std::make_unique<TcpProxy>(QStringLiteral("127.0.0.1/%1").arg(eventsPort), QStringLiteral("127.0.0.2"),
                                             eventsPort);
    }
    void blockChannel()
    {
        channel.reset(); // nothing listens: refused
        if (GetParam() == Blocked::Silent) { // accepted, never answered
            openChannel();
            channel->hangNewConnections();
        }
    }

    // A change made elsewhere reaches this floor with no touch here.
    bool followsTheFloor(int numero)
    {
        db->exec("update MESAS set STATUS = 'O', CODMOVIMENTO = 100 where DESCRICAO = ?", {numero});
        return QTest::qWaitFor(
            [&] {
                return dm().QPesqMesa.locate("DESCRICAO", numero) &&
                       dm().QPesqMesa.fieldByName("STATUS").asString() == u"O";
            },
            5000);
    }

    // A touch on an occupied table opens its ticket, with its lines, within the deadline.
    void expectTicketOpensInTime()
    {
        QElapsedTimer touched;
        touched.start();
        int shown = -1;
        inTicket(3, [&] { shown = dm().QSpItens.recordCount(); });
        EXPECT_LE(touched.elapsed(), withinTheDeadline);
        EXPECT_EQ(shown, 3);
    }

    void expectLiveFloorBack()
    {
        openChannel();
        ASSERT_TRUE(QTest::qWaitFor([this] { return dm().PisoVivoAtivo(); }, backAgainWithin))
            << "the live floor's event asked for again";
        EXPECT_TRUE(followsTheFloor(2)) << "table 2 shown occupied";
    }

    int eventsPort = 0;
    std::unique_ptr<TcpProxy> channel; // where the client opens the events' channel
};

TEST_P(EventChannel, BlockedAtStartUpHoldsUpNothingAndTheFloorComesBackLive)
{
    blockChannel();
    liveFloorAtStart = false;
    QElapsedTimer started;
    started.start();
    start();
    showFloor();
    EXPECT_LE(started.elapsed(), withinTheDeadline) << "start-up waited for the events' channel";

    expectTicketOpensInTime();
    EXPECT_FALSE(dm().PisoVivoAtivo());
    EXPECT_FALSE(followsTheFloor(1)) << "no live floor while the channel is blocked";
    inTicket(3, [] {});
    ASSERT_TRUE(dm().QPesqMesa.locate("DESCRICAO", 1));
    EXPECT_EQ(dm().QPesqMesa.fieldByName("STATUS").asString(), "O") << "read at its usual moment";

    expectLiveFloorBack();
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

TEST_P(EventChannel, BlockedAfterAReconnectHoldsUpNothingAndTheFloorComesBackLive)
{
    openChannel();
    start();
    showFloor();
    ASSERT_TRUE(followsTheFloor(1));

    blockChannel();
    proxy->cut();
    touchTable(3);
    ASSERT_EQ(errors.messages.size(), 1);
    errors.messages.clear();
    proxy->restore();

    expectTicketOpensInTime();

    expectLiveFloorBack();
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Ways, EventChannel, testing::Values(Blocked::Refused, Blocked::Silent),
                         [](const auto& info) { return info.param == Blocked::Refused ? "Refused" : "Silent"; });

} // namespace
