#include "base/EndSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zk {

namespace {
volatile std::sig_atomic_t endRequested = 0;
int pipeEnds[2] = {-1, -1};
void (*installed)(int) = nullptr;

#ifdef Q_OS_UNIX
// Only what is safe in a signal handler: a flag and one byte written.
extern "C" void noteEnd(int signal)
{
    const int saved = errno;
    endRequested = 1;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = saved;
}
#endif
} // namespace

void EndSignals::install([[maybe_unused]] void (*handler)(int))
{
#ifdef Q_OS_UNIX
    if (!handler && pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    installed = handler ? handler : noteEnd;
    reclaim();
#endif
}

void EndSignals::reclaim()
{
#ifdef Q_OS_UNIX
    if (!installed)
        return;
    struct sigaction action = {};
    action.sa_handler = installed;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(signal, &action, nullptr);
#endif
}

bool EndSignals::requested() { return endRequested != 0; }

EndSignals::EndSignals(QObject* parent) : QObject(parent)
{
#ifdef Q_OS_UNIX
    if (pipeEnds[0] < 0)
        return;
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char arrived[16];
        ssize_t count;
        while ((count = ::read(pipeEnds[0], arrived, sizeof arrived)) > 0)
            for (ssize_t i = 0; i < count; ++i)
                emit received(arrived[i]);
    });
#endif
}

} // namespace zk
