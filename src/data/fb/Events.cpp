#include "data/fb/Events.h"

#include "data/fb/Calls.h"

#include <mutex>

namespace zk::fb {

// What the client thread and the watch share: whether the watch still wants deliveries.
struct EventWatch::Delivery {
    std::mutex mutex;
    EventWatch* watch = nullptr;
    QObject* receiver = nullptr;
};

class EventWatch::Callback : public Firebird::IEventCallbackImpl<Callback, Firebird::ThrowStatusWrapper> {
public:
    explicit Callback(std::shared_ptr<Delivery> delivery) : delivery_(std::move(delivery)) {}

    // On a client thread: only a copy of the counts is handed over.
    void eventCallbackFunction(unsigned length, const unsigned char* events) override
    {
        if (length == 0)
            return; // the connection went: nothing was posted
        std::lock_guard lock(delivery_->mutex);
        if (!delivery_->watch)
            return;
        QByteArray counts(reinterpret_cast<const char*>(events), static_cast<qsizetype>(length));
        QMetaObject::invokeMethod(
            delivery_->receiver,
            [delivery = delivery_, counts] {
                if (EventWatch* watch = delivery->watch) // the watch lives on this thread
                    watch->delivered(counts);
            },
            Qt::QueuedConnection);
    }

    void addRef() override { ++references_; }
    int release() override
    {
        if (--references_ != 0)
            return 1;
        delete this;
        return 0;
    }

private:
    std::shared_ptr<Delivery> delivery_;
    std::atomic<int> references_{1};
};

namespace {
// The event parameter block of one event: version, the name's length, the name, its count.
QByteArray requestFor(const QByteArray& name)
{
    QByteArray block;
    block.append(char(1)); // EPB_version1
    block.append(char(name.size()));
    block.append(name);
    block.append(4, '\0');
    return block;
}

quint32 countIn(const QByteArray& block)
{
    const auto* p = reinterpret_cast<const unsigned char*>(block.constData() + block.size() - 4);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
} // namespace

EventWatch::EventWatch(Attachment& attachment, const QByteArray& name, std::function<void()> posted)
    : attachment_(attachment), generation_(attachment.generation()), request_(requestFor(name)),
      posted_(std::move(posted)), delivery_(std::make_shared<Delivery>())
{
    delivery_->watch = this;
    delivery_->receiver = &receiver_;
    callback_ = new Callback(delivery_);
    try {
        ask();
    } catch (...) {
        delivery_->watch = nullptr;
        callback_->release();
        throw;
    }
}

EventWatch::~EventWatch()
{
    {
        std::lock_guard lock(delivery_->mutex);
        delivery_->watch = nullptr;
    }
    // On the connection it was asked on the server is told; after a loss there is no one to tell.
    if (events_ && generation_ == attachment_.generation()) {
        try {
            attachment_.run([&](auto* st) { events_->cancel(st); });
            events_.forget();
        } catch (const Error&) {
        }
    }
    events_.reset();
    callback_->release();
}

void EventWatch::ask()
{
    events_.reset();
    events_.reset(attachment_.run([&](auto* st) {
        return attachment_.handle()->queEvents(st, callback_, static_cast<unsigned>(request_.size()),
                                               reinterpret_cast<const unsigned char*>(request_.constData()));
    }));
}

void EventWatch::delivered(const QByteArray& counts)
{
    if (generation_ != attachment_.generation() || counts.size() != request_.size())
        return; // a delivery from a connection since lost
    const bool posted = !baseline_ && countIn(counts) != countIn(request_);
    baseline_ = false;
    request_ = counts;
    try {
        ask();
    } catch (const Error&) {
        return; // the connection went: a new watch comes with the next one
    }
    if (posted)
        posted_();
}

} // namespace zk::fb
