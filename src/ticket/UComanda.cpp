#include "UComanda.h"

TFComanda::TFComanda(TDm& Dm, bool, TFInformaQtd& FInformaQtd, TFMsgSimNaoTablet& FMsgSimNaoTablet)
    : Dm(Dm), FInformaQtd(FInformaQtd), FMsgSimNaoTablet(FMsgSimNaoTablet)
{
    setObjectName(QStringLiteral("FComanda"));
}
