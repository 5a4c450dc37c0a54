#pragma once
// One event of the server (POST_EVENT in a trigger) watched on a connection of its own, kept
// by a thread of its own. Events reach the client through a second connection, to the
// server's auxiliary port, which a firewall may refuse or silently drop: nothing of it may
// hold the waiter's thread, and a blocked channel only means the floor is read at its usual
// moments. The thread asks again with a growing pause until the channel works, and checks
// now and then that a quiet channel is still there.

#include "data/fb/Attachment.h"

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace zk::fb {

// Where a watch connects, as the program's own connection does.
struct EventConnection {
    QString databaseName;
    QStringList params;
    std::chrono::milliseconds deadline = Attachment::defaultDeadline;
};

// How long a watch's thread waits: before asking again after a failure (doubling from
// `first` up to `longest`), and between two checks of a quiet channel.
struct EventPauses {
    std::chrono::milliseconds first{500};
    std::chrono::milliseconds longest{30000};
    std::chrono::milliseconds check{30000};
};

class EventWatch {
public:
    using Connection = EventConnection;
    using Pauses = EventPauses;

    // `posted` runs on the creating thread after each posting, and once each time the watch
    // is back after a failure (what was posted meanwhile is not known).
    EventWatch(Connection connection, const QByteArray& name, std::function<void()> posted, Pauses pauses = {});
    // Stops the thread, which lets the server know (within the deadline).
    ~EventWatch();
    EventWatch(const EventWatch&) = delete;
    EventWatch& operator=(const EventWatch&) = delete;

    // Whether the server is being asked for the event at this moment, and has answered the
    // first request: every posting from here on is announced.
    bool registered() const { return registered_; }

private:
    class Callback;
    struct Shared;
    // One request to the server, and the callback it answers. The one before is kept alive
    // until the next: a request let go may still call it once, from the client's thread.
    struct Request {
        Ref<Callback> previous;
        Ref<Callback> callback;
        Ref<Firebird::IEvents> events; // let go before the callbacks
    };
    // The first request of a connection opens the channel's own socket.
    enum class Opening { No, Yes };
    void run();
    void ask(Attachment& attachment, Request& request, const QByteArray& counts, Opening opening);
    // Keeps the event asked for until the channel fails or the watch stops.
    void serve(Attachment& attachment, Request& request, bool resumed);
    void announce(); // on the creating thread

    const Connection connection_;
    const QByteArray request_; // the event's name, at count 0
    const Pauses pauses_;
    std::function<void()> posted_;
    QObject receiver_; // on the creating thread: what the thread announces is handed to it
    std::shared_ptr<Shared> shared_;
    std::atomic<bool> registered_{false};
    std::thread thread_;
};

} // namespace zk::fb
