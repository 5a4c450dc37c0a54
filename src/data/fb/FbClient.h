#pragma once
// The Firebird client library, opened at run time, and the status every call needs, which
// turns a client error into an exception. Private to data/fb: nothing above includes it.

#include "base/Erros.h"
#include "data/fb/Ref.h"

#include <firebird/Interface.h>

#include <QString>
#include <utility>

namespace zk::fb {

// The loaded client. The first use loads it; failure raises ClientLibraryError.
class Client {
public:
    static Client& instance();
    // Whether an earlier instance() loaded it already.
    static bool loaded();

    Firebird::IMaster* master() const { return master_; }
    Firebird::IProvider* provider() const { return provider_; }
    Firebird::IUtil* util() const { return util_; }

    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

private:
    Client();
    ~Client();

    Firebird::IMaster* master_ = nullptr;
    Firebird::IProvider* provider_ = nullptr;
    Firebird::IUtil* util_ = nullptr;
};

// The client's own text of a status vector, one message per line.
QString formatStatus(Firebird::IStatus* status);
// The failure a status reports: the client's text, its error codes, and what they mean here
// (a row held by another transaction, or a connection that is gone).
DatabaseError errorOf(Firebird::IStatus* status);

// A status for one or more calls; a failing call raises DatabaseError with the client's text.
class Status {
public:
    Status() : wrapper_(Client::instance().master()->getStatus()) {}
    ~Status() { wrapper_.dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;

    Firebird::ThrowStatusWrapper* operator&() { return &wrapper_; }

    template <class Call>
    decltype(auto) run(Call&& call)
    {
        try {
            return call(&wrapper_);
        } catch (const Firebird::FbException& e) {
            throw errorOf(e.getStatus());
        }
    }

private:
    Firebird::ThrowStatusWrapper wrapper_;
};

} // namespace zk::fb
