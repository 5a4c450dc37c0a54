// The record-set engine against a plain cursor loop of the client API, on the benchmark
// database (10,000 products, a 200-line order), through the embedded engine:
//   - opening and fetching the whole catalogue (41 columns), and FiltraProdutos;
//   - the memory the engine holds per row;
//   - AbreMovimento of the 200-line order: statements sent and the client-side share.
// Usage: bench_engine [runs]

#include "base/Ufuncoes.h"
#include "data/UDm.h"
#include "StatementCounter.h"

#include "data/fb/Statement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <malloc.h>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <class Work>
double elapsedMs(Work& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// The two ways, one run of each in turn, so both meet the same load of the machine;
// the median of each.
template <class Engine, class Raw>
std::pair<double, double> compare(int runs, Engine engine, Raw raw)
{
    std::vector<double> engineTimes, rawTimes;
    for (int i = 0; i < runs; ++i) {
        engineTimes.push_back(elapsedMs(engine));
        rawTimes.push_back(elapsedMs(raw));
    }
    return {median(engineTimes), median(rawTimes)};
}

// The same select through the bare client API, rows copied into one plain buffer.
struct RawCursor {
    zk::fb::Transaction& transaction;
    zk::fb::Statement statement;
    RawCursor(zk::fb::Transaction& t, const QString& sql) : transaction(t), statement(t, sql) {}

    // Fetches up to `limit` rows (all by default).
    std::size_t fetchAll(const QVariantList& params = {}, std::size_t limit = SIZE_MAX)
    {
        auto cursor = statement.open(transaction, params);
        const auto length = cursor->layout().messageLength();
        auto row = cursor->layout().newBuffer();
        std::vector<std::byte> rows;
        rows.reserve(std::min<std::size_t>(limit, 12000) * length); // no growth inside the loop
        std::size_t count = 0;
        while (count < limit && cursor->fetch(row.get())) {
            rows.insert(rows.end(), row.get(), row.get() + length);
            ++count;
        }
        return count;
    }
};

std::size_t heapInUse() { return mallinfo2().uordblks; }

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;

    QTemporaryDir dir;
    QString database = dir.filePath("zenobra/dados/zenobra.gdb");
    QDir().mkpath(dir.filePath("zenobra/dados"));
    QFile::copy(ZK_DB_DIR "/bench.fdb", database);
    qputenv("ZENOBRA_INI", dir.filePath("ZENOBRA.Ini").toLocal8Bit());
    GravarIni("DADOS", "TIPOSERVIDOR", "L");
    GravarIni("DADOS", "DIR", dir.path());

    StatementCounter counter;
    TDm dm({}, &counter);
    zk::Query& catalogue = dm.QPesqProdutos;
    const QString catalogueSql = catalogue.sqlText();
    RawCursor rawCatalogue(dm.Ts, catalogueSql);

    // Warm both paths once: statements prepared, pages cached.
    catalogue.open();
    catalogue.last();
    rawCatalogue.fetchAll();

    auto [engineOpen, rawOpen] = compare(
        runs,
        [&] {
            catalogue.close();
            catalogue.open();
            catalogue.last();
        },
        [&] { rawCatalogue.fetchAll(); });
    std::printf("catalogue open + fetch all (%d rows, %zu fields): engine %.2f ms, raw cursor %.2f ms, ratio %.3f\n",
                catalogue.recordCount(), catalogue.fields().size(), engineOpen, rawOpen, engineOpen / rawOpen);

    dm.FiltraProdutos("");
    RawCursor rawFiltered(dm.Ts, catalogue.sqlText());
    auto [engineFilter, rawFilter] = compare(runs, [&] { dm.FiltraProdutos(""); }, [&] { rawFiltered.fetchAll(); });
    std::printf("FiltraProdutos(\"\"): engine %.2f ms, raw cursor %.2f ms, ratio %.3f\n", engineFilter, rawFilter,
                engineFilter / rawFilter);

    catalogue.close();
    std::size_t before = heapInUse();
    catalogue.open();
    catalogue.last();
    std::size_t after = heapInUse();
    std::printf("memory per catalogue row: %.0f bytes of heap (rows, cache and cursor over the row count)\n",
                double(after - before) / catalogue.recordCount());

    // AbreMovimento of the 200-line order: movement, lines, item view, totals.
    dm.AbreMovimento(1);
    counter.reset();
    dm.AbreMovimento(1);
    std::printf("AbreMovimento(1): %d statements (%s), %d lines in the item view\n", counter.statements,
                qPrintable(counter.firstLines.join(" | ")), dm.QSpItens.recordCount());
    RawCursor rawMov(dm.TsMov, dm.QMov.sqlText());
    RawCursor rawItems(dm.TsMov, dm.QItensMov.sqlText());
    RawCursor rawTotal(dm.TsMov, dm.QTotal.sqlText());
    RawCursor rawView(dm.TsMov, dm.QSpItens.sqlText());
    // As many rows as the engine reads: the movement, the first line, the totals, every view row.
    auto [engineOpenOrder, serverOpenOrder] = compare(
        runs, [&] { dm.AbreMovimento(1); },
        [&] {
            rawMov.fetchAll({}, 1);
            rawItems.fetchAll({1}, 1);
            rawTotal.fetchAll({1}, 1);
            rawView.fetchAll({1});
        });
    std::printf("AbreMovimento(1): %.2f ms; the same selects fetched whole by bare cursors %.2f ms; "
                "client-side share %.1f %%\n",
                engineOpenOrder, serverOpenOrder, 100.0 * (engineOpenOrder - serverOpenOrder) / engineOpenOrder);
    return 0;
}
