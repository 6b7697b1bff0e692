#pragma once
// The one owner of a Firebird interface (attachment, transaction, statement,
// cursor, blob, metadata, builder): it ends the interface on scope exit and
// moves but never copies. Headers can hold one for a declared-only interface;
// the code that creates or destroys it includes db/fb_api.h, which says how
// each kind of interface is ended.

#include <utility>

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IResultSet;
class IMessageMetadata;
class IBlob;
} // namespace Firebird

namespace fb {

template <class T>
void endQuietly(T *p) noexcept;

template <class T>
class Handle {
public:
    Handle() = default;
    explicit Handle(T *p) : p_(p) {}
    ~Handle() { reset(); }
    Handle(Handle &&o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Handle &operator=(Handle &&o) noexcept
    {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;

    T *get() const { return p_; }
    T *operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Ends the interface held (quietly) and holds p instead.
    void reset(T *p = nullptr)
    {
        if (p_)
            endQuietly(p_);
        p_ = p;
    }
    // Drops the pointer without ending it: the interface ended itself.
    void forget() { p_ = nullptr; }

private:
    T *p_ = nullptr;
};

} // namespace fb
