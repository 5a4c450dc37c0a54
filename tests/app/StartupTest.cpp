// The whole program from start to end: the order of creation, what a failed step leaves,
// and the exit codes.

#include "app/Program.h"
#include "base/Ufuncoes.h"
#include "data/fb/Attachment.h"
#include "support/ErrorLog.h"
#include "support/SampleBar.h"
#include "support/TempIni.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace {

QWidget* topLevel(const char* name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name))
            return w;
    return nullptr;
}

// Runs the program; `onFloor` sees the table floor once the message loop runs, then the
// floor is closed as "Sair" would.
int runProgram(const std::function<void(TFPRincipal&)>& onFloor = {})
{
    QTimer::singleShot(0, [onFloor] {
        auto* floor = qobject_cast<TFPRincipal*>(topLevel("FPRincipal"));
        ASSERT_NE(floor, nullptr);
        if (onFloor)
            onFloor(*floor);
        floor->BitBtn1->click();
    });
    return ExecutaPrograma();
}

TEST(Startup, RunsOnTheSampleBarAndEndsWithCodeZero)
{
    SampleBar bar;
    bar.install();
    QStringList windows;
    int code = runProgram([&](TFPRincipal& floor) {
        for (const char* name : {"FPRincipal", "FMensagem", "FPesqMesa", "FComanda", "FInformaQtd", "FConf",
                                 "FMsgSimNaoTablet"})
            if (topLevel(name))
                windows << name;
        EXPECT_TRUE(floor.isVisible());
        EXPECT_EQ(floor.windowTitle(), "Zenobra - Bar e Restaurante");
        EXPECT_TRUE(floor.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_FALSE(floor.ModoTablet);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(windows.size(), 7);
    EXPECT_TRUE(bar.errors.messages.isEmpty()) << bar.errors.messages.join('\n').toStdString();
    EXPECT_EQ(topLevel("FPRincipal"), nullptr) << "every window is gone at the end";
}

TEST(Startup, UnreachableServerIsReportedTwiceThenTheFloorStartsEmpty)
{
    TempIni ini;
    ini.write("[DADOS]\r\nMODO=CLIENTE\r\nIP=127.0.0.1/1:\r\nTIPOSERVIDOR=L\r\nDIR=/srv\r\n[KOVA]\r\nMODO=-1\r\n");
    ErrorLog errors;
    int code = runProgram([&](TFPRincipal& floor) {
        EXPECT_TRUE(floor.ModoTablet) << "the flag was read before the view failed";
        EXPECT_FALSE(floor.isMaximized()) << "the desktop placement stays";
        EXPECT_EQ(floor.size(), QSize(1008, 689));
    });
    EXPECT_EQ(code, 0);
    ASSERT_EQ(errors.messages.size(), 2);
    EXPECT_EQ(errors.messages[0], errors.messages[1]);
    EXPECT_TRUE(errors.messages[0].contains("127.0.0.1")) << errors.messages[0].toStdString();
    EXPECT_FALSE(ini.bytes().isEmpty());
    EXPECT_TRUE(ini.bytes().contains("IP=127.0.0.1/1:")) << "the settings are not changed";
}

TEST(Startup, UnreadableTabletFlagKeepsTheDesktopLayoutAndNoTables)
{
    SampleBar bar;
    bar.install();
    GravarIni("KOVA", "MODO", "yes");
    EXPECT_EQ(runProgram([&](TFPRincipal& floor) {
                  EXPECT_FALSE(floor.ModoTablet);
                  EXPECT_FALSE(floor.isMaximized());
              }),
              0);
    EXPECT_EQ(bar.errors.messages, QStringList({"'yes' is not a valid boolean value."}));
    EXPECT_EQ(LerIni("KOVA", "MODO"), "yes") << "the file is not repaired";
}

TEST(Startup, TabletFlagMaximisesTheFloor)
{
    SampleBar bar;
    bar.install();
    GravarIni("KOVA", "MODO", "TRUE");
    runProgram([&](TFPRincipal& floor) {
        EXPECT_TRUE(floor.ModoTablet);
        EXPECT_TRUE(floor.windowState() & Qt::WindowMaximized);
    });
    EXPECT_TRUE(bar.errors.messages.isEmpty());
}

TEST(Startup, MissingClientLibraryEndsWithCodeOneBeforeAnyWindow)
{
    if (zk::fb::clientLoaded())
        GTEST_SKIP() << "the client library is already loaded in this process";
    TempIni ini;
    qputenv("ZENOBRA_FBCLIENT", "/nonexistent/libfbclient.so");
    QStringList fatal;
    auto previous = zk::setFatalReporter([&](const QString& text) {
        fatal << text;
        EXPECT_EQ(topLevel("FPRincipal"), nullptr);
    });
    ErrorLog errors;
    EXPECT_EQ(ExecutaPrograma(), 1);
    zk::setFatalReporter(previous);
    qunsetenv("ZENOBRA_FBCLIENT");
    EXPECT_EQ(fatal, QStringList({"Exception ClientLibraryError in module zenobra.\n"
                                  "Não foi possível carregar a biblioteca cliente do Firebird (/nonexistent/libfbclient.so)"}));
    EXPECT_TRUE(errors.messages.isEmpty());
    EXPECT_FALSE(ini.exists()) << "no installation dialog either";
}

} // namespace
