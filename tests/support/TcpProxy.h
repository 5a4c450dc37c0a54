#pragma once
// A TCP proxy between the program's connection and the loopback Firebird server, on a thread
// of its own (the program's calls block while they wait for the server). A test can cut every
// connection, as a network that drops would, refuse new ones as a server that is away would,
// let the server carry out the next request but lose its reply, let a server fall silent on
// an open connection, let the whole network go silent (a Wi-Fi out of range: no reset, no
// answer, nothing either way), and restore the network.

#include <QString>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TcpProxy {
public:
    // Forwards to "host/port" (the form of ZENOBRA_TEST_FB_SERVER), listening on `address`
    // (on a port of its own unless `port` is given).
    explicit TcpProxy(const QString& target, const QString& address = QStringLiteral("127.0.0.1"), int port = 0);
    ~TcpProxy();
    TcpProxy(const TcpProxy&) = delete;
    TcpProxy& operator=(const TcpProxy&) = delete;

    // "<address>/<port>": what a client connects to instead of the server.
    QString address() const;

    // Drops every connection now; new ones are closed as soon as they arrive.
    void cut();
    // The next reply the server sends is lost, and every connection dropped with it: the
    // request was carried out, but the client never learns it.
    void loseNextReply();
    // The server's next reply reaches the client; after it, that connection stays open and
    // carries nothing either way, as a server that has ended a connection may leave it.
    void silenceAfterNextReply();
    // Nothing moves either way on any connection, open or new (new ones are accepted and
    // never answered), and nobody is told.
    void silence();
    // The next request reaches the server, which carries it out; then the network goes silent
    // as above, its reply never read.
    void silenceNextReply();
    // New connections are accepted and never answered, as a server machine that hangs;
    // open ones carry on.
    void hangNewConnections();
    // Connections are accepted and forwarded again. Those that went silent stay dead, and
    // the server is never told (the proxy ends them when it ends): it still holds their
    // transactions and locks, as after a real half-open drop.
    void restore();

private:
    struct Pair {
        int client;
        int server; // -1 while a new connection hangs
        bool silent = false;
    };
    void run();
    void closeAll();
    // Changes what the proxy does, under its lock, and has its thread take it up at once.
    void change(const std::function<void()>& what);
    void wake();

    QString host_;
    QString address_;
    int targetPort_ = 0;
    int listener_ = -1;
    int port_ = 0;
    int wakeUp_[2] = {-1, -1};
    std::mutex mutex_;
    std::vector<Pair> pairs_;
    std::vector<int> stranded_; // server sides of connections that went silent
    bool cut_ = false;
    bool loseReply_ = false;
    bool silenceAfterReply_ = false;
    bool silenceBeforeReply_ = false;
    bool silent_ = false;
    bool hangNew_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
