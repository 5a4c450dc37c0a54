#pragma once
// The waiter's actions on the server, headless: opening a table, adding and deleting an
// order's lines, freeing a table, registering tables. Each follows the save convention, in
// its order of statements, and first reads once what it is about to change: a table or an
// order that another terminal changed since this one read it is not written; the answer
// says what happened, and what the windows show of it is read again. The windows only ask
// the waiter (questions, the keypad) and show the answers.

#include <QString>
#include <QVariant>

class TDm;

namespace atendimento {

enum class Resultado {
    Feito,
    MesaTomada,      // a free table was opened at another terminal meanwhile
    MesaInexistente, // the table was removed at another terminal
    MesaAlterada,    // the table's row is no longer what this terminal read
    ComandaFechada,  // the order was closed (billed) at another terminal, or is gone
};
// What the waiter reads for an answer other than Feito.
QString TextoDe(Resultado resultado);

// A table as this terminal showed it when it was touched (the floor's row).
struct MesaLida {
    int codMesa;
    QString status;
    QVariant codMovimento;
};

// An occupied table: its order is opened (AbreMovimento) if the table still points at it
// and it is still open. Otherwise the floor is read again.
Resultado AbreMesaOcupada(TDm& dm, const MesaLida& mesa);
// A free table, after the waiter's yes: the table is held on the server, a new order is
// created and committed, then the table points at it and is committed, and the floor is read
// again. A table taken, changed or removed meanwhile gets no order; the floor is read again.
Resultado AbreMesaLivre(TDm& dm, const MesaLida& mesa);

// A new line of the current order for the catalogue's current product, waiting for its
// quantity (the keypad's), or to be cancelled.
void IniciaLinha(TDm& dm);
// The waiting line with the quantity typed: saved and the order's views read again. An order
// closed meanwhile takes no line. A quantity that is no integer raises its message; the
// waiting line is dropped whatever stops it before it is sent.
Resultado GravaLinha(TDm& dm, const QString& quantidade);
// The current order's line with that key, deleted; nothing when the order no longer holds it.
Resultado ExcluiLinha(TDm& dm, int codItemMovimento);

// The table is freed (status "L", order 0) if it still holds that order; the order stays
// stored. The floor is read again.
Resultado LiberaMesa(TDm& dm, int codMesa, const QVariant& codMovimento);

// A new table with that number; the tables and the floor are read again.
void CadastraMesa(TDm& dm, int numero);
// The current table renumbered, if its row is still what this terminal read; otherwise the
// tables are read again. With no table at all it adds one, as an edit of an empty set does.
Resultado AlteraMesa(TDm& dm, int numero);

} // namespace atendimento
