// Starting the sibling program: waited for with the windows alive, or left running.

#include "base/ProgramaIrmao.h"
#include "support/FakeCaixa.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
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
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    QElapsedTimer clock;
    clock.start();
    int code = ExecutaEEspera('"' + caixa.path() + "\" KOVA 1234", SW_SHOW);
    EXPECT_EQ(code, 7);
    EXPECT_GE(clock.elapsed(), 250) << "returns only when the program has ended";
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
    FakeCaixa caixa("programa", "sleep 1\n");
    QElapsedTimer clock;
    clock.start();
    IniciaPrograma('"' + caixa.path() + '"', SW_SHOW);
    EXPECT_LT(clock.elapsed(), 500);
    QElapsedTimer wait;
    wait.start();
    while (!QFile::exists(caixa.path() + ".args") && wait.elapsed() < 3000)
        QThread::msleep(20);
    ASSERT_TRUE(QFile::exists(caixa.path() + ".args")) << "it was started";
    EXPECT_TRUE(caixa.arguments().isEmpty()) << "without arguments";
}

} // namespace
