#pragma once
// Calls of the client on a connection (data/fb's sources only), each within the connection's
// deadline: a failure that means the connection is gone, or a call cut at its deadline, drops
// the connection and is raised as a lost connection.

#include "data/fb/Attachment.h"
#include "data/fb/Deadline.h"
#include "data/fb/FbClient.h"

#include <optional>

namespace zk::fb {

template <class Call>
decltype(auto) Attachment::run(Call&& call)
{
    Status status;
    const CallDeadline deadline(deadline_, sockets_);
    try {
        return call(&status);
    } catch (const Firebird::FbException& e) {
        throw failed(errorOf(e.getStatus()), deadline.expired());
    }
}

// The first request for events opens the client's connection to the server's auxiliary port:
// that socket is this connection's too, to be cut and limited like the others.
template <class Call>
decltype(auto) Attachment::runOpening(Call&& call)
{
    Status status;
    std::optional<OpeningCall> deadline;
    deadline.emplace(deadline_, background_ ? OpeningCall::Turn::Shielded : OpeningCall::Turn::Urgent, sockets_);
    try {
        decltype(auto) result = call(&status);
        keep(deadline->opened());
        return result;
    } catch (const Firebird::FbException& e) {
        const bool expired = deadline->expired();
        deadline.reset(); // the turn for opening goes before the connection is let go
        throw failed(errorOf(e.getStatus()), expired);
    }
}

} // namespace zk::fb
