#include "UPesqMesa.h"

TFPesqMesa::TFPesqMesa(TDm& Dm) : Dm(Dm) { setObjectName(QStringLiteral("FPesqMesa")); }
