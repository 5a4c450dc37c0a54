// Opening a table from its tile: an occupied table shows its order; a free one, after the
// waiter's yes, gets a new order saved before its ticket opens.

#include "UPrincipal.h"

#include "UComanda.h"
#include "Memo.h"
#include "UDm.h"
#include "UMsgSimNaoTablet.h"
#include "Ufuncoes.h"

#include <QLabel>

namespace {
const QString mesaTomada = QStringLiteral("Esta mesa acabou de ser aberta em outro terminal.");
const QString mesaSumiu = QStringLiteral("Esta mesa não está mais cadastrada; nenhuma comanda foi aberta.");
} // namespace

void TFPRincipal::DBCtrlGrid1Click()
{
    zk::Query& floor = Dm.QPesqMesa;
    const int codMesa = floor.fieldByName(QStringLiteral("CODMESA")).asInteger();
    // After a lost connection the floor is read again: the touched table, if it still exists.
    if (Dm.Retoma() && !floor.locate(QStringLiteral("CODMESA"), codMesa)) {
        Mensagem(mesaSumiu);
        return;
    }
    // The touched table's own labels, kept for when the floor read again no longer lists it
    // (removed at another terminal meanwhile): they must never be another table's.
    QString numero = floor.fieldByName(QStringLiteral("DESCRICAO")).asString();
    QString movimento = floor.fieldByName(QStringLiteral("CODMOVIMENTO")).asString();
    if (floor.fieldByName(QStringLiteral("STATUS")).asString() != u"L") {
        Dm.AbreMovimento(floor.fieldByName(QStringLiteral("CODMOVIMENTO")).asInteger());
    } else {
        FMsgSimNaoTablet.MemoDesc->setPlainText(QStringLiteral("Mesa livre, Abrir Nova Comanda?"));
        if (FMsgSimNaoTablet.exec() != 1)
            return;
        if (!AbreMesaLivre(codMesa))
            return;
        movimento = Dm.QMov.fieldByName(QStringLiteral("CODMOVIMENTO")).asString();
    }
    if (floor.locate(QStringLiteral("CODMESA"), codMesa)) {
        numero = floor.fieldByName(QStringLiteral("DESCRICAO")).asString();
        movimento = floor.fieldByName(QStringLiteral("CODMOVIMENTO")).asString();
    }
    FComanda.CodMesa = codMesa;
    FComanda.LbMesa->setText(numero);
    FComanda.LbCodMov->setText(movimento);
    FComanda.exec();
    floor.last();
}

// An opening that stopped halfway: the table is not held from every other terminal, and no
// order stays without its table. The first failure is the one the waiter sees.
void TFPRincipal::Desfaz()
{
    try {
        Dm.DesfazReserva();
        Dm.DesfazAbertura();
    } catch (const zk::Error&) {
    }
}

// The movement first, committed on TsMov; then the table row, committed on TsCAd; then the
// floor read again. Before anything is created the table is checked free on the server and
// held, so two terminals can never both attach an order to it.
bool TFPRincipal::AbreMesaLivre(int codMesa)
{
    zk::Query& tables = Dm.QMesas;
    if (!tables.locate(QStringLiteral("CODMESA"), codMesa)) {
        tables.reopen(); // a table added at another terminal since the last read
        if (!tables.locate(QStringLiteral("CODMESA"), codMesa)) {
            Mensagem(mesaSumiu);
            Dm.QPesqMesa.reopen(); // its tile goes
            return false;
        }
    }
    TDm::Reserva reserva = Dm.ReservaMesa(codMesa);
    if (reserva != TDm::Reserva::Livre) {
        Dm.DesfazReserva();
        Mensagem(reserva == TDm::Reserva::Ocupada ? mesaTomada : mesaSumiu);
        Dm.QPesqMesa.reopen();
        return false;
    }
    try {
        Dm.QMov.append();
        const int codMovimento = Dm.QMov.fieldByName(QStringLiteral("CODMOVIMENTO")).asInteger();
        Dm.IniciaAbertura(codMesa, codMovimento);
        Dm.QMov.post();
        TDm::Confirma(Dm.TsMov);

        tables.edit();
        tables.fieldByName(QStringLiteral("CODMOVIMENTO")).setInteger(codMovimento);
        tables.fieldByName(QStringLiteral("STATUS")).setString(QStringLiteral("O"));
        tables.post();
        TDm::Confirma(Dm.TsCAd);
        Dm.ConcluiAbertura();
    } catch (const zk::DatabaseError& e) {
        // With the connection gone the next touch settles the opening (TDm::Retoma).
        if (!e.connectionLost())
            Desfaz();
        throw;
    } catch (...) {
        Desfaz();
        throw;
    }
    Dm.QPesqMesa.reopen();
    return true;
}
