#include "UMsgSimNaoTablet.h"

TFMsgSimNaoTablet::TFMsgSimNaoTablet() { setObjectName(QStringLiteral("FMsgSimNaoTablet")); }
