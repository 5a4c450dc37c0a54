#include "UInformaQtd.h"

TFInformaQtd::TFInformaQtd(TDm& Dm) : Dm(Dm) { setObjectName(QStringLiteral("FInformaQtd")); }
