#include "data/fb/Sockets.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <dirent.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#endif

namespace zk::fb {

std::set<int> openSockets()
{
    std::set<int> sockets;
#ifdef Q_OS_LINUX
    DIR* descriptors = ::opendir("/proc/self/fd");
    if (!descriptors)
        return sockets;
    while (const dirent* entry = ::readdir(descriptors)) {
        char path[sizeof "/proc/self/fd/" + sizeof entry->d_name], target[64] = {};
        std::snprintf(path, sizeof path, "/proc/self/fd/%s", entry->d_name);
        if (::readlink(path, target, sizeof target - 1) > 0 && std::strncmp(target, "socket:", 7) == 0)
            sockets.insert(std::atoi(entry->d_name));
    }
    ::closedir(descriptors);
#endif
    return sockets;
}

void cutOff([[maybe_unused]] int socket)
{
#ifdef Q_OS_LINUX
    ::shutdown(socket, SHUT_RDWR);
#endif
}

} // namespace zk::fb
