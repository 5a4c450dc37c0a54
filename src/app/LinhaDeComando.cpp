#include "app/LinhaDeComando.h"

#include "app/Versao.h"
#include "base/Ufuncoes.h"

#include <QDir>
#include <QString>

#include <cstdio>
#include <cstring>

namespace {

QString ajuda()
{
    return QStringLiteral(
               "Usage: zenobra [--help | --version]\n"
               "\n"
               "Zenobra Kova %1, the touch-screen order taker of the dining room. Without an option it\n"
               "opens the table floor; any other argument is ignored.\n"
               "\n"
               "It reads the settings file\n"
               "  %2\n"
               "(section [DADOS]: the Firebird database and its SYSDBA password; [KOVA] MODO: -1 tablet,\n"
               "0 desktop). When the file is missing, the installation dialog writes it.\n"
               "\n"
               "Environment:\n"
               "  ZENOBRA_INI       names the settings file\n"
               "  XDG_CONFIG_HOME   its folder otherwise: $XDG_CONFIG_HOME/zenobra/ZENOBRA.Ini\n"
               "                    (~/.config/zenobra/ZENOBRA.Ini when unset)\n"
               "  ZENOBRA_FBCLIENT  names the Firebird client library (default libfbclient.so.2,\n"
               "                    then libfbclient.so)\n"
               "  QT_QPA_PLATFORM   Qt's display platform (xcb, wayland, linuxfb, vnc, ...)\n"
               "\n"
               "Log: one line per event on standard error, \"<UTC time> <category> <level>: <text>\",\n"
               "categories zenobra.app, zenobra.ui and zenobra.db.\n"
               "Exit codes: 0 a normal end (\"Sair\", SIGTERM, SIGINT, SIGHUP); 1 the Firebird client\n"
               "library could not be loaded.\n")
        .arg(QStringLiteral(ZK_VERSION), QDir::toNativeSeparators(CaminhoIni()));
}

void escreve(const QString& texto) { std::fputs(texto.toLocal8Bit().constData(), stdout); }

} // namespace

std::optional<int> RespondeLinhaDeComando(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            escreve(QStringLiteral("Zenobra Kova %1\n").arg(QStringLiteral(ZK_VERSION)));
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            escreve(ajuda());
            return 0;
        }
    }
    return std::nullopt;
}
