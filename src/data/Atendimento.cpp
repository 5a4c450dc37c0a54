#include "data/Atendimento.h"

namespace atendimento {

QString TextoDe(Resultado resultado)
{
    switch (resultado) {
    case Resultado::MesaTomada:
        return QStringLiteral("Esta mesa acabou de ser aberta em outro terminal.");
    case Resultado::MesaInexistente:
        return QStringLiteral("Esta mesa não está mais cadastrada; nada foi alterado.");
    case Resultado::MesaAlterada:
        return QStringLiteral("Esta mesa foi alterada em outro terminal; a tela foi atualizada.");
    case Resultado::ComandaFechada:
        return QStringLiteral("Esta comanda foi fechada em outro terminal; a tela foi atualizada.");
    case Resultado::Feito:
        break;
    }
    return QString();
}

} // namespace atendimento
