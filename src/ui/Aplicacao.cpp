#include "ui/Aplicacao.h"

#include "base/Erros.h"
#include "data/dataset/Formatos.h"

#include <QLibraryInfo>
#include <QPushButton>
#include <QTranslator>

// The pictures live in a static library: register them explicitly.
static void registerPictures() { Q_INIT_RESOURCE(assets); }

ZenobraApp::ZenobraApp(int& argc, char** argv) : QApplication(argc, argv)
{
    registerPictures();
    // The task bar's name of the program. There is no display name: the platform would add it
    // to every window's caption.
    setApplicationName(QStringLiteral("Zenobra Kova"));
    loadToolkitTranslations();
}

void ZenobraApp::loadToolkitTranslations()
{
    auto* translator = new QTranslator(this);
    if (translator->load(zk::regionalLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
    else
        delete translator; // no translation for this language: the toolkit's English stays
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

void MostraErro(const QString& texto) { zk::okBox(QMessageBox::Critical, QStringLiteral("Zenobra Kova"), texto); }

namespace zk {

void okBox(QMessageBox::Icon icon, const QString& caption, const QString& text, QWidget* parent)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box.exec();
}

} // namespace zk
