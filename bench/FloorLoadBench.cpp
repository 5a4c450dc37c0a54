// The live floor under load, through the loopback Firebird server that scripts/bench starts:
// N terminal processes (floorload_terminal: the program as main starts it, offscreen) show the
// floor of one house while a driver, another attachment, commits C changes of one table each
// at a fixed rate. Reported per change, from /proc with the idle baseline (the same terminals,
// no changes, as long) subtracted: the server's CPU and all terminals' CPU; and, over every
// commit and terminal, the delay from the commit to the terminal's read starting and to its
// floor updated (median, p99, max).
// "before": the house with the live floor of before (its events only): every event reads the
// floor whole. "after": db/live-floor.sql as it is: the changed tables are merged.
// Usage: bench_floorload [changes] [changes per second]

#include "BenchHouse.h"
#include "data/fb/Statement.h"
#include "support/LiveFloorOfBefore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <memory>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// CPU time of a process, all its threads, in ms.
double cpuMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    // utime and stime are the 14th and 15th fields; the 3rd is the first after the name.
    return (fields[11].toDouble() + fields[12].toDouble()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// The server listening on the port of ZENOBRA_TEST_FB_SERVER.
qint64 serverPid()
{
    const QString port = BenchHouse::server().section('/', 1);
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(entry));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> args = cmdline.readAll().split('\0');
        if (args.size() >= 3 && args[0].endsWith("firebird") && args[1] == "-p" && args[2] == port.toLatin1())
            return entry.toLongLong();
    }
    return 0;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(std::ceil(p * double(v.size()))) - (p > 0 ? 1 : 0))];
}

void pause(int ms) { QThread::msleep(ms); }

struct Terminal {
    std::unique_ptr<QProcess> process;
    QString trace;
    struct Update {
        qint64 start, end;
        bool whole;
    };
    std::vector<Update> updates;
};

struct Result {
    double serverMs = 0, terminalsMs = 0;
    std::vector<double> toRead, toUpdated;
    int missed = 0, whole = 0, merged = 0;
};

