#pragma once
// One event of the server (POST_EVENT in a trigger) watched on a connection. The client
// calls back on a thread of its own; the watch only hands the delivery to the thread that
// created it, which tells its caller and asks the server again, as the client requires
// after each delivery. Several postings between two deliveries come as one.

#include "data/fb/Attachment.h"

#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>

namespace zk::fb {

class EventWatch {
public:
    // Raises what the client raises when the event cannot be asked for. `posted` runs on
    // the creating thread, once per delivery that follows a posting.
    EventWatch(Attachment& attachment, const QByteArray& name, std::function<void()> posted);
    ~EventWatch();
    EventWatch(const EventWatch&) = delete;
    EventWatch& operator=(const EventWatch&) = delete;

private:
    class Callback;
    struct Delivery;
    void ask();
    void delivered(const QByteArray& counts);

    Attachment& attachment_;
    int generation_; // of the connection the watch was asked on
    QByteArray request_; // the event's name and the count it was last seen at
    std::function<void()> posted_;
    bool baseline_ = true; // the server's first answer only gives the count so far
    QObject receiver_;     // on the creating thread: deliveries are handed to it
    std::shared_ptr<Delivery> delivery_;
    Ref<Firebird::IEvents> events_;
    Callback* callback_ = nullptr; // one reference, released with the watch
};

} // namespace zk::fb
