#include "UConf.h"

TFConf::TFConf() { setObjectName(QStringLiteral("FConf")); }
