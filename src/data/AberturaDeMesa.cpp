// Opening a table from its tile: an occupied table's order, or, for a free one, a new order
// saved before its ticket opens.

#include "data/Atendimento.h"
#include "data/UDm.h"

namespace atendimento {

namespace {
// An opening that stopped halfway: the table is not held from every other terminal, and no
// order stays without its table. The first failure is the one the waiter sees.
void Desfaz(TDm& dm)
{
    try {
        dm.DesfazReserva();
        dm.DesfazAbertura();
    } catch (const zk::Error&) {
    }
}

Resultado Recusa(TDm& dm, Resultado resultado)
{
    dm.QPesqMesa.reopen(); // the floor as the server has it now
    return resultado;
}
} // namespace

// Whatever became of its order (billed, cancelled, gone), an occupied table opens: its ticket
// is the only place it can be freed. What the order takes is the ticket's to say.
MesaAberta AbreMesaOcupada(TDm& dm, const MesaLida& mesa)
{
    const TDm::MesaOcupada agora = dm.LeMesaOcupada(mesa.codMesa);
    if (!agora.existe)
        return {Recusa(dm, Resultado::MesaInexistente)};
    if (agora.status == u"L" || agora.codMovimento != mesa.codMovimento)
        return {Recusa(dm, Resultado::MesaAlterada)};
    dm.AbreMovimento(mesa.codMovimento.toInt());
    return {Resultado::Feito, EstadoDe(agora.situacao)};
}

// The order first, committed on TsMov; then the table row, committed on TsCAd; then the
// floor read again.
Resultado AbreMesaLivre(TDm& dm, const MesaLida& mesa)
{
    if (!dm.LocalizaMesa(mesa.codMesa))
        return Recusa(dm, Resultado::MesaInexistente);
    const TDm::MesaNoServidor agora = dm.SeguraMesa(mesa.codMesa);
    if (agora.estado == TDm::MesaNoServidor::Presa)
        return Resultado::MesaEmUso; // its tile is still right: nothing to read again
    Resultado recusa = Resultado::Feito;
    if (agora.estado == TDm::MesaNoServidor::Inexistente)
        recusa = Resultado::MesaInexistente;
    else if (agora.status != u"L")
        recusa = Resultado::MesaTomada;
    else if (agora.codMovimento != mesa.codMovimento)
        recusa = Resultado::MesaAlterada;
    if (recusa != Resultado::Feito) {
        dm.DesfazReserva();
        return Recusa(dm, recusa);
    }
    dm.PoeMesaEmDia(mesa.codMesa, agora);
    try {
        dm.QMov.append();
        const int codMovimento = dm.QMov.fieldByName(QStringLiteral("CODMOVIMENTO")).asInteger();
        dm.IniciaAbertura(mesa.codMesa, codMovimento);
        dm.QMov.post();
        TDm::Confirma(dm.TsMov);

        zk::Query& mesas = dm.QMesas;
        mesas.edit();
        mesas.fieldByName(QStringLiteral("CODMOVIMENTO")).setInteger(codMovimento);
        mesas.fieldByName(QStringLiteral("STATUS")).setString(QStringLiteral("O"));
        mesas.post();
        TDm::Confirma(dm.TsCAd);
        dm.ConcluiAbertura();
    } catch (const zk::DatabaseError& e) {
        // With the connection gone the next touch settles the opening (TDm::Retoma).
        if (!e.connectionLost())
            Desfaz(dm);
        throw;
    } catch (...) {
        Desfaz(dm);
        throw;
    }
    dm.QPesqMesa.reopen();
    return Resultado::Feito;
}

} // namespace atendimento
