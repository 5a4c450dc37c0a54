// The lines of the order a ticket shows: added through the keypad, and deleted.

#include "base/Ufuncoes.h"
#include "data/Atendimento.h"
#include "data/UDm.h"

namespace atendimento {

void IniciaLinha(TDm& dm)
{
    zk::Query& linha = dm.QItensMov;
    zk::Query& produto = dm.QPesqProdutos;
    linha.append();
    // The catalogue's codes as they are: a product without a unit must not be stored with 0.
    linha.fieldByName(QStringLiteral("CODUNIDADE")).assign(produto.fieldByName(QStringLiteral("CODUNIDADE")));
    linha.fieldByName(QStringLiteral("CODPRODUTO")).assign(produto.fieldByName(QStringLiteral("CODIGO")));
    linha.fieldByName(QStringLiteral("CODTABELA")).assign(produto.fieldByName(QStringLiteral("CODIGO")));
    // The price as a number: a product without one is sold at 0, never at an empty price.
    linha.fieldByName(QStringLiteral("VALOR")).setFloat(produto.fieldByName(QStringLiteral("PRECOVENDA")).asFloat());
}

Resultado GravaLinha(TDm& dm, const QString& quantidade)
{
    zk::Query& linha = dm.QItensMov;
    try {
        linha.fieldByName(QStringLiteral("QTD")).setFloat(StrToInt(quantidade));
        // The order may have been billed while the keypad was up: no line goes into an order
        // that is not open.
        const Resultado recusa =
            RecusaDe(EstadoDe(dm.SituacaoDaComanda(linha.fieldByName(QStringLiteral("CODMOVIMENTO")).value())));
        if (recusa != Resultado::Feito) {
            linha.cancel();
            return recusa;
        }
        linha.post();
    } catch (...) {
        // A quantity that does not convert, or a line refused before it is sent (a product
        // without a unit): nothing half-made stays behind the message to block the next line.
        if (linha.state() == zk::Query::State::Insert)
            linha.cancel();
        throw;
    }
    TDm::Confirma(dm.TsMov);
    dm.QSpItens.reopen();
    dm.QPesqProdutos.last();
    dm.QPesqProdutos.first();
    dm.QTotal.reopen();
    return Resultado::Feito;
}

Resultado ExcluiLinha(TDm& dm, int codItemMovimento)
{
    const QVariant comanda =
        dm.QMov.isEmpty() ? QVariant() : dm.QMov.fieldByName(QStringLiteral("CODMOVIMENTO")).value();
    if (const Resultado recusa = RecusaDe(EstadoDe(dm.SituacaoDaComanda(comanda))); recusa != Resultado::Feito)
        return recusa;
    if (!dm.QItensMov.locate(QStringLiteral("CODITEMMOVIMENTO"), codItemMovimento))
        return Resultado::Feito; // a line this ticket does not hold: nothing happens
    dm.QItensMov.remove();
    TDm::Confirma(dm.TsMov);
    dm.QSpItens.close();
    dm.QTotal.close();
    dm.QSpItens.open();
    dm.QTotal.open();
    return Resultado::Feito;
}

} // namespace atendimento
