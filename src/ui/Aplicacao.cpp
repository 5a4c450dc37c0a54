#include "Aplicacao.h"

#include "Erros.h"

#include <QMessageBox>

// The pictures live in a static library: register them explicitly.
static void registerPictures() { Q_INIT_RESOURCE(assets); }

ZenobraApp::ZenobraApp(int& argc, char** argv) : QApplication(argc, argv)
{
    registerPictures();
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
    box.setTextFormat(Qt::PlainText); // error texts quote what the user typed: never markup
    box.exec();
}
