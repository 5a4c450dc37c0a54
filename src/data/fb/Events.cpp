#include "data/fb/Events.h"

#include "data/fb/Calls.h"

#include <condition_variable>
#include <mutex>
#include <optional>

namespace zk::fb {

// What the watch's thread, the client's thread that delivers and the owner share.
struct EventWatch::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;
    unsigned current = 0; // the request being answered: an earlier one's last call is let go
    std::optional<QByteArray> delivered; // the counts of the latest delivery, not yet taken
    bool channelLost = false;
};

class EventWatch::Callback : public Firebird::IEventCallbackImpl<Callback, Firebird::ThrowStatusWrapper> {
public:
    Callback(std::shared_ptr<Shared> shared, unsigned request) : shared_(std::move(shared)), request_(request) {}

    // On a client thread: only a copy of the counts is handed over. A request let go is called
    // once more with nothing: only the current request's empty call means the channel went.
    void eventCallbackFunction(unsigned length, const unsigned char* events) override
    {
        {
            std::lock_guard lock(shared_->mutex);
            if (request_ != shared_->current)
                return;
            if (length == 0)
                shared_->channelLost = true; // the connection went: nothing was posted
            else
                shared_->delivered = QByteArray(reinterpret_cast<const char*>(events), static_cast<qsizetype>(length));
        }
        shared_->wake.notify_all();
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
    std::shared_ptr<Shared> shared_;
    const unsigned request_;
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

// The channel failed: whatever the client says about it, the thread starts afresh.
struct ChannelLost {};
} // namespace

EventWatch::EventWatch(Connection connection, const QByteArray& name, std::function<void()> posted, Pauses pauses)
    : connection_(std::move(connection)), request_(requestFor(name)), pauses_(pauses), posted_(std::move(posted)),
      shared_(std::make_shared<Shared>())
{
    thread_ = std::thread([this] { run(); });
}

EventWatch::~EventWatch()
{
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
    }
    shared_->wake.notify_all();
    thread_.join();
}

void EventWatch::announce()
{
    QMetaObject::invokeMethod(
        &receiver_, [this] { posted_(); }, Qt::QueuedConnection);
}

void EventWatch::run()
{
    std::chrono::milliseconds pause = pauses_.first;
    bool resumed = false;
    for (;;) {
        Attachment attachment;
        attachment.setBackground(true);
        attachment.setDatabaseName(connection_.databaseName);
        attachment.params() = connection_.params;
        attachment.setDeadline(connection_.deadline);
        Request request;
        try {
            attachment.connect();
            ask(attachment, request, request_, Opening::Yes);
            serve(attachment, request, resumed);
        } catch (const Error&) {
        } catch (const ChannelLost&) {
        }
        if (registered_.exchange(false))
            pause = pauses_.first; // it worked for a while: the next try comes soon
        // Told to the server while the connection is there; after a failure nobody is left.
        if (attachment.connected()) {
            try {
                if (request.events) {
                    attachment.run([&](auto* st) { request.events->cancel(st); });
                    request.events.forget();
                }
                attachment.disconnect();
            } catch (const Error&) {
            }
        }
        request.events.reset();
        request.callback.reset();
        request.previous.reset();
        resumed = true;
        std::unique_lock lock(shared_->mutex);
        if (shared_->stop)
            return;
        if (shared_->wake.wait_for(lock, pause, [this] { return shared_->stop; }))
            return;
        pause = std::min(pause * 2, pauses_.longest);
    }
}

void EventWatch::ask(Attachment& attachment, Request& request, const QByteArray& counts, Opening opening)
{
    Ref<Callback> next;
    {
        std::lock_guard lock(shared_->mutex);
        next.reset(new Callback(shared_, ++shared_->current));
        shared_->delivered.reset();
        shared_->channelLost = false;
    }
    request.events.reset(); // after the request number moved on: its last call is let go
    request.previous = std::exchange(request.callback, std::move(next));
    auto queue = [&](auto* st) {
        return attachment.handle()->queEvents(st, request.callback.get(), static_cast<unsigned>(counts.size()),
                                              reinterpret_cast<const unsigned char*>(counts.constData()));
    };
    request.events.reset(opening == Opening::Yes ? attachment.runOpening(queue) : attachment.run(queue));
}

// The server answers a request once the event was posted at least as many times as the request
// says, with that number plus one: the first request, at 0, is answered at once with the count
// so far. That answer is announced only after a failure: what was posted while the channel was
// down has been missed.
void EventWatch::serve(Attachment& attachment, Request& request, bool resumed)
{
    QByteArray seen = request_;
    bool baseline = true;
    // The first answer comes at once on a working channel: one that does not come within the
    // deadline means a channel that connected but carries nothing.
    auto nextCheck = std::chrono::steady_clock::now() + connection_.deadline;
    for (;;) {
        std::optional<QByteArray> counts;
        {
            std::unique_lock lock(shared_->mutex);
            shared_->wake.wait_until(lock, nextCheck, [this] {
                return shared_->stop || shared_->delivered || shared_->channelLost;
            });
            if (shared_->stop)
                return;
            if (shared_->channelLost || (baseline && !shared_->delivered))
                throw ChannelLost();
            counts = std::exchange(shared_->delivered, std::nullopt);
        }
        if (!counts) {
            // A quiet channel is checked: a network gone silent sends nothing to say so.
            attachment.run([&](auto* st) { attachment.handle()->ping(st); });
            nextCheck = std::chrono::steady_clock::now() + pauses_.check;
            continue;
        }
        if (counts->size() != request_.size())
            continue;
        const bool posted = baseline ? resumed : countIn(*counts) != countIn(seen);
        if (baseline)
            nextCheck = std::chrono::steady_clock::now() + pauses_.check;
        baseline = false;
        registered_ = true; // from here on every posting is answered
        seen = *counts;
        // The client wants the event asked for again after each delivery.
        ask(attachment, request, seen, Opening::No);
        if (posted)
            announce();
    }
}

} // namespace zk::fb
