#include "Program.h"

#include "Erros.h"
#include "URegistra.h"

#include <QApplication>

#include <optional>

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

int ExecutaPrograma()
{
    std::optional<Program> program;
    try {
        program.emplace();
    } catch (const zk::ClientLibraryError& e) {
        zk::reportFatal(QStringLiteral("ClientLibraryError"), e);
        return 1;
    }
    program->FPRincipal.show();
    if (program->fimSolicitado) {
        QApplication::processEvents(); // the end was asked for before the loop: one pass, then stop
        return 0;
    }
    QApplication::exec();
    return 0;
}
