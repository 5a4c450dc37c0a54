#include "app/Program.h"

#include "base/EndSignals.h"
#include "base/Erros.h"
#include "base/Log.h"
#include "dialogs/URegistra.h"

#include <QApplication>
#include <QTimer>

#include <csignal>
#include <optional>
#include <set>

Program::Program()
    : Dm([this] {
          TFRegistra FRegistra([this] { fimSolicitado = true; });
          FRegistra.exec();
      }),
      FPRincipal(Dm, FPesqMesa, FComanda, FConf, FMsgSimNaoTablet),
      FPesqMesa(Dm),
      FComanda(Dm, FPRincipal.ModoTablet, FInformaQtd, FMsgSimNaoTablet),
      FInformaQtd(Dm)
{
}

namespace {

const char* nomeDoSinal(int sinal)
{
    switch (sinal) {
    case SIGTERM:
        return "SIGTERM";
    case SIGINT:
        return "SIGINT";
    case SIGHUP:
        return "SIGHUP";
    }
    return "an unknown signal";
}

// The end asked from outside (a signal). Each open dialog closes as its own close box would:
// a pending order line is dropped, a question is answered "Não". A wait for the billing
// program stops. Then the floor closes as "Sair" does, and the data module commits and
// detaches as at a normal end. Checked again until nothing is left open, since a closing
// dialog may bring up another one; nothing is shown any more, errors go to the log only.
class Encerramento : public QObject {
public:
    explicit Encerramento(std::optional<Program>& program) : program_(program)
    {
        connect(&sinais_, &zk::EndSignals::received, this, [this](int sinal) { inicia(sinal); });
        connect(&repete_, &QTimer::timeout, this, [this] { fecha(); });
    }

private:
    void inicia(int sinal)
    {
        qCInfo(lcApp) << "end asked by" << nomeDoSinal(sinal);
        if (repete_.isActive())
            return;
        zk::setErrorReporter([](const QString&) {});
        repete_.start(20);
        fecha();
    }

    void fecha()
    {
        std::set<QWidget*> pedidas;
        while (QWidget* modal = QApplication::activeModalWidget()) {
            if (!pedidas.insert(modal).second)
                return; // it keeps itself open for now (the ticket while billing): next round
            modal->close();
        }
        if (!program_)
            return; // start-up is not over: ExecutaPrograma sees the request when it is
        repete_.stop();
        program_->FPRincipal.close();
        QApplication::quit();
    }

    std::optional<Program>& program_;
    zk::EndSignals sinais_;
    QTimer repete_;
};

} // namespace

int ExecutaPrograma()
{
    std::optional<Program> program;
    Encerramento encerramento(program);
    try {
        program.emplace();
    } catch (const zk::ClientLibraryError& e) {
        zk::reportFatal(QStringLiteral("ClientLibraryError"), e);
        return 1;
    }
    program->FPRincipal.show();
    if (program->fimSolicitado || zk::EndSignals::requested()) {
        QApplication::processEvents(); // the end was asked for before the loop: one pass, then stop
        return 0;
    }
    QApplication::exec();
    return 0;
}
