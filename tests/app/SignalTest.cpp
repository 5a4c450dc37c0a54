// The real program asked to end by a signal (a system shutdown, a kiosk restart, Ctrl+C):
// it ends as "Sair" does, with exit code 0, at once, on the embedded engine and through the
// server, however far its start had come.

#include "support/RunningProgram.h"
#include "support/SampleBar.h"
#include "support/Services.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <csignal>

namespace {

// The program has put its own handlers for the three signals (a hexadecimal mask of caught
// signals in /proc): a signal from now on asks it to end.
bool handlesEndSignals(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith("SigCgt:"))
            continue;
        const quint64 caught = line.mid(7).trimmed().toULongLong(nullptr, 16);
        const quint64 wanted = (1ull << (SIGTERM - 1)) | (1ull << (SIGINT - 1)) | (1ull << (SIGHUP - 1));
        return (caught & wanted) == wanted;
    }
    return false;
}

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
    ASSERT_TRUE(QTest::qWaitFor([&] { return handlesEndSignals(zenobra.pid()); }, 10000));
    // Through the server, the program is seen connected first; on the embedded engine the
    // file is the program's alone, and the signal may come at any point of its start.
    if (server) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return bar.db->value(attachments).toInt() == 1; }, 10000));
    }

    QElapsedTimer ending;
    ending.start();
    ::kill(static_cast<pid_t>(zenobra.pid()), c.signal);
    ASSERT_TRUE(zenobra.waitForEnd(5000)) << "still running 5 s after the signal";
    // How long it took is the machine's business: kept in the test report, not judged here.
    RecordProperty("milliseconds_to_end", static_cast<int>(ending.elapsed()));
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
