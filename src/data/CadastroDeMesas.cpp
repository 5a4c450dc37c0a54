// The table rows a terminal writes besides opening a table: freeing it from its ticket, and
// adding and renumbering tables in the register.

#include "data/Atendimento.h"
#include "data/UDm.h"

namespace atendimento {

// The order and its lines stay stored: only the table is freed, and it is freed whatever
// became of its order (billed, cancelled or gone).
Resultado LiberaMesa(TDm& dm, int codMesa, const QVariant& codMovimento)
{
    if (!dm.LocalizaMesa(codMesa)) {
        dm.QPesqMesa.reopen();
        return Resultado::MesaInexistente;
    }
    const TDm::MesaNoServidor agora = dm.SeguraMesa(codMesa);
    if (agora.estado == TDm::MesaNoServidor::Presa)
        return Resultado::MesaEmUso; // nothing known changed: the ticket stays for another try
    if (agora.estado != TDm::MesaNoServidor::Existe || agora.status == u"L" || agora.codMovimento != codMovimento) {
        // Billed, freed or opened again elsewhere: this ticket's order is no longer the table's.
        dm.DesfazReserva();
        dm.QPesqMesa.reopen();
        return agora.estado == TDm::MesaNoServidor::Inexistente ? Resultado::MesaInexistente
                                                                : Resultado::MesaAlterada;
    }
    dm.PoeMesaEmDia(codMesa, agora);
    zk::Query& mesas = dm.QMesas;
    mesas.edit();
    mesas.fieldByName(QStringLiteral("CODMOVIMENTO")).setInteger(0);
    mesas.fieldByName(QStringLiteral("STATUS")).setString(QStringLiteral("L"));
    mesas.post();
    TDm::Confirma(dm.TsCAd);
    dm.QPesqMesa.reopen();
    return Resultado::Feito;
}

void CadastraMesa(TDm& dm, int numero)
{
    zk::Query& mesas = dm.QMesas;
    mesas.insert();
    mesas.fieldByName(QStringLiteral("DESCRICAO")).setInteger(numero);
    mesas.post();
    TDm::Confirma(dm.TsCAd);
    mesas.reopen();
    dm.QPesqMesa.reopen();
}

// Only the number is this action's: a table opened, freed or billed meanwhile is renumbered
// all the same, and its row is written as the server has it now, never with what was read
// before. A number changed elsewhere is not put back.
Resultado AlteraMesa(TDm& dm, int numero)
{
    zk::Query& mesas = dm.QMesas;
    if (!mesas.isEmpty() && mesas.state() == zk::Query::State::Browse) {
        const QString chave = QStringLiteral("CODMESA");
        const int codMesa = mesas.fieldByName(chave).asInteger();
        const QVariant numeroLido = mesas.fieldByName(QStringLiteral("DESCRICAO")).value();
        const TDm::MesaNoServidor agora = dm.SeguraMesa(codMesa);
        if (agora.estado == TDm::MesaNoServidor::Presa)
            return Resultado::MesaEmUso;
        if (agora.estado == TDm::MesaNoServidor::Inexistente || agora.descricao != numeroLido) {
            dm.DesfazReserva();
            mesas.reopen(); // the list as the server has it, on the same table where it still is
            mesas.locate(chave, codMesa);
            return agora.estado == TDm::MesaNoServidor::Inexistente ? Resultado::MesaInexistente
                                                                    : Resultado::NumeroAlterado;
        }
        dm.PoeMesaEmDia(codMesa, agora);
    }
    mesas.edit();
    mesas.fieldByName(QStringLiteral("DESCRICAO")).setInteger(numero);
    mesas.post();
    TDm::Confirma(dm.TsCAd);
    return Resultado::Feito;
}

} // namespace atendimento
