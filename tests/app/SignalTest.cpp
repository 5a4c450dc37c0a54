// The real program asked to end by a signal (a system shutdown, a kiosk restart, Ctrl+C):
// it ends as "Sair" does, with exit code 0, at once, on the embedded engine and through the
// server, however far its start had come.

#include "support/RunningProgram.h"
#include "support/SampleBar.h"
#include "support/Services.h"

#include <gtest/gtest.h>

#include <QTest>

#include <csignal>

namespace {

struct SignalCase {
    const char* name;
    int signal;
    TestDatabase::Access access;
    friend std::ostream& operator<<(std::ostream& os, const SignalCase& c) { return os << c.name; }
};

class EndOnSignal : public testing::TestWithParam<SignalCase> {};

TEST_P(EndOnSignal, EndsWithCodeZeroAtOnce)
{
    const SignalCase& c = GetParam();
    const bool server = c.access == TestDatabase::Access::Server;
    if (server)
        ZK_REQUIRE_SERVER();
    SampleBar bar(c.access);
    bar.install();
    const QString attachments = QStringLiteral("select count(*) from MON$ATTACHMENTS where MON$ATTACHMENT_ID <> "
                                               "CURRENT_CONNECTION and MON$SYSTEM_FLAG = 0");
    RunningProgram zenobra;
    QProcessEnvironment environment;
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    ASSERT_TRUE(zenobra.start(environment));
    ASSERT_TRUE(QTest::qWaitFor([&] { return zenobra.handlesEndSignals(); }, 10000));
    // Through the server, the program is seen connected first (its own connection and the
    // live floor's); on the embedded engine the file is the program's alone, and the signal
    // may come at any point of its start.
    if (server) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return bar.db->value(attachments).toInt() == 2; }, 10000));
    }

    ::kill(static_cast<pid_t>(zenobra.pid()), c.signal);
    // A hang detector, generous for a loaded machine: how fast it ends is bench_signal's.
    ASSERT_TRUE(zenobra.waitForEnd(30000)) << "still running 30 s after the signal";
    EXPECT_EQ(zenobra.exitCode(), 0);
    EXPECT_EQ(bar.db->value(attachments).toInt(), 0) << "the connection was closed";
}

INSTANTIATE_TEST_SUITE_P(
    Signals, EndOnSignal,
    testing::Values(SignalCase{"TermEmbedded", SIGTERM, TestDatabase::Access::Embedded},
                    SignalCase{"IntEmbedded", SIGINT, TestDatabase::Access::Embedded},
                    SignalCase{"HupEmbedded", SIGHUP, TestDatabase::Access::Embedded},
                    SignalCase{"TermServer", SIGTERM, TestDatabase::Access::Server},
                    SignalCase{"IntServer", SIGINT, TestDatabase::Access::Server},
                    SignalCase{"HupServer", SIGHUP, TestDatabase::Access::Server}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
