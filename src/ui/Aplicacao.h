#pragma once
// The application object: the default error handler for everything an event handler raises,
// and the platform's standard boxes in the system's language.

#include <QApplication>
#include <QMessageBox>
#include "base/Erros.h"

#include <functional>

class ZenobraApp : public QApplication {
public:
    ZenobraApp(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    // Qt's own translations for the regional locale (pt_BR under C/POSIX), so the platform's
    // Yes/No box says "Sim"/"Não"; the program's own boxes keep their texts as written.
    void loadToolkitTranslations();
};

// The error box: caption "Zenobra Kova", the critical icon, one OK button.
void MostraErro(const QString& texto);

namespace zk {
// A message box of the program's own, with one button captioned exactly "OK" whatever the
// language; its text is shown as plain text (it may quote what the user typed).
void okBox(QMessageBox::Icon icon, const QString& caption, const QString& text, QWidget* parent = nullptr);

// Wraps a handler for a signal so that its failure is reported and the rest of it
// skipped, before the exception could unwind through the toolkit. The signal's
// arguments are not passed on.
template <class Handler>
auto reported(Handler handler)
{
    return [handler = std::move(handler)](auto&&...) { runReported(handler); };
}
} // namespace zk
