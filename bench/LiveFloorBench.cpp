// The live floor on the benchmark house (1,000 tables) through the loopback Firebird server
// (ZENOBRA_TEST_FB_SERVER / ZENOBRA_TEST_FB_PASSWORD, as scripts/bench starts it):
//   - a table changed and committed by another terminal (attachment A) until this terminal's
//     floor (B) has read it and repainted its tiles; target: median <= 100 ms;
//   - what reading the floor again costs (SPMESAS, read whole) at 100 and at 1,000 tables.
// Usage: bench_livefloor [runs]

#include "app/Program.h"
#include "BenchHouse.h"
#include "data/fb/Statement.h"
#include "ui/Aplicacao.h"
#include "ui/DbCtrlGrid.h"

#include <QElapsedTimer>

#include <cstdio>
#include <vector>

namespace {
// The grid's paints, counted.
class Paints : public QObject {
public:
    explicit Paints(QWidget& widget) { widget.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Paint;
        return false;
    }
};

void waitFor(const std::function<bool()>& done)
{
    QElapsedTimer limit;
    limit.start();
    while (!done() && limit.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ZenobraApp app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 21;
    if (!BenchHouse::serverStarted("bench_livefloor"))
        return 0;
    BenchHouse house;
    house.install();

    Program program; // terminal B
    program.FPRincipal.show();
    QCoreApplication::processEvents();
    zk::Query& floor = program.Dm.QPesqMesa;
    Paints paints(*program.FPRincipal.DBCtrlGrid1);

    zk::fb::Attachment other; // terminal A
    other.setDatabaseName(BenchHouse::server() + ':' + house.database());
    other.params() = {"user_name=SYSDBA", "password=" + BenchHouse::password()};
    other.connect();
    zk::fb::Transaction change(other, "A");
    change.start();
    zk::fb::Statement toggle(change, "update MESAS set STATUS = iif(STATUS = 'L', 'O', 'L') where CODMESA = 2");

    auto statusShown = [&] {
        zk::Query::ShowRow row(floor, 1);
        return floor.fieldByName("STATUS").asString();
    };
    std::vector<double> shown;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer pause; // the floor reads at most every 100 ms: the changes come slower
        pause.start();
        waitFor([&] { return pause.elapsed() > 150; });
        const QString before = statusShown();
        const int paintsBefore = paints.count;
        toggle.execute(change, {});
        change.commitRetaining();
        QElapsedTimer clock;
        clock.start();
        waitFor([&] { return statusShown() != before && paints.count > paintsBefore; });
        shown.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("a table changed by another terminal -> this floor read and repainted: median %.1f ms over %d runs "
                "(target <= 100 ms)\n",
                median(shown), runs);

    for (int tables : {1000, 100}) {
        if (tables == 100) {
            zk::fb::Statement(change, "delete from MESAS where DESCRICAO > 100").execute(change, {});
            change.commitRetaining();
        }
        std::vector<double> reads;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer clock;
            clock.start();
            floor.reopen();
            floor.last();
            floor.first();
            reads.push_back(clock.nsecsElapsed() / 1e6);
        }
        std::printf("reading the floor again (SPMESAS, whole) at %d tables: median %.2f ms\n", floor.recordCount(),
                    median(reads));
    }
    return 0;
}
