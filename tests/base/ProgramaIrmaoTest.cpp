// Starting the sibling program: waited for with the windows alive, or left running.

#include "base/ProgramaIrmao.h"
#include "support/FakeCaixa.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

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
    QTRY_VERIFY(caixa.started()); // "it was started"
    EXPECT_TRUE(caixa.arguments().isEmpty()) << "without arguments";
    caixa.release();
    QTRY_VERIFY(caixa.ended());
}

} // namespace
