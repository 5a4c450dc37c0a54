#include "data/fb/Sockets.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#endif

namespace zk::fb {

#ifdef Q_OS_LINUX
namespace {
bool isTcp(int socket)
{
    int domain = 0, type = 0;
    socklen_t length = sizeof domain;
    if (::getsockopt(socket, SOL_SOCKET, SO_DOMAIN, &domain, &length) != 0)
        return false;
    length = sizeof type;
    if (::getsockopt(socket, SOL_SOCKET, SO_TYPE, &type, &length) != 0)
        return false;
    return (domain == AF_INET || domain == AF_INET6) && type == SOCK_STREAM;
}

int localPort(int socket)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
}

bool isListening(int socket)
{
    int listening = 0;
    socklen_t length = sizeof listening;
    return ::getsockopt(socket, SOL_SOCKET, SO_ACCEPTCONN, &listening, &length) == 0 && listening;
}

void set(int socket, int level, int option, int value) { ::setsockopt(socket, level, option, &value, sizeof value); }
} // namespace
#endif

std::set<int> openSockets()
{
    std::set<int> sockets;
#ifdef Q_OS_LINUX
    DIR* descriptors = ::opendir("/proc/self/fd");
    if (!descriptors)
        return sockets;
    std::set<int> listeningPorts;
    while (const dirent* entry = ::readdir(descriptors)) {
        char path[sizeof "/proc/self/fd/" + sizeof entry->d_name], target[64] = {};
        std::snprintf(path, sizeof path, "/proc/self/fd/%s", entry->d_name);
        if (::readlink(path, target, sizeof target - 1) > 0 && std::strncmp(target, "socket:", 7) == 0) {
            const int socket = std::atoi(entry->d_name);
            if (!isTcp(socket))
                continue;
            if (isListening(socket))
                listeningPorts.insert(localPort(socket));
            else
                sockets.insert(socket);
        }
    }
    ::closedir(descriptors);
    // A connection this process accepted (a relay of its own) shares its listener's port.
    std::erase_if(sockets, [&](int socket) { return listeningPorts.count(localPort(socket)) != 0; });
#endif
    return sockets;
}

void cutOff([[maybe_unused]] int socket)
{
#ifdef Q_OS_LINUX
    ::shutdown(socket, SHUT_RDWR);
    // A connection still being made ignores the shutdown: it gives up at its next try instead.
    set(socket, IPPROTO_TCP, TCP_USER_TIMEOUT, 1);
#endif
}

void limitWaits([[maybe_unused]] int socket, [[maybe_unused]] std::chrono::milliseconds deadline)
{
#ifdef Q_OS_LINUX
    const int seconds = std::max(1, static_cast<int>((deadline.count() + 999) / 1000));
    set(socket, IPPROTO_TCP, TCP_USER_TIMEOUT, static_cast<int>(deadline.count()));
    set(socket, SOL_SOCKET, SO_KEEPALIVE, 1);
    set(socket, IPPROTO_TCP, TCP_KEEPIDLE, seconds);
    set(socket, IPPROTO_TCP, TCP_KEEPINTVL, seconds);
    set(socket, IPPROTO_TCP, TCP_KEEPCNT, 2);
#endif
}

} // namespace zk::fb
