// The real program asked for its version or its help answers on standard output and ends
// with 0 without a display, a settings file or a database client; and what it logs reaches
// standard error one timestamped line at a time.

#include "app/Versao.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The program ends by itself here; one that does not is ended all the same.
struct OwnProcess {
    QProcess process;
    ~OwnProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(5000)) {
                process.kill();
                process.waitForFinished(5000);
            }
        }
    }
};

// No display to open, a settings file that does not exist and no client library: a program
// that touched any of them would fail or wait.
QProcessEnvironment nothingToOpen(const QTemporaryDir& dir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("ZENOBRA_INI", dir.filePath("ZENOBRA.Ini"));
    environment.insert("ZENOBRA_FBCLIENT", dir.filePath("no-client.so"));
    return environment;
}

struct OptionCase {
    const char* name;
    QStringList arguments;
    QStringList expected; // each must be in the output
    friend std::ostream& operator<<(std::ostream& os, const OptionCase& c) { return os << c.name; }
};

class Option : public testing::TestWithParam<OptionCase> {};

TEST_P(Option, AnswersOnStandardOutputAndEndsWithZero)
{
    QTemporaryDir dir;
    OwnProcess run;
    run.process.setProcessEnvironment(nothingToOpen(dir));
    run.process.start(QStringLiteral(ZK_PROGRAM), GetParam().arguments);
    ASSERT_TRUE(run.process.waitForFinished(10000)) << "still running 10 s after it was started";
    EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(run.process.exitCode(), 0);
    const QString output = QString::fromLocal8Bit(run.process.readAllStandardOutput());
    for (QString expected : GetParam().expected)
        EXPECT_TRUE(output.contains(expected.replace("$INI", dir.filePath("ZENOBRA.Ini"))))
            << expected.toStdString() << "\n" << output.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("ZENOBRA.Ini"))) << "the installation dialog ran";
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Option,
    testing::Values(OptionCase{"Version", {"--version"}, {"Zenobra Kova " ZK_VERSION "\n"}},
                    OptionCase{"Help", {"--help"}, {"Usage: zenobra", "$INI", "ZENOBRA_INI", "ZENOBRA_FBCLIENT", "XDG_CONFIG_HOME"}},
                    OptionCase{"AfterOtherArguments", {"-tablet", "x", "--version"}, {"Zenobra Kova " ZK_VERSION}}),
    [](const auto& info) { return std::string(info.param.name); });

// A program that cannot load the client says so in the log before its box; the box waits for
// a touch, and SIGTERM ends it with the start-up failure's code.
TEST(ProgramLog, StartUpFailureAndEndSignalAreTimestampedLines)
{
    QTemporaryDir dir;
    QProcessEnvironment environment = nothingToOpen(dir);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    OwnProcess run;
    run.process.setProcessEnvironment(environment);
    run.process.start(QStringLiteral(ZK_PROGRAM), {});
    QByteArray log;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            log += run.process.readAllStandardError();
            return log.contains("start-up failed");
        },
        10000))
        << "no start-up failure logged:\n" << log.constData();
    run.process.terminate();
    ASSERT_TRUE(run.process.waitForFinished(5000)) << "still running 5 s after SIGTERM";
    EXPECT_EQ(run.process.exitCode(), 1);
    log += run.process.readAllStandardError();

    const QString stamp = QStringLiteral(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z )");
    const QStringList expected = {
        stamp + R"(zenobra\.app info: Zenobra Kova )" + QRegularExpression::escape(ZK_VERSION) + R"( started, process \d+)",
        stamp + R"(zenobra\.app critical: start-up failed: Exception ClientLibraryError in module zenobra\. \| .*no-client\.so.*)",
        stamp + R"(zenobra\.app info: end asked by SIGTERM)",
        stamp + R"(zenobra\.app info: ended with exit code 1)"};
    // Qt's own lines (the platform's remarks) are in the same form, between the program's.
    QStringList ours;
    for (const QString& line : QString::fromUtf8(log).split(u'\n', Qt::SkipEmptyParts)) {
        EXPECT_TRUE(QRegularExpression(u'^' + stamp + R"(\S+ (debug|info|warning|critical): )").match(line).hasMatch())
            << line.toStdString();
        if (line.contains(QLatin1String(" zenobra.")))
            ours << line;
    }
    ASSERT_EQ(ours.size(), expected.size()) << log.constData();
    for (qsizetype i = 0; i < ours.size(); ++i)
        EXPECT_TRUE(QRegularExpression(u'^' + expected[i] + u'$').match(ours[i]).hasMatch()) << ours[i].toStdString();
}

} // namespace