Result run(bool after, int tables, int terminals, int changes, double rate)
{
    BenchHouse house;
    house.install();
    const QString database = BenchHouse::server() + ':' + house.database();
    const QStringList credentials = {"user_name=SYSDBA", "password=" + BenchHouse::password()};
    if (!after) { // on a connection of its own, which has run none of the objects it drops
        zk::fb::Attachment dba;
        dba.setDatabaseName(database);
        dba.params() = credentials;
        dba.connect();
        zk::fb::Transaction ddl(dba, "DDL");
        ddl.start();
        liveFloorOfBefore([&](const QString& sql) {
            zk::fb::Statement(ddl, sql).execute(ddl, {});
            ddl.commitRetaining();
        });
        ddl.commit();
        dba.disconnect();
    }
    zk::fb::Attachment admin;
    admin.setDatabaseName(database);
    admin.params() = credentials;
    admin.connect();
    zk::fb::Transaction work(admin, "DRIVER");
    work.start();
    if (tables < 1000) {
        zk::fb::Statement(work, "delete from MESAS where DESCRICAO > ?").execute(work, {tables});
        work.commitRetaining();
    }
    std::vector<int> keys;
    {
        zk::fb::Statement tables(work, "select CODMESA from MESAS");
        auto cursor = tables.open(work);
        while (auto row = cursor->next())
            keys.push_back(row->front().toInt());
    }

    const QString program = QCoreApplication::applicationDirPath() + "/floorload_terminal";
    std::vector<Terminal> fleet(terminals);
    QTemporaryDir traces;
    for (int t = 0; t < terminals; ++t) {
        fleet[t].trace = traces.filePath(QString::number(t));
        fleet[t].process = std::make_unique<QProcess>();
        fleet[t].process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fleet[t].process->start(program, {fleet[t].trace});
    }
    for (Terminal& t : fleet)
        while (!t.process->canReadLine() && t.process->waitForReadyRead(60000)) {
        }

    zk::fb::Statement toggle(work, "update MESAS set STATUS = iif(STATUS = 'L', 'O', 'L') where CODMESA = ?");
    std::mt19937 random(tables * 100 + terminals);
    auto change = [&] {
        toggle.execute(work, {keys[random() % keys.size()]});
        work.commitRetaining();
    };
    // Each terminal's first event after its connection reads the floor whole; then it settles.
    for (int i = 0; i < 3; ++i) {
        change();
        pause(400);
    }
    pause(1500);

    const qint64 server = serverPid();
    auto serverCpu = [&] { return cpuMs(server); };
    auto terminalsCpu = [&] {
        double sum = 0;
        for (Terminal& t : fleet)
            sum += cpuMs(t.process->processId());
        return sum;
    };
    const int intervalMs = int(1000 / rate);
    const int runMs = changes * intervalMs;

    const int idleMs = 5000;
    double s0 = serverCpu(), t0 = terminalsCpu();
    pause(idleMs);
    const double idleServer = serverCpu() - s0, idleTerminals = terminalsCpu() - t0;

    std::vector<std::pair<qint64, qint64>> commits; // just before and just after each commit
    s0 = serverCpu();
    t0 = terminalsCpu();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < changes; ++i) {
        while (clock.elapsed() < qint64(i) * intervalMs)
            pause(1);
        const qint64 before = nowNs();
        change();
        commits.emplace_back(before, nowNs());
    }
    while (clock.elapsed() < runMs)
        pause(1);
    pause(1000); // the last reads
    const double runServer = serverCpu() - s0, runTerminals = terminalsCpu() - t0;
    const double idleShare = double(clock.elapsed()) / idleMs; // the idle CPU over as long as the run

    for (Terminal& t : fleet) {
        ::kill(pid_t(t.process->processId()), SIGTERM);
        if (!t.process->waitForFinished(10000)) {
            t.process->kill();
            t.process->waitForFinished(5000);
        }
        QFile file(t.trace);
        if (file.open(QIODevice::ReadOnly | QIODevice::Text))
            while (!file.atEnd()) {
                const QList<QByteArray> f = file.readLine().trimmed().split(' ');
                if (f.size() == 3)
                    t.updates.push_back({f[0].toLongLong(), f[1].toLongLong(), f[2] == "whole"});
            }
    }

    Result r;
    r.serverMs = (runServer - idleServer * idleShare) / changes;
    r.terminalsMs = (runTerminals - idleTerminals * idleShare) / changes;
    const qint64 firstCommit = commits.front().first;
    for (const Terminal& t : fleet) {
        for (const auto& u : t.updates)
            if (u.start >= firstCommit)
                (u.whole ? r.whole : r.merged)++;
        for (const auto& [before, after] : commits) {
            // The first update that started once the commit was asked for holds it.
            const auto u = std::find_if(t.updates.begin(), t.updates.end(),
                                        [&](const Terminal::Update& x) { return x.start >= before; });
            if (u == t.updates.end()) {
                ++r.missed;
                continue;
            }
            r.toRead.push_back(std::max<qint64>(0, u->start - after) / 1e6);
            r.toUpdated.push_back(std::max<qint64>(0, u->end - after) / 1e6);
        }
    }
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int changes = argc > 1 ? std::atoi(argv[1]) : 100;
    const double rate = argc > 2 ? std::atof(argv[2]) : 5;
    if (!BenchHouse::serverStarted("bench_floorload"))
        return 0;
    if (!serverPid()) {
        std::printf("bench_floorload: the server's process was not found\n");
        return 1;
    }
    std::printf("%d changes of one table each at %.0f per second; CPU per change with the idle baseline "
                "subtracted; delays over every commit and terminal\n\n",
                changes, rate);
    for (bool after : {false, true}) {
        std::printf("%s\n\n", after ? "after (changed tables merged)" : "before (every event reads the whole floor)");
        std::printf("| Tables | Terminals | Server CPU per change | All terminals' CPU per change | Commit -> read "
                    "starts, median / p99 / max | Commit -> floor updated, median / p99 / max | Updates whole / merged "
                    "| Missed |\n|---|---|---|---|---|---|---|---|\n");
        for (int tables : {100, 1000})
            for (int terminals : {1, 10, 40}) {
                const Result r = run(after, tables, terminals, changes, rate);
                std::printf("| %d | %d | %.2f ms | %.2f ms | %.1f / %.1f / %.1f ms | %.1f / %.1f / %.1f ms | %d / %d | "
                            "%d |\n",
                            tables, terminals, r.serverMs, r.terminalsMs, percentile(r.toRead, 0.5),
                            percentile(r.toRead, 0.99), percentile(r.toRead, 1), percentile(r.toUpdated, 0.5),
                            percentile(r.toUpdated, 0.99), percentile(r.toUpdated, 1), r.whole, r.merged, r.missed);
                std::fflush(stdout);
            }
        std::printf("\n");
    }
    return 0;
}
