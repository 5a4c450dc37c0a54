// A terminal whose network dropped and came back: from the moment the server is reachable
// again to the ticket shown and painted by the waiter's next touch on an occupied table, on
// the benchmark house (1,000 tables, a 200-line order) through the loopback Firebird server
// (ZENOBRA_TEST_FB_SERVER / ZENOBRA_TEST_FB_PASSWORD, as scripts/bench starts it), behind a
// proxy that drops the connection. It includes the new connection, the end of the lost one
// on the server and the reading again of what the windows show. Target: median <= 1 s.
// Usage: bench_reconnect [runs]

#include "app/Program.h"
#include "BenchHouse.h"
#include "StatementCounter.h"
#include "support/TcpProxy.h"
#include "ui/Aplicacao.h"
#include "ui/DbCtrlGrid.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {
// The ticket shown, its lists read, then painted whole; then the waiter leaves it with "Sair".
class FirstPaint : public QObject {
public:
    explicit FirstPaint(TFComanda& ticket) : ticket_(ticket) { ticket.installEventFilter(this); }
    QElapsedTimer clock;
    std::vector<double> times;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            QTimer::singleShot(0, &ticket_, [this] {
                ticket_.repaint();
                times.push_back(clock.nsecsElapsed() / 1e6);
                ticket_.BtnSair->click();
            });
        return false;
    }

private:
    TFComanda& ticket_;
};
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ZenobraApp app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    if (!BenchHouse::serverStarted("bench_reconnect"))
        return 0;
    QStringList told;
    zk::setErrorReporter([&](const QString& text) { told << text; });

    BenchHouse house;
    TcpProxy proxy(BenchHouse::server());
    house.install(proxy.address());

    Program program;
    StatementCounter counter;
    program.Dm.Db.setObserver(&counter);
    program.FPRincipal.show();
    zk::DbCtrlGrid& tiles = *program.FPRincipal.DBCtrlGrid1;
    FirstPaint paint(program.FComanda);
    // Table 1, occupied by the 200-line order, is the first tile.
    auto touchTable1 = [&] {
        program.Dm.QPesqMesa.first();
        QTest::mouseClick(&tiles, Qt::LeftButton, {}, tiles.panelRect(0).center());
    };
    touchTable1(); // warm: the catalogue and the groups are read at the first showing only

    for (int i = 0; i < runs; ++i) {
        paint.clock.start();
        touchTable1();
    }
    const std::vector<double> plain = std::exchange(paint.times, {});

    int statements = 0;
    for (int i = 0; i < runs; ++i) {
        proxy.cut();
        touchTable1(); // told the connection is gone
        proxy.restore();
        counter.reset();
        paint.clock.start();
        touchTable1();
        statements = counter.statements;
    }
    const int toldLost = int(told.filter("A conexão com o servidor foi perdida").size());
    std::printf("server reachable again -> next touch shows and paints the ticket: median %.1f ms over %d runs "
                "(target <= 1000 ms), %d statements\n",
                paint.times.empty() ? -1.0 : median(paint.times), int(paint.times.size()), statements);
    std::printf("  the same touch with the connection up: median %.1f ms; the waiter was told the connection "
                "was lost %d times in %d cuts, %d other messages\n",
                median(plain), toldLost, runs, int(told.size()) - toldLost);
    return 0;
}
