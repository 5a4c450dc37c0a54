#include "UMensagem.h"

TFMensagem::TFMensagem() { setObjectName(QStringLiteral("FMensagem")); }
