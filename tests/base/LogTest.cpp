// The technician's log: one line per event in a fixed form, and every error and message the
// waiter is shown is in it, whatever shows it.

#include "base/Erros.h"
#include "base/Log.h"
#include "base/Ufuncoes.h"
#include "support/ErrorLog.h"
#include "support/LogCapture.h"
#include "support/MessageLog.h"

#include <gtest/gtest.h>

#include <QDateTime>

namespace {

struct LineCase {
    const char* name;
    QtMsgType type;
    const char* category;
    QString text;
    QDateTime when;
    QByteArray expected;
    friend std::ostream& operator<<(std::ostream& os, const LineCase& c) { return os << c.name; }
};

const QDateTime evening(QDate(2026, 12, 10), QTime(21, 4, 5, 120), Qt::UTC);

class LogLine : public testing::TestWithParam<LineCase> {};

TEST_P(LogLine, IsOneLineWithTimeCategoryAndLevel)
{
    const LineCase& c = GetParam();
    EXPECT_EQ(zk::log::line(c.type, c.category, c.text, c.when), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Log, LogLine,
    testing::Values(
        LineCase{"Info", QtInfoMsg, "zenobra.app", "started", evening,
                 "2026-12-10T21:04:05.120Z zenobra.app info: started\n"},
        // The client's errors come one message per line: a line break would split the entry.
        LineCase{"BreaksJoined", QtWarningMsg, "zenobra.db", "Unable to complete\nnetwork\r\nrequest\r", evening,
                 "2026-12-10T21:04:05.120Z zenobra.db warning: Unable to complete | network | request | \n"},
        LineCase{"LocalTimeInUtc", QtCriticalMsg, "zenobra.app", QString::fromUtf8("não carregou"),
                 QDateTime(QDate(2026, 12, 10), QTime(18, 4, 5, 120), Qt::OffsetFromUTC, -3 * 3600),
                 "2026-12-10T21:04:05.120Z zenobra.app critical: n\xc3\xa3o carregou\n"},
        LineCase{"NoCategory", QtDebugMsg, nullptr, "x", evening, "2026-12-10T21:04:05.120Z default debug: x\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Log, EveryErrorAndMessageShownIsLoggedAndASilentStopIsNot)
{
    LogCapture log;
    ErrorLog shown;
    MessageLog messages;
    zk::reportError(zk::DatabaseError("Unable to complete network request\nError writing data", zk::DatabaseError::Cause::ConnectionLost));
    zk::reportError(zk::SilentStop());
    Mensagem(QString::fromUtf8("Esta mesa não está mais livre; nenhuma comanda foi aberta. A tela foi atualizada."));

    EXPECT_EQ(shown.messages.size(), 1);
    EXPECT_EQ(log.lines(),
              QStringList({"zenobra.ui warning: error: Unable to complete network request\nError writing data.",
                           QString::fromUtf8("zenobra.ui info: message: Esta mesa não está mais livre; nenhuma comanda "
                                             "foi aberta. A tela foi atualizada.")}));
}

TEST(Log, AProgramThatCannotStartSaysWhyInTheLog)
{
    LogCapture log;
    zk::reportFatal("ClientLibraryError", zk::ClientLibraryError("libfbclient.so.2: cannot open shared object file"));
    EXPECT_EQ(log.lines(), QStringList({"zenobra.app critical: start-up failed: Exception ClientLibraryError in "
                                        "module zenobra.\nlibfbclient.so.2: cannot open shared object file."}));
}

} // namespace
