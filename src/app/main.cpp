// Zenobra Kova: the touch-screen order taker of the dining room.

#include "app/Program.h"
#include "base/EndSignals.h"
#include "ui/Aplicacao.h"

int main(int argc, char** argv)
{
    zk::EndSignals::install(); // before the database client library is loaded
    ZenobraApp app(argc, argv);
    zk::setErrorReporter(MostraErro);
    zk::setFatalReporter(
        [](const QString& text) { zk::okBox(QMessageBox::Critical, QStringLiteral("Application Error"), text); });
    return ExecutaPrograma();
}
