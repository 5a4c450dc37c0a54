// A network that goes silent under the waiter's finger, on the sample bar through the loopback
// Firebird server (as scripts/bench starts it) and a relay that stops moving bytes: from the
// silence to the lost-connection message on screen, for a line's save (silent as the new
// line's key is asked for) and for a reconnect to a server that accepts and never answers.
// Target: median <= deadline + 0.5 s. Then the normal path: a line's save, keypad to saved,
// and what the deadline's watchdog costs per call to the server.
// Usage: bench_deadline [runs]

#include "BenchHouse.h"
#include "data/fb/Deadline.h"
#include "support/SampleProgram.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

constexpr int deadline = 2; // seconds

// One terminal on a fresh copy of the sample bar, through a relay, with a short deadline.
class Terminal : public SampleProgram {
public:
    Terminal() : SampleProgram(Access::Server)
    {
        throughAProxy();
        deadlineSeconds = deadline;
        start();
        showFloor();
        // The moment the first message reaches the screen.
        zk::setErrorReporter([this](const QString&) {
            if (told < 0)
                told = silent.nsecsElapsed() / 1e6;
        });
    }

    QElapsedTimer silent;
    double told = -1;
};

double silentLineSave()
{
    Terminal terminal;
    terminal.inTicket(3, [&] {
        terminal.log->onceBefore(QStringLiteral("SELECT GEN_ID(\"GEN_ITENSMOVIMENTOPROD\""), {}, [&] {
            terminal.proxy->silence();
            terminal.silent.start();
        });
        terminal.touchProduct(1007);
        terminal.proxy->restore(); // the ticket's closing read goes through
    });
    return terminal.told;
}

double reconnectToAServerThatNeverAnswers()
{
    Terminal terminal;
    terminal.proxy->cut();
    terminal.touchTable(3);
    terminal.proxy->restore();
    terminal.proxy->hangNewConnections();
    terminal.silent.start();
    terminal.touchTable(3);
    return terminal.told;
}

std::vector<double> normalSaves(int saves)
{
    Terminal terminal;
    std::vector<double> times;
    terminal.inTicket(3, [&] {
        for (int i = 0; i < saves; ++i) {
            QElapsedTimer saving;
            whenModalOpens([&](QWidget& keypad) {
                saving.start();
                waiter::keypad("1")(keypad);
            });
            terminal.touchProduct(1001);
            times.push_back(saving.nsecsElapsed() / 1e6);
        }
    });
    return times;
}

double watchdogMicroseconds()
{
    constexpr int calls = 200000;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i)
        zk::fb::CallDeadline call(std::chrono::seconds(5), {});
    return timer.nsecsElapsed() / 1e3 / calls;
}

void report(const char* what, const std::vector<double>& times)
{
    std::printf("%s: median %.0f ms, worst %.0f ms over %d runs (deadline %d s, target <= %d ms)\n", what,
                median(times), *std::max_element(times.begin(), times.end()), int(times.size()), deadline,
                deadline * 1000 + 500);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
    if (!BenchHouse::serverStarted("bench_deadline"))
        return 0;
    std::vector<double> lineSave, reconnect;
    for (int i = 0; i < runs; ++i) {
        lineSave.push_back(silentLineSave());
        reconnect.push_back(reconnectToAServerThatNeverAnswers());
    }
    report("silence -> message, a line's save", lineSave);
    report("silence -> message, a reconnect", reconnect);

    const std::vector<double> saves = normalSaves(40);
    const double perCall = watchdogMicroseconds();
    std::printf("a normal line save, keypad to saved: median %.2f ms over %d saves; the watchdog: %.3f us per call "
                "to the server\n",
                median(saves), int(saves.size()), perCall);
    return 0;
}
