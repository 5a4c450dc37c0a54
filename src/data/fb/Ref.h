#pragma once
// One reference to a reference-counted interface of the Firebird client. The client's
// headers are needed only where a reference is let go (release()), inside data/fb.

#include <utility>

namespace Firebird {
class IAttachment;
class IEvents;
class IMessageMetadata;
class IResultSet;
class IStatement;
class ITransaction;
} // namespace Firebird

namespace zk::fb {

// Calls that end an object (detach, commit, free, close) release it themselves on success:
// forget() it then.
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
