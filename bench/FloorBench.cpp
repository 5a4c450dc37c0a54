// The table floor with many tables (the benchmark house, 1,000 tables): a full repaint of
// the visible tiles offscreen, and paging through every table with Page Down, each at 100
// and at 1,000 tables in the view, so that a cost growing with the number of tables shows.
// Run: build/bench/bench_floor  (medians of 10 repetitions; target: repaint <= 8 ms)

#include "app/Program.h"
#include "base/Ufuncoes.h"
#include "ui/Aplicacao.h"
#include "ui/DbCtrlGrid.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <map>

namespace {

// A started program on its own copy of the benchmark house, cut to `tables` tables.
class Floor {
public:
    explicit Floor(int tables)
    {
        QString copy = dir_.filePath(QStringLiteral("zenobra/dados/zenobra.gdb"));
        QDir().mkpath(QFileInfo(copy).absolutePath());
        QFile::copy(QStringLiteral(ZK_BENCH_FDB), copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        qputenv("ZENOBRA_INI", dir_.filePath(QStringLiteral("ZENOBRA.Ini")).toLocal8Bit());
        GravarIni(QStringLiteral("DADOS"), QStringLiteral("TIPOSERVIDOR"), QStringLiteral("L"));
        GravarIni(QStringLiteral("DADOS"), QStringLiteral("DIR"), dir_.path());
        program_ = std::make_unique<Program>();

        TDm& dm = program_->Dm;
        zk::fb::Transaction cut(dm.Db, QStringLiteral("bench"));
        cut.start();
        zk::fb::Statement(cut, QStringLiteral("delete from MESAS where DESCRICAO > %1").arg(tables)).execute(cut, {});
        cut.commit();
        dm.QPesqMesa.close();
        dm.QPesqMesa.open();
        dm.QPesqMesa.last();
        dm.QPesqMesa.first();
        floor().show();
        QApplication::processEvents();
    }

    TFPRincipal& floor() { return program_->FPRincipal; }
    zk::DbCtrlGrid& grid() { return *floor().DBCtrlGrid1; }
    zk::Query& view() { return program_->Dm.QPesqMesa; }

    static Floor& with(int tables)
    {
        auto& floor = all()[tables];
        if (!floor)
            floor = std::make_unique<Floor>(tables);
        return *floor;
    }
    // The windows must go while the application object still exists.
    static void closeAll() { all().clear(); }

private:
    static std::map<int, std::unique_ptr<Floor>>& all()
    {
        static std::map<int, std::unique_ptr<Floor>> floors;
        return floors;
    }

    QTemporaryDir dir_;
    std::unique_ptr<Program> program_;
};

void key(QWidget& widget, int k)
{
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

// Every visible tile painted once, into an image the size of the grid.
void FullRepaint(benchmark::State& state)
{
    Floor& floor = Floor::with(int(state.range(0)));
    bool lastPage = state.range(1) != 0;
    lastPage ? floor.view().last() : floor.view().first();
    QImage target(floor.grid().size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        floor.grid().render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["tables"] = double(floor.view().recordCount());
    state.SetLabel(lastPage ? "last page" : "first page");
}
BENCHMARK(FullRepaint)
    ->ArgsProduct({{100, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

// From the first table to the last, one Page Down and one repaint at a time.
void PagingThroughAllTables(benchmark::State& state)
{
    Floor& floor = Floor::with(int(state.range(0)));
    QImage target(floor.grid().size(), QImage::Format_ARGB32_Premultiplied);
    int pages = 0;
    for (auto _ : state) {
        floor.view().first();
        pages = 0;
        while (!floor.view().eof() && floor.view().recNo() < floor.view().recordCount() - 1) {
            key(floor.grid(), Qt::Key_PageDown);
            floor.grid().render(&target);
            ++pages;
        }
    }
    state.counters["pages"] = pages; // the time per page is the time shown divided by this
}
BENCHMARK(PagingThroughAllTables)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ZenobraApp app(argc, argv);
    zk::setErrorReporter([](const QString& text) { qWarning("error: %s", qPrintable(text)); });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Floor::closeAll();
    return 0;
}
