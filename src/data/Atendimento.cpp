#include "data/Atendimento.h"

namespace atendimento {

namespace {
// Said the same way wherever what the waiter sees was read again.
const QString TelaAtualizada = QStringLiteral(" A tela foi atualizada.");
const QString UseLiberarMesa = QStringLiteral(" Para liberar a mesa, toque em \"Liberar Mesa\".");
} // namespace

QString TextoDe(Resultado resultado)
{
    switch (resultado) {
    case Resultado::MesaTomada:
        return QStringLiteral("Esta mesa não está mais livre; nenhuma comanda foi aberta.") + TelaAtualizada;
    case Resultado::MesaEmUso:
        return QStringLiteral("Esta mesa está sendo alterada neste momento; nada foi feito. Tente novamente.");
    case Resultado::MesaInexistente:
        return QStringLiteral("Esta mesa não está mais cadastrada; nada foi alterado.") + TelaAtualizada;
    case Resultado::MesaAlterada:
        return QStringLiteral("Esta mesa foi alterada desde a última leitura; nada foi alterado.") + TelaAtualizada;
    case Resultado::NumeroAlterado:
        return QStringLiteral("O número desta mesa foi alterado desde a última leitura; nada foi alterado.") +
               TelaAtualizada;
    case Resultado::ComandaFechada:
        return QStringLiteral("Esta comanda não está mais aberta; nada foi alterado.") + UseLiberarMesa;
    case Resultado::ComandaInexistente:
        return QStringLiteral("Esta comanda não existe; nada foi alterado.") + UseLiberarMesa;
    case Resultado::Feito:
        break;
    }
    return QString();
}

Comanda EstadoDe(const std::optional<QVariant>& situacao)
{
    if (!situacao)
        return Comanda::Inexistente;
    return situacao->toString().trimmed() == u"A" ? Comanda::Aberta : Comanda::Fechada;
}

Resultado RecusaDe(Comanda comanda)
{
    switch (comanda) {
    case Comanda::Fechada:
        return Resultado::ComandaFechada;
    case Comanda::Inexistente:
        return Resultado::ComandaInexistente;
    case Comanda::Aberta:
        break;
    }
    return Resultado::Feito;
}

} // namespace atendimento
