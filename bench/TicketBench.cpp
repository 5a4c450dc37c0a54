// The dining-room actions a waiter waits for, on the benchmark database (1,000 tables,
// 10,000 products in 100 groups, a 200-line order) through the loopback Firebird server
// (ZENOBRA_TEST_FB_SERVER / ZENOBRA_TEST_FB_PASSWORD, as scripts/bench starts it):
//   - touching the occupied table: ticket fully shown (lists fetched, first paint done);
//   - adding a line once the keypad has confirmed: item view, catalogue and totals read
//     again and painted;
// with the statements each action sends. Usage: bench_ticket [runs]

#include "StatementCounter.h"
#include "UComanda.h"
#include "UDm.h"
#include "UInformaQtd.h"
#include "UMsgSimNaoTablet.h"
#include "Ufuncoes.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 21;
    const QString server = qEnvironmentVariable("ZENOBRA_TEST_FB_SERVER");
    if (server.isEmpty()) {
        std::printf("bench_ticket: needs the loopback server (run it through scripts/bench)\n");
        return 0;
    }

    QTemporaryDir dir;
    dir.setAutoRemove(true);
    QDir().mkpath(dir.filePath("zenobra/dados"));
    const QString database = dir.filePath("zenobra/dados/zenobra.gdb");
    QFile::copy(ZK_DB_DIR "/bench.fdb", database);
    QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    qputenv("ZENOBRA_INI", dir.filePath("ZENOBRA.Ini").toLocal8Bit());
    GravarIni("DADOS", "IP", server + ':');
    GravarIni("DADOS", "SENHA", Codifica(qEnvironmentVariable("ZENOBRA_TEST_FB_PASSWORD"), DeslocamentoSenha));
    GravarIni("DADOS", "TIPOSERVIDOR", "L");
    GravarIni("DADOS", "DIR", dir.path());

    StatementCounter counter;
    TDm dm({}, &counter);
    TFInformaQtd keypad(dm);
    TFMsgSimNaoTablet question;
    TFComanda ticket(dm, false, keypad, question);
    dm.QPesqMesa.open();
    dm.QPesqMesa.last();

    // The floor's touch on table 1 (occupied by movement 1) up to the ticket's first paint.
    auto openTicket = [&] {
        dm.QPesqMesa.locate("CODMESA", 1);
        dm.AbreMovimento(dm.QPesqMesa.fieldByName("CODMOVIMENTO").asInteger());
        dm.QPesqMesa.locate("CODMESA", 1);
        ticket.CodMesa = 1;
        ticket.LbMesa->setText(dm.QPesqMesa.fieldByName("DESCRICAO").asString());
        ticket.LbCodMov->setText(dm.QPesqMesa.fieldByName("CODMOVIMENTO").asString());
        ticket.show();
        ticket.repaint();
    };
    openTicket(); // warm: the catalogue and the groups are read at the first showing only
    ticket.hide();

    std::vector<double> openTimes;
    int openStatements = 0;
    QStringList openLines;
    for (int i = 0; i < runs; ++i) {
        counter.reset();
        QElapsedTimer t;
        t.start();
        openTicket();
        openTimes.push_back(t.nsecsElapsed() / 1e6);
        openStatements = counter.statements;
        openLines = counter.firstLines;
        ticket.hide();
    }

    ticket.show();
    std::vector<double> addTimes;
    int addStatements = 0, addCommits = 0;
    for (int i = 0; i < runs; ++i) {
        dm.QPesqProdutos.moveTo(i);
        dm.QItensMov.append(); // the first half, before the keypad
        dm.QItensMov.fieldByName("CODUNIDADE").setInteger(dm.QPesqProdutos.fieldByName("CODUNIDADE").asInteger());
        dm.QItensMov.fieldByName("CODPRODUTO").setInteger(dm.QPesqProdutos.fieldByName("CODIGO").asInteger());
        dm.QItensMov.fieldByName("VALOR").setFloat(dm.QPesqProdutos.fieldByName("PRECOVENDA").asFloat());
        keypad.EdQtd->setText("2");
        counter.reset();
        QElapsedTimer t;
        t.start();
        ticket.GravaItem();
        ticket.repaint();
        addTimes.push_back(t.nsecsElapsed() / 1e6);
        addStatements = counter.statements;
        addCommits = counter.commits;
    }
    std::printf("touch on the occupied table -> ticket shown and painted: median %.1f ms over %d runs, "
                "%d statements (%s)\n",
                median(openTimes), runs, openStatements, qPrintable(openLines.join(" | ")));
    std::printf("  required: the movement, its lines, totals and item view (4), the item view again when "
                "the ticket shows (1) = 5\n");
    std::printf("adding a line after the keypad -> saved, re-read and painted: median %.1f ms, %d statements "
                "+ %d commit\n",
                median(addTimes), addStatements, addCommits);
    std::printf("  required: the insert, the item view and the totals = 3 statements + 1 commit-retaining\n");
    return 0;
}
