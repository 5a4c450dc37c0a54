// The dining-room actions a waiter waits for, on the benchmark database (1,000 tables,
// 10,000 products in 100 groups, a 200-line order) through the loopback Firebird server
// (ZENOBRA_TEST_FB_SERVER / ZENOBRA_TEST_FB_PASSWORD, as scripts/bench starts it):
//   - touching the occupied table: ticket fully shown (lists fetched, first paint done);
//   - adding a line once the keypad has confirmed: item view, catalogue and totals read
//     again and painted;
//   - deleting that line (after the waiter's yes): item view and totals read again, painted;
//   - opening a free table (after the waiter's yes) and freeing it ("Liberar Mesa");
// with the statements each action sends. Each checks once, on the server, the table or order
// it changes (another terminal may have changed it): that read is its one added round trip.
// Usage: bench_ticket [runs]

#include "BenchHouse.h"
#include "data/Atendimento.h"
#include "data/UDm.h"
#include "StatementCounter.h"
#include "ticket/UComanda.h"
#include "ticket/UInformaQtd.h"
#include "ui/UMsgSimNaoTablet.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>

#include <cstdio>
#include <vector>

namespace {
// One action's figures: the median time, and what the last run sent.
struct Measured {
    std::vector<double> times;
    int statements = 0, commits = 0;
    QStringList lines;

    template <typename Action> void run(StatementCounter& counter, Action&& action)
    {
        counter.reset();
        QElapsedTimer t;
        t.start();
        action();
        times.push_back(t.nsecsElapsed() / 1e6);
        statements = counter.statements;
        commits = counter.commits;
        lines = counter.firstLines;
    }
    void print(const char* action, const char* required) const
    {
        std::printf("%s: median %.1f ms over %zu runs, %d statements + %d commits (%s)\n  required: %s\n", action,
                    median(times), times.size(), statements, commits, qPrintable(lines.join(" | ")), required);
    }
};
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 21;
    if (!BenchHouse::serverStarted("bench_ticket"))
        return 0;
    BenchHouse house;
    house.install();

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
        const QVariant movimento = dm.QPesqMesa.fieldByName("CODMOVIMENTO").value();
        if (atendimento::AbreMesaOcupada(dm, {1, "O", movimento}).resultado != atendimento::Resultado::Feito)
            std::abort();
        dm.QPesqMesa.locate("CODMESA", 1);
        ticket.CodMesa = 1;
        ticket.CodMovimento = movimento;
        ticket.LbMesa->setText(dm.QPesqMesa.fieldByName("DESCRICAO").asString());
        ticket.LbCodMov->setText(movimento.toString());
        ticket.show();
        ticket.repaint();
    };
    openTicket(); // warm: the catalogue and the groups are read at the first showing only
    ticket.hide();

    Measured open;
    for (int i = 0; i < runs; ++i) {
        open.run(counter, openTicket);
        ticket.hide();
    }

    openTicket();
    Measured add, remove;
    for (int i = 0; i < runs; ++i) {
        dm.QPesqProdutos.moveTo(i);
        atendimento::IniciaLinha(dm); // the first half, before the keypad
        keypad.EdQtd->setText("2");
        add.run(counter, [&] {
            ticket.GravaItem();
            ticket.repaint();
        });
        const int added = dm.QItensMov.fieldByName("CODITEMMOVIMENTO").asInteger();
        remove.run(counter, [&] {
            if (atendimento::ExcluiLinha(dm, added) != atendimento::Resultado::Feito)
                std::abort();
            ticket.repaint();
        });
    }
    ticket.hide();

    // Table 2 of the benchmark is free: opened, then freed, again and again.
    Measured openFree, free;
    for (int i = 0; i < runs; ++i) {
        dm.QPesqMesa.locate("CODMESA", 2);
        const atendimento::MesaLida mesa{2, dm.QPesqMesa.fieldByName("STATUS").asString(),
                                         dm.QPesqMesa.fieldByName("CODMOVIMENTO").value()};
        openFree.run(counter, [&] {
            if (atendimento::AbreMesaLivre(dm, mesa) != atendimento::Resultado::Feito)
                std::abort();
        });
        const QVariant movimento = dm.QMov.fieldByName("CODMOVIMENTO").value();
        free.run(counter, [&] {
            if (atendimento::LiberaMesa(dm, 2, movimento) != atendimento::Resultado::Feito)
                std::abort();
        });
    }

    open.print("touch on the occupied table -> ticket shown and painted",
               "the table and its order, checked (1); the movement, its lines, totals and item view (4); the "
               "item view again when the ticket shows (1) = 6");
    add.print("adding a line after the keypad -> saved, re-read and painted",
              "the order, checked (1); the insert, the item view and the totals (3) = 4 + 1 commit-retaining");
    remove.print("deleting a line -> saved, re-read and painted",
                 "the order, checked (1); the delete, the item view and the totals (3) = 4 + 1 commit-retaining");
    openFree.print("opening a free table after the yes -> order and table saved, floor read again",
                   "as before (it was already guarded): the table, held (1); the order's key (1), insert (1) "
                   "and views as it is made and saved (6); the table's update (1); the floor (1) = 11 + 2 "
                   "commit-retaining");
    free.print("Liberar Mesa -> table saved, floor read again",
               "the table, held (1); its update (1); the floor (1) = 3 + 1 commit-retaining");
    return 0;
}
