#pragma once
// The application object: the default error handler for everything an event handler raises.

#include <QApplication>
#include "Erros.h"

#include <functional>

class ZenobraApp : public QApplication {
public:
    ZenobraApp(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The error box: caption "Zenobra Kova", the critical icon, one OK button.
void MostraErro(const QString& texto);

namespace zk {
// Wraps a handler for a signal so that its failure is reported and the rest of it
// skipped, before the exception could unwind through the toolkit. The signal's
// arguments are not passed on.
template <class Handler>
auto reported(Handler handler)
{
    return [handler = std::move(handler)](auto&&...) { runReported(handler); };
}
} // namespace zk
