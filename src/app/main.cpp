// Zenobra Kova: the touch-screen order taker of the dining room.

#include "app/LinhaDeComando.h"
#include "app/Program.h"
#include "app/Versao.h"
#include "base/EndSignals.h"
#include "base/Log.h"
#include "ui/Aplicacao.h"

int main(int argc, char** argv)
{
    zk::log::install();
    if (const std::optional<int> respondida = RespondeLinhaDeComando(argc, argv))
        return *respondida;
    zk::EndSignals::install(); // before the database client library is loaded
    ZenobraApp app(argc, argv);
    zk::setErrorReporter(MostraErro);
    zk::setFatalReporter(
        [](const QString& text) { zk::okBox(QMessageBox::Critical, QStringLiteral("Application Error"), text); });
    qCInfo(lcApp).noquote() << "Zenobra Kova" << ZK_VERSION << "started, process" << QApplication::applicationPid();
    const int codigo = ExecutaPrograma();
    qCInfo(lcApp) << "ended with exit code" << codigo;
    return codigo;
}
