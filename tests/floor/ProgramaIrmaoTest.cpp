// Starting the sibling program: waited for with the windows alive, or left running.

#include "ProgramaIrmao.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

namespace {

// A stand-in for the billing program: records its arguments, sleeps, ends with a code.
class FakeProgram {
public:
    explicit FakeProgram(const QString& folderName = "programa", const char* body = "sleep 0.3\nexit 7\n")
    {
        folder_ = dir_.filePath(folderName);
        QDir().mkpath(folder_);
        path_ = folder_ + "/caixa";
        QFile script(path_);
        script.open(QIODevice::WriteOnly);
        script.write("#!/bin/sh\n: > \"$0.args\"\nfor a in \"$@\"; do echo \"$a\" >> \"$0.args\"; done\n");
        script.write(body);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QString& folder() const { return folder_; }
    const QString& path() const { return path_; }
    QStringList arguments() const
    {
        QFile f(path_ + ".args");
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()).split('\n', Qt::SkipEmptyParts)
                                           : QStringList();
    }

private:
    QTemporaryDir dir_;
    QString folder_;
    QString path_;
};

TEST(SiblingProgram, LivesInTheProgramsFolder)
{
    DefinePastaDoPrograma("/opt/zenobra");
    EXPECT_EQ(CaminhoCaixa(), "/opt/zenobra/caixa");
    DefinePastaDoPrograma(QString());
    EXPECT_EQ(CaminhoCaixa(), QCoreApplication::applicationDirPath() + "/caixa");
}

TEST(SiblingProgram, WaitingServesTheWindowsAndGivesTheExitCode)
{
    FakeProgram caixa("pasta com espaços");
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
    FakeProgram caixa;
    QString tooLong = caixa.path() + " KOVA " + QString(600, u'9');
    EXPECT_EQ(ExecutaEEspera(tooLong, SW_SHOW), -1) << "never run a command line cut short";
    EXPECT_TRUE(caixa.arguments().isEmpty());
}

TEST(SiblingProgram, SalesStartReturnsAtOnce)
{
    FakeProgram caixa("programa", "sleep 1\n");
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
