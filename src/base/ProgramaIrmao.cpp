#include "base/ProgramaIrmao.h"

#include "base/EndSignals.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
QString& pastaDefinida()
{
    static QString pasta;
    return pasta;
}

// The program and its arguments, prepared as the platform starts a command line.
bool prepara(QProcess& process, const QString& linhaDeComando, [[maybe_unused]] int modoDeExibicao)
{
    if (linhaDeComando.size() > ComprimentoMaximoDaLinha)
        return false; // never run a command cut short
    QStringList words = QProcess::splitCommand(linhaDeComando);
    if (words.isEmpty())
        return false;
    process.setProgram(words.takeFirst());
    process.setArguments(words);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
#ifdef Q_OS_WIN
    process.setCreateProcessArgumentsModifier([modoDeExibicao](QProcess::CreateProcessArguments* args) {
        args->flags |= CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS;
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = static_cast<WORD>(modoDeExibicao);
    });
#endif
    return true;
}
} // namespace

QString PastaDoPrograma()
{
    return pastaDefinida().isEmpty() ? QCoreApplication::applicationDirPath() : pastaDefinida();
}

void DefinePastaDoPrograma(const QString& pasta) { pastaDefinida() = pasta; }

QString CaminhoCaixa()
{
#ifdef Q_OS_WIN
    return PastaDoPrograma() + QStringLiteral("/caixa.exe");
#else
    return PastaDoPrograma() + QStringLiteral("/caixa");
#endif
}

int ExecutaEEspera(const QString& linhaDeComando, int modoDeExibicao)
{
    QProcess process;
    if (!prepara(process, linhaDeComando, modoDeExibicao))
        return -1;
    process.start();
    if (!process.waitForStarted())
        return -1;
    while (process.state() != QProcess::NotRunning && !process.waitForFinished(0)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (zk::EndSignals::requested()) {
            // This program is ending: the billing program is asked to end too, not waited for.
            process.terminate();
            process.waitForFinished(1000);
            return -1;
        }
        QThread::msleep(50);
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void IniciaPrograma(const QString& linhaDeComando, int modoDeExibicao)
{
    QProcess process;
    if (prepara(process, linhaDeComando, modoDeExibicao))
        process.startDetached();
}
