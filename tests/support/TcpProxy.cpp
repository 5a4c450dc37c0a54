#include "support/TcpProxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {
// Small packets go at once both ways, as they would without the proxy in between.
void noDelay(int fd)
{
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

int connectTo(const QString& host, int port)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, host.toLatin1().constData(), &address.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    noDelay(fd);
    return fd;
}

// The other end sees the connection reset, as when a network drops it.
void drop(int fd)
{
    linger abort{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::close(fd);
}

// Reads what came and lets it go nowhere.
bool discard(int from)
{
    char buffer[65536];
    return ::read(from, buffer, sizeof buffer) > 0;
}

bool forward(int from, int to)
{
    char buffer[65536];
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got <= 0)
        return false;
    for (ssize_t sent = 0; sent < got;) {
        const ssize_t n = ::send(to, buffer + sent, static_cast<size_t>(got - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}
} // namespace

TcpProxy::TcpProxy(const QString& target, const QString& address, int port) : address_(address)
{
    host_ = target.section(u'/', 0, 0);
    targetPort_ = target.section(u'/', 1, 1).toInt();
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in listening{};
    listening.sin_family = AF_INET;
    listening.sin_port = htons(static_cast<uint16_t>(port));
    ::inet_pton(AF_INET, address.toLatin1().constData(), &listening.sin_addr);
    socklen_t length = sizeof listening;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&listening), length) != 0 || ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&listening), &length) != 0 ||
        ::pipe2(wakeUp_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error("the proxy cannot listen");
    port_ = ntohs(listening.sin_port);
    thread_ = std::thread([this] { run(); });
}

TcpProxy::~TcpProxy()
{
    stop_ = true;
    wake();
    thread_.join();
    closeAll();
    for (int server : stranded_)
        drop(server);
    ::close(listener_);
    ::close(wakeUp_[0]);
    ::close(wakeUp_[1]);
}

QString TcpProxy::address() const { return QStringLiteral("%1/%2").arg(address_).arg(port_); }

void TcpProxy::wake()
{
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp_[1], &byte, 1);
}

void TcpProxy::closeAll()
{
    for (const Pair& pair : pairs_) {
        drop(pair.client);
        if (pair.server >= 0)
            drop(pair.server);
    }
    pairs_.clear();
}

void TcpProxy::change(const std::function<void()>& what)
{
    {
        std::lock_guard lock(mutex_);
        what();
    }
    wake();
}

void TcpProxy::cut()
{
    change([this] {
        cut_ = true;
        closeAll();
    });
}

void TcpProxy::loseNextReply()
{
    change([this] { loseReply_ = true; });
}

void TcpProxy::silenceAfterNextReply()
{
    change([this] { silenceAfterReply_ = true; });
}

void TcpProxy::silence()
{
    change([this] { silent_ = hangNew_ = true; });
}

void TcpProxy::hangNewConnections()
{
    change([this] { hangNew_ = true; });
}

void TcpProxy::silenceNextReply()
{
    change([this] { silenceBeforeReply_ = true; });
}

void TcpProxy::restore()
{
    change([this] {
        // What went silent stays dead, the worst a network can do: the client's side is gone
        // (it gave up), and the server is never told, holding what the connection held.
        if (silent_) {
            for (const Pair& pair : pairs_) {
                drop(pair.client);
                if (pair.server >= 0)
                    stranded_.push_back(pair.server);
            }
            pairs_.clear();
        }
        std::erase_if(pairs_, [](const Pair& pair) {
            if (pair.server >= 0)
                return false;
            drop(pair.client); // accepted and never answered: the client gave up on it
            return true;
        });
        cut_ = loseReply_ = silenceAfterReply_ = silenceBeforeReply_ = silent_ = hangNew_ = false;
    });
}

void TcpProxy::run()
{
    while (!stop_) {
        std::vector<pollfd> watched{{listener_, POLLIN, 0}, {wakeUp_[0], POLLIN, 0}};
        {
            std::lock_guard lock(mutex_);
            // A silent network reads nothing: what is sent waits in the buffers, unanswered.
            for (const Pair& pair : pairs_)
                if (!silent_ && pair.server >= 0) {
                    watched.push_back({pair.client, POLLIN, 0});
                    watched.push_back({pair.server, POLLIN, 0});
                }
        }
        if (::poll(watched.data(), watched.size(), 1000) <= 0)
            continue;
        std::lock_guard lock(mutex_);
        if (watched[1].revents) {
            char drain[64];
            while (::read(wakeUp_[0], drain, sizeof drain) > 0) {
            }
            continue; // the set of connections may have changed
        }
        if (watched[0].revents & POLLIN) {
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0 && !cut_ && hangNew_) {
                pairs_.push_back({client, -1});
                continue;
            }
            const int server = client < 0 || cut_ ? -1 : connectTo(host_, targetPort_);
            if (server < 0) {
                if (client >= 0)
                    drop(client); // a server that is away: the connection is refused
            } else {
                noDelay(client);
                pairs_.push_back({client, server});
            }
        }
        for (size_t i = 2; i < watched.size(); i += 2) {
            const int client = watched[i].fd;
            const int server = watched[i + 1].fd;
            auto pair = std::find_if(pairs_.begin(), pairs_.end(), [&](const Pair& p) { return p.client == client; });
            if (pair == pairs_.end())
                continue;
            bool open = true;
            if (watched[i].revents)
                open = pair->silent ? discard(client) : forward(client, server);
            if (open && watched[i + 1].revents) {
                if (silenceBeforeReply_) {
                    // The request reached the server and was carried out; its reply is never read.
                    silenceBeforeReply_ = false;
                    silent_ = hangNew_ = true;
                    break;
                }
                if (loseReply_) {
                    // The request reached the server and was carried out: its reply goes nowhere.
                    char lost[65536];
                    [[maybe_unused]] const ssize_t n = ::read(server, lost, sizeof lost);
                    loseReply_ = false;
                    cut_ = true;
                    closeAll();
                    break;
                }
                if (pair->silent) {
                    open = discard(server);
                } else {
                    open = forward(server, client);
                    pair->silent = std::exchange(silenceAfterReply_, false);
                }
            }
            if (!open) {
                drop(pair->client);
                drop(pair->server);
                pairs_.erase(pair);
            }
        }
    }
}
