#pragma once
// Calls of the client on a connection (data/fb's sources only): a failure that means the
// connection is gone drops it and is raised as a lost connection.

#include "data/fb/Attachment.h"
#include "data/fb/FbClient.h"

namespace zk::fb {

template <class Call>
decltype(auto) Attachment::run(Call&& call)
{
    Status status;
    try {
        return call(&status);
    } catch (const Firebird::FbException& e) {
        DatabaseError error = errorOf(e.getStatus());
        if (!error.connectionLost())
            throw error;
        lose();
        throw DatabaseError(connectionLostText(error.text()), error.cause(), error.codes());
    }
}

} // namespace zk::fb
