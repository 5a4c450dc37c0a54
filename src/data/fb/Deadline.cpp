#include "data/fb/Deadline.h"

#include "data/fb/Sockets.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

namespace zk::fb {

using Clock = std::chrono::steady_clock;

struct WatchedCall {
    std::chrono::milliseconds limit{0};
    Clock::time_point deadline;
    std::vector<int> sockets;            // the connection's, known before the call
    std::optional<std::set<int>> before; // an opening call: what was open when it began
    std::atomic<bool> expired{false};
    bool cuttable = false;                      // by the waiter's opening call
    std::unique_lock<std::timed_mutex> opening; // held by an opening call
};

namespace {

class Watchdog {
public:
    static Watchdog& instance()
    {
        static Watchdog watchdog;
        return watchdog;
    }

    void add(WatchedCall* call)
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
        // The thread sleeps until the earliest deadline it knows: it is woken only when this
        // one comes sooner (a run of calls costs one wake-up, not one each).
        if (call->deadline < wake_) {
            wake_ = call->deadline;
            changed_.notify_one();
        }
    }

    void remove(WatchedCall* call)
    {
        std::lock_guard lock(mutex_);
        std::erase(calls_, call);
        if (opening_ == call)
            opening_ = nullptr;
    }

    // Takes the one turn for opening sockets. An urgent call cuts a background one holding
    // it, again until it lets go (it may not have opened its socket yet when first cut); it
    // waits for any other, which its own deadline bounds.
    void takeOpeningTurn(WatchedCall* call, OpeningCall::Turn kind)
    {
        std::unique_lock turn(openingTurn_, std::try_to_lock);
        if (!turn.owns_lock()) {
            if (kind != OpeningCall::Turn::Urgent)
                turn.lock();
            while (!turn.owns_lock()) {
                {
                    std::lock_guard lock(mutex_);
                    if (opening_ && opening_->cuttable)
                        cut(*opening_);
                }
                turn.try_lock_for(std::chrono::milliseconds(20));
            }
        }
        std::lock_guard lock(mutex_);
        call->cuttable = kind == OpeningCall::Turn::Background;
        call->opening = std::move(turn);
        call->before = openSockets();
        opening_ = call;
    }

    ~Watchdog()
    {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_one();
        thread_.join();
    }

private:
    Watchdog() : thread_([this] { run(); }) {}

    void run()
    {
        std::unique_lock lock(mutex_);
        while (!stop_) {
            const Clock::time_point now = Clock::now();
            Clock::time_point next = Clock::time_point::max();
            for (WatchedCall* call : calls_) {
                // A call still there a deadline after its cut is cut again: a connection
                // still being made when first cut may have opened its socket since.
                if (call->deadline <= now) {
                    cut(*call);
                    call->deadline = now + call->limit;
                }
                next = std::min(next, call->deadline);
            }
            wake_ = next;
            if (next == Clock::time_point::max())
                changed_.wait(lock);
            else
                changed_.wait_until(lock, next);
        }
    }

    // Under the lock, so that the call cannot end (and its sockets be closed and their
    // numbers reused) while its sockets are being shut down.
    void cut(WatchedCall& call)
    {
        call.expired = true; // before the call wakes up to its broken socket and asks
        std::vector<int> sockets = call.sockets;
        if (call.before)
            for (int socket : openSockets())
                if (!call.before->count(socket))
                    sockets.push_back(socket);
        for (int socket : sockets)
            cutOff(socket);
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<WatchedCall*> calls_;
    Clock::time_point wake_ = Clock::time_point::max();
    bool stop_ = false;
    std::timed_mutex openingTurn_;
    WatchedCall* opening_ = nullptr;
    std::thread thread_;
};

std::unique_ptr<WatchedCall> watched(std::chrono::milliseconds limit)
{
    auto call = std::make_unique<WatchedCall>();
    call->limit = limit;
    call->deadline = Clock::now() + limit;
    return call;
}

} // namespace

CallDeadline::CallDeadline(std::chrono::milliseconds limit, const std::vector<int>& sockets) : call_(watched(limit))
{
    call_->sockets = sockets;
    Watchdog::instance().add(call_.get());
}

CallDeadline::~CallDeadline() { Watchdog::instance().remove(call_.get()); }

bool CallDeadline::expired() const { return call_->expired; }

OpeningCall::OpeningCall(std::chrono::milliseconds limit, Turn turn, const std::vector<int>& sockets)
    : call_(std::make_unique<WatchedCall>())
{
    call_->sockets = sockets;
    call_->limit = limit;
    // The deadline counts from when the turn is had: waiting for it is bounded by the other
    // call's own deadline, or cut short for an urgent one.
    Watchdog::instance().takeOpeningTurn(call_.get(), turn);
    call_->deadline = Clock::now() + limit;
    Watchdog::instance().add(call_.get());
}

OpeningCall::~OpeningCall() { Watchdog::instance().remove(call_.get()); }

bool OpeningCall::expired() const { return call_->expired; }

std::vector<int> OpeningCall::opened() const
{
    std::vector<int> sockets;
    for (int socket : openSockets())
        if (!call_->before->count(socket))
            sockets.push_back(socket);
    return sockets;
}

} // namespace zk::fb
