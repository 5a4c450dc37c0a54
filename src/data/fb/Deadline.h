#pragma once
// The deadline of every call into the client library. A network that goes silent (a Wi-Fi
// out of range, a server that hangs) sends no reset, and a call would wait for its answer
// for minutes. One watchdog thread sees a call still in flight past its deadline and shuts
// the sockets of its connection down: the call then fails at once, as on a broken network.

#include <chrono>
#include <memory>
#include <vector>

namespace zk::fb {

struct WatchedCall;

// One call on a connection whose sockets are known, from construction to destruction.
class CallDeadline {
public:
    CallDeadline(std::chrono::milliseconds limit, const std::vector<int>& sockets);
    ~CallDeadline();
    CallDeadline(const CallDeadline&) = delete;
    CallDeadline& operator=(const CallDeadline&) = delete;

    // Whether the watchdog cut the call's connection.
    bool expired() const;

private:
    std::unique_ptr<WatchedCall> call_;
};

// A call that opens sockets itself: connecting, or the first request for events (the
// client's connection to the server's auxiliary port). One at a time in the process, so that
// the sockets it opened are exactly the new ones; what is cut past the deadline is those.
class OpeningCall {
public:
    // The waiter's does not queue behind a background connection's: that one is cut. Setting
    // up the events' channel is shielded from that (the client's events thread does not
    // survive its socket being cut while it starts): it is bounded by its own deadline only.
    enum class Turn { Urgent, Background, Shielded };

    // `sockets`: those the connection already has, when it has some (they are cut with it).
    OpeningCall(std::chrono::milliseconds limit, Turn turn, const std::vector<int>& sockets = {});
    ~OpeningCall();
    OpeningCall(const OpeningCall&) = delete;
    OpeningCall& operator=(const OpeningCall&) = delete;

    bool expired() const;
    // The TCP sockets opened since the call began (asked once the call has returned).
    std::vector<int> opened() const;

private:
    std::unique_ptr<WatchedCall> call_;
};

} // namespace zk::fb
