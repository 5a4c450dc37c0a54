#include "base/ProgramaIrmao.h"

#include "base/EndSignals.h"

#include <QCoreApplication>
#include <QProcess>
#include <QThread>

#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#elif defined(Q_OS_UNIX)
#include <fcntl.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <linux/close_range.h>
#endif
#endif

namespace {
QString& pastaDefinida()
{
    static QString pasta;
    return pasta;
}

#if defined(Q_OS_UNIX)
// Every descriptor of this program but the standard streams closes when a program is started
// (this program itself never execs, so nothing else changes for it). Done here rather than in
// the child, as the start of a program left running offers no hook there.
void nadaSeHerda()
{
#if defined(Q_OS_LINUX) && defined(CLOSE_RANGE_CLOEXEC)
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
#endif
    const long ultimo = std::min(::sysconf(_SC_OPEN_MAX), 65536L);
    for (int fd = 3; fd < ultimo; ++fd) {
        const int flags = ::fcntl(fd, F_GETFD);
        if (flags >= 0 && !(flags & FD_CLOEXEC))
            ::fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
    }
}
#endif

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
    // The sibling inherits no handle of this program: its connection to the server would
    // otherwise outlive it, with its locks, for as long as the sibling runs.
#ifdef Q_OS_WIN
    process.setCreateProcessArgumentsModifier([modoDeExibicao](QProcess::CreateProcessArguments* args) {
        args->inheritHandles = FALSE;
        args->flags |= CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS;
        args->startupInfo->dwFlags = STARTF_USESHOWWINDOW; // and so no standard handles either
        args->startupInfo->wShowWindow = static_cast<WORD>(modoDeExibicao);
    });
#elif defined(Q_OS_UNIX)
    nadaSeHerda();
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
