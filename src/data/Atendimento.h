#pragma once
// The waiter's actions on the server, headless: opening a table, adding and deleting an
// order's lines, freeing a table, registering tables. Each follows the save convention, in
// its order of statements, and first reads once what it is about to change: a table or an
// order changed since this terminal read it (by another terminal, the billing program or the
// back office) is not written; the answer says what happened, and what the windows show of it
// is read again. The windows only ask the waiter (questions, the keypad) and show the answers.

#include <QString>
#include <QVariant>

#include <optional>

class TDm;

namespace atendimento {

enum class Resultado {
    Feito,
    MesaTomada,         // a free table is occupied on the server
    MesaEmUso,          // the table's row is being written right now: nothing is known yet
    MesaInexistente,    // the table is no longer registered
    MesaAlterada,       // the table's row is no longer what this terminal read
    NumeroAlterado,     // the table's number is no longer what this terminal read
    ComandaFechada,     // the order exists but is not open
    ComandaInexistente, // the order does not exist
};
// What the waiter reads for an answer other than Feito: what happened, and what was read again
// or what to do next.
QString TextoDe(Resultado resultado);

// Whether an order takes lines. The one rule, for opening a ticket, adding and deleting: an
// order is open when it exists and its situation is "A"; billing, or anything else the back
// office writes there (none included), closes it.
enum class Comanda { Aberta, Fechada, Inexistente };
Comanda EstadoDe(const std::optional<QVariant>& situacao);
// The answer a change to such an order gets: Feito for an open one.
Resultado RecusaDe(Comanda comanda);

// A table as this terminal showed it when it was touched (the floor's row).
struct MesaLida {
    int codMesa;
    QString status;
    QVariant codMovimento;
};

// An occupied table: its order is opened (AbreMovimento) whatever the order's state, so that
// the table can always be freed, unless the table itself changed since the floor was read
// (then the floor is read again). The answer says, too, whether the order takes lines.
struct MesaAberta {
    Resultado resultado;
    Comanda comanda = Comanda::Aberta;
};
MesaAberta AbreMesaOcupada(TDm& dm, const MesaLida& mesa);
// A free table, after the waiter's yes: the table is held on the server, a new order is
// created and committed, then the table points at it and is committed, and the floor is read
// again. A table taken, changed or removed meanwhile gets no order; the floor is read again.
// A table being written elsewhere at that moment gets none either, and nothing is read.
Resultado AbreMesaLivre(TDm& dm, const MesaLida& mesa);

// A new line of the current order for the catalogue's current product, waiting for its
// quantity (the keypad's), or to be cancelled.
void IniciaLinha(TDm& dm);
// The waiting line with the quantity typed: saved and the order's views read again. An order
// that is not open takes no line. A quantity that is no integer raises its message; the
// waiting line is dropped whatever stops it before it is sent.
Resultado GravaLinha(TDm& dm, const QString& quantidade);
// The current order's line with that key, deleted; nothing when the order no longer holds it,
// and refused when the order is not open.
Resultado ExcluiLinha(TDm& dm, int codItemMovimento);

// The table is freed (status "L", order 0) if it still holds that order, whatever that
// order's state; the order stays stored. The floor is read again, unless the table is being
// written elsewhere at that moment (nothing changed: the waiter tries again).
Resultado LiberaMesa(TDm& dm, int codMesa, const QVariant& codMovimento);

// A new table with that number; the tables and the floor are read again.
void CadastraMesa(TDm& dm, int numero);
// The current table renumbered, unless its number changed since this terminal read it (then
// the tables are read again). The rest of the row is written as the server has it now. With
// no table at all it adds one, as an edit of an empty set does.
Resultado AlteraMesa(TDm& dm, int numero);

} // namespace atendimento
