// The real program asked to end by SIGTERM (a system shutdown, a kiosk restart) once it shows
// the floor of the sample bar through the loopback Firebird server (as scripts/bench starts
// it): from the signal to the end of the process, which closes its connection on the way.
// Target: median <= 2 s.
// Usage: bench_signal [runs]

#include "BenchHouse.h"
#include "support/RunningProgram.h"
#include "support/SampleBar.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 10;
    if (!BenchHouse::serverStarted("bench_signal"))
        return 0;
    const QString attachments = QStringLiteral("select count(*) from MON$ATTACHMENTS where MON$ATTACHMENT_ID <> "
                                               "CURRENT_CONNECTION and MON$SYSTEM_FLAG = 0");
    QProcessEnvironment environment;
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    std::vector<double> times;
    int hung = 0, failed = 0;
    for (int i = 0; i < runs; ++i) {
        SampleBar bar(SampleBar::Access::Server);
        bar.install();
        RunningProgram zenobra;
        if (!zenobra.start(environment) || !QTest::qWaitFor([&] { return zenobra.handlesEndSignals(); }, 10000) ||
            !QTest::qWaitFor([&] { return bar.db->value(attachments).toInt() == 2; }, 10000)) {
            ++failed;
            continue;
        }
        QElapsedTimer ending;
        ending.start();
        ::kill(static_cast<pid_t>(zenobra.pid()), SIGTERM);
        if (!zenobra.waitForEnd(30000)) {
            ++hung;
            continue;
        }
        times.push_back(ending.nsecsElapsed() / 1e6);
    }
    std::printf("SIGTERM -> the program ended: median %.1f ms over %d runs (target <= 2000 ms); "
                "%d still running after 30 s, %d never came up\n",
                times.empty() ? -1.0 : median(times), int(times.size()), hung, failed);
    return 0;
}
