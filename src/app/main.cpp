// Zenobra Kova: the touch-screen order taker of the dining room.

#include "Aplicacao.h"
#include "Program.h"

#include <QMessageBox>

int main(int argc, char** argv)
{
    ZenobraApp app(argc, argv);
    zk::setErrorReporter(MostraErro);
    zk::setFatalReporter([](const QString& text) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Application Error"), text, QMessageBox::Ok);
        box.exec();
    });
    return ExecutaPrograma();
}
