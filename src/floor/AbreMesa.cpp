// Opening a table from its tile: an occupied table shows its order; a free one, after the
// waiter's yes, gets a new order saved before its ticket opens (atendimento::AbreMesaLivre).

#include "floor/UPrincipal.h"

#include "base/Ufuncoes.h"
#include "data/Atendimento.h"
#include "data/UDm.h"
#include "ticket/UComanda.h"
#include "ui/Memo.h"
#include "ui/UMsgSimNaoTablet.h"

#include <QLabel>

using atendimento::Resultado;

void TFPRincipal::DBCtrlGrid1Click()
{
    zk::Query& floor = Dm.QPesqMesa;
    const QString chave = QStringLiteral("CODMESA");
    const int codMesa = floor.fieldByName(chave).asInteger();
    // After a lost connection the floor is read again: the touched table, if it still exists.
    if (Dm.Retoma() && !floor.locate(chave, codMesa)) {
        Mensagem(atendimento::TextoDe(Resultado::MesaInexistente));
        return;
    }
    const atendimento::MesaLida mesa{codMesa, floor.fieldByName(QStringLiteral("STATUS")).asString(),
                                     floor.fieldByName(QStringLiteral("CODMOVIMENTO")).value()};
    // The touched table's own labels, kept for when the floor read again no longer lists it
    // (removed at another terminal meanwhile): they must never be another table's.
    QString numero = floor.fieldByName(QStringLiteral("DESCRICAO")).asString();
    QVariant movimento = mesa.codMovimento;
    Resultado aberta;
    atendimento::Comanda comanda = atendimento::Comanda::Aberta;
    if (mesa.status != u"L") {
        const atendimento::MesaAberta ocupada = atendimento::AbreMesaOcupada(Dm, mesa);
        aberta = ocupada.resultado;
        comanda = ocupada.comanda;
    } else {
        FMsgSimNaoTablet.MemoDesc->setPlainText(QStringLiteral("Mesa livre, Abrir Nova Comanda?"));
        if (FMsgSimNaoTablet.exec() != 1)
            return;
        aberta = atendimento::AbreMesaLivre(Dm, mesa);
        if (aberta == Resultado::Feito)
            movimento = Dm.QMov.fieldByName(QStringLiteral("CODMOVIMENTO")).value();
    }
    if (aberta != Resultado::Feito) {
        Mensagem(atendimento::TextoDe(aberta));
        return;
    }
    if (floor.locate(chave, codMesa)) {
        numero = floor.fieldByName(QStringLiteral("DESCRICAO")).asString();
        movimento = floor.fieldByName(QStringLiteral("CODMOVIMENTO")).value();
    }
    FComanda.CodMesa = codMesa;
    FComanda.CodMovimento = movimento;
    FComanda.EstadoDaComanda = comanda;
    FComanda.LbMesa->setText(numero);
    FComanda.LbCodMov->setText(movimento.isNull() ? QString() : QString::number(movimento.toInt()));
    FComanda.exec();
    floor.last();
}
