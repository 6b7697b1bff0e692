#pragma once
// Thin helpers over the Firebird client's object API, private to the
// data-access layer: the master interface, error translation and owning
// handles that release their interface on every path.

#include "db/db_error.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QString>
#include <utility>

namespace fb {

Firebird::IMaster *master();
Firebird::IUtil *util();
Firebird::IProvider *provider();

// The client library's text for a failed status.
QString formatStatus(Firebird::IStatus *status);

// A status whose failures throw Firebird::FbException; guard() turns that
// into DbError with the client's message.
class Status {
public:
    Status();
    ~Status();
    Status(const Status &) = delete;
    Status &operator=(const Status &) = delete;
    Firebird::ThrowStatusWrapper *operator->() { return &wrapper_; }
    Firebird::ThrowStatusWrapper *get() { return &wrapper_; }

private:
    Firebird::IStatus *raw_;
    Firebird::ThrowStatusWrapper wrapper_;
};

template <class F>
decltype(auto) guard(F &&f)
{
    try {
        return std::forward<F>(f)();
    } catch (const Firebird::FbException &e) {
        throw DbError(formatStatus(e.getStatus()));
    }
}

// Ends an interface the polite way (close, free, commit, detach); when that
// fails (the connection is gone) it is only released. The pointer is cleared.
template <class T, class End>
void finish(T *&p, End end)
{
    if (!p)
        return;
    Status st;
    try {
        end(p, st.get());
    } catch (const Firebird::FbException &) {
        p->release();
    }
    p = nullptr;
}

// Owns an interface and releases it (release() for reference-counted ones).
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T *p) : p_(p) {}
    ~Ref() { reset(); }
    Ref(Ref &&o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Ref &operator=(Ref &&o) noexcept
    {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    Ref(const Ref &) = delete;
    Ref &operator=(const Ref &) = delete;
    T *get() const { return p_; }
    T *operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T *take() { return std::exchange(p_, nullptr); }
    void reset(T *p = nullptr)
    {
        if (p_)
            p_->release();
        p_ = p;
    }

private:
    T *p_ = nullptr;
};

constexpr int kConnectTimeoutSeconds = 15;

// Database parameter block for attaching or creating: user, password, no
// role, WIN1251 and SQL dialect 1.
QByteArray connectionParams(const QString &user, const QString &password, const QString &role,
                            bool create);

// Attaches to (or creates) the database with connectionParams. Throws DbError.
Firebird::IAttachment *attach(const QString &databaseName, const QString &user, const QString &password,
                              const QString &role, bool create);

} // namespace fb
