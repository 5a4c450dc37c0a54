// Starting the sibling program: waited for with the windows alive, or left running.

#include "base/ProgramaIrmao.h"
#include "support/FakeCaixa.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

namespace {

TEST(SiblingProgram, LivesInTheProgramsFolder)
{
    DefinePastaDoPrograma("/opt/zenobra");
    EXPECT_EQ(CaminhoCaixa(), "/opt/zenobra/caixa");
    DefinePastaDoPrograma(QString());
    EXPECT_EQ(CaminhoCaixa(), QCoreApplication::applicationDirPath() + "/caixa");
}

TEST(SiblingProgram, WaitingServesTheWindowsAndGivesTheExitCode)
{
    FakeCaixa caixa("pasta com espaços");
    // The program runs until the event loop has turned three times while it ran.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (caixa.started() && ++ticks == 3)
            caixa.release();
    });
    timer.start(20);
    int code = ExecutaEEspera('"' + caixa.path() + "\" KOVA 1234", SW_SHOW);
    EXPECT_EQ(code, 7);
    EXPECT_TRUE(caixa.ended()) << "returns only when the program has ended";
    EXPECT_GE(ticks, 3) << "timers and painting go on while it runs";
    EXPECT_EQ(caixa.arguments(), QStringList({"KOVA", "1234"}));
}

TEST(SiblingProgram, WhatCannotStartGivesMinusOne)
{
    EXPECT_EQ(ExecutaEEspera("/nonexistent/caixa KOVA 1", SW_SHOW), -1);
    EXPECT_EQ(ExecutaEEspera("", SW_SHOW), -1);
    FakeCaixa caixa;
    QString tooLong = caixa.path() + " KOVA " + QString(600, u'9');
    EXPECT_EQ(ExecutaEEspera(tooLong, SW_SHOW), -1) << "never run a command line cut short";
    EXPECT_TRUE(caixa.arguments().isEmpty());
}

TEST(SiblingProgram, SalesStartReturnsAtOnce)
{
    FakeCaixa caixa;
    IniciaPrograma('"' + caixa.path() + '"', SW_SHOW);
    // It runs until released: had the start waited for it, the program would have ended.
    EXPECT_FALSE(caixa.ended());
    ASSERT_TRUE(QTest::qWaitFor([&] { return caixa.started(); })) << "the sales program started";
    EXPECT_TRUE(caixa.arguments().isEmpty()) << "without arguments";
    caixa.release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return caixa.ended(); })) << "the sales program ended once released";
}

// The sibling inherits nothing of this program but its standard streams: not the connection
// to the server, whose attachment would otherwise live on, holding its locks, as long as the
// billing program runs after this program is gone.
TEST(SiblingProgram, InheritsNoSocketOfThisProgram)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0); // as a client library may open it
    ASSERT_GE(socket, 0);
    FakeCaixa billing;
    billing.release();
    EXPECT_EQ(ExecutaEEspera('"' + billing.path() + "\" KOVA 1", SW_SHOW), 7);
    EXPECT_EQ(billing.sockets(), QStringList());

    FakeCaixa sales;
    sales.release();
    IniciaPrograma('"' + sales.path() + '"', SW_SHOW);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sales.ended(); })) << "the sales program ran";
    EXPECT_EQ(sales.sockets(), QStringList());
    ::close(socket);
}

} // namespace
