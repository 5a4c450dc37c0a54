#include "URegistra.h"

TFRegistra::TFRegistra(std::function<void()> solicitaFim) : solicitaFim(std::move(solicitaFim))
{
    setObjectName(QStringLiteral("FRegistra"));
}
