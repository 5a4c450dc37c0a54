#include "Aplicacao.h"

#include "Erros.h"

#include <QMessageBox>

ZenobraApp::ZenobraApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Zenobra Kova"));
    setApplicationDisplayName(QStringLiteral("Zenobra Kova"));
}

bool ZenobraApp::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        zk::reportError(e);
        return false;
    }
}

void MostraErro(const QString& texto)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Zenobra Kova"), texto, QMessageBox::Ok);
    box.exec();
}
