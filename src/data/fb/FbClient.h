#pragma once
// The Firebird client library, opened at run time, and the small pieces every call needs:
// the status that turns a client error into an exception, and owning interface pointers.

#include "Erros.h"

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

    void* library_ = nullptr;
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

// One reference to a reference-counted client interface. Calls that end an object
// (detach, commit, free, close) release it themselves on success: forget() it then.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {}
    Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    Ref& operator=(Ref&& other) noexcept
    {
        reset(std::exchange(other.p_, nullptr));
        return *this;
    }
    ~Ref() { reset(); }

    void reset(T* p = nullptr)
    {
        if (p_)
            p_->release();
        p_ = p;
    }
    T* forget() { return std::exchange(p_, nullptr); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

} // namespace zk::fb
