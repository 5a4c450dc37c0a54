// One terminal of bench_floorload: the program as main starts it (the data module and the seven
// windows, the floor on screen, offscreen), which also notes when each live update of its
// floor started (its first statement) and ended (control back in the event loop, the tiles'
// repaint asked for). Says "ready" on standard output once the floor is up; at SIGTERM it ends
// and writes one line per update, "<start ns> <end ns> <whole|merge>" (wall clock), to the
// file named by its argument.

#include "app/Program.h"
#include "base/EndSignals.h"
#include "data/fb/Observer.h"
#include "ui/Aplicacao.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

class UpdateTrace : public zk::fb::StatementObserver {
public:
    void statementSent(const QString&, const QString& sql, const zk::fb::NamedValues&) override
    {
        const bool whole = sql.startsWith(QLatin1String("SELECT * FROM SPMESAS"));
        if (!whole && !sql.startsWith(QLatin1String("SELECT * FROM SPALTERACOESMESAS")) &&
            !sql.startsWith(QLatin1String("SELECT SEQUENCIA FROM SPSEQUENCIAMESAS")))
            return;
        if (open_ < 0) {
            open_ = qint64(updates_.size());
            updates_.push_back({nowNs(), 0, false});
            QTimer::singleShot(0, [this] { // the update's own handler is over
                updates_[open_].end = nowNs();
                open_ = -1;
            });
        }
        updates_[open_].whole |= whole;
    }

    void committed(const QString&, bool) override {}

    void write(const QString& path) const
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
            return;
        for (const Update& u : updates_)
            if (u.end)
                file.write(QByteArray::number(u.start) + ' ' + QByteArray::number(u.end) + ' ' +
                           (u.whole ? "whole\n" : "merge\n"));
    }

private:
    struct Update {
        qint64 start;
        qint64 end;
        bool whole;
    };
    std::vector<Update> updates_;
    qint64 open_ = -1;
};

} // namespace

int main(int argc, char** argv)
{
    zk::EndSignals::install(); // before the database client library is loaded
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ZenobraApp app(argc, argv);
    zk::setErrorReporter([](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    zk::EndSignals ends;
    QObject::connect(&ends, &zk::EndSignals::received, &app, [] { QApplication::quit(); });

    Program program;
    program.FPRincipal.show();
    QApplication::processEvents();
    UpdateTrace trace;
    program.Dm.Db.setObserver(&trace);
    std::printf("ready\n");
    std::fflush(stdout);
    QApplication::exec();
    program.Dm.Db.setObserver(nullptr);
    if (argc > 1)
        trace.write(QString::fromLocal8Bit(argv[1]));
    return 0;
}
