#pragma once
// Thin helpers over the Firebird client's object API, private to the
// data-access layer: the master interface, one owning handle for every
// interface, and one status check that turns a failing call into DbError.

#include "db/db_error.h"
#include "db/fb_handle.h"
#include "db/store_worker.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QString>
#include <type_traits>
#include <utility>

namespace fb {

Firebird::IMaster *master();
Firebird::IUtil *util();
Firebird::IProvider *provider();

// The client library's text for a failed status.
QString formatStatus(Firebird::IStatus *status);
// The DbError for a failed status: text, primary code and SQLSTATE.
DbError errorOf(Firebird::IStatus *status);

// A status whose failures throw Firebird::FbException; check() turns that
// into DbError.
class Status {
public:
    Status();
    ~Status();
    Status(const Status &) = delete;
    Status &operator=(const Status &) = delete;
    Firebird::ThrowStatusWrapper *get() { return &wrapper_; }

private:
    Firebird::IStatus *raw_;
    Firebird::ThrowStatusWrapper wrapper_;
};

// Runs calls made with a Status; a failing call ends in DbError.
template <class F>
decltype(auto) check(F &&f)
{
    try {
        return std::forward<F>(f)();
    } catch (const Firebird::FbException &e) {
        throw errorOf(e.getStatus());
    }
}

// Ends an interface the polite way where it has one (an attachment detaches,
// a transaction rolls back, a statement is freed, a cursor or a blob is
// closed); when that fails (the connection is gone) it is only released. An
// interface of a store already detached is only released: the engine has
// ended it with the attachment, and a call on it would reach freed state.
template <class T>
void endQuietly(T *p) noexcept
{
    using namespace Firebird;
    if constexpr (std::is_base_of_v<IDisposable, T>) {
        p->dispose();
    } else if (StoreWorker::storeDetached()) {
        p->release();
    } else {
        Status st;
        try {
            if constexpr (std::is_same_v<T, IAttachment>)
                p->detach(st.get());
            else if constexpr (std::is_same_v<T, ITransaction>)
                p->rollback(st.get());
            else if constexpr (std::is_same_v<T, IStatement>)
                p->free(st.get());
            else if constexpr (std::is_same_v<T, IResultSet> || std::is_same_v<T, IBlob>)
                p->close(st.get());
            else
                p->release();
        } catch (const FbException &) {
            p->release();
        }
    }
}

// Runs a call that ends the handle's interface itself (commit, detach,
// close, free: the interface releases itself when the call succeeds). Throws
// DbError and keeps the handle when the call fails.
template <class T, class F>
void end(Handle<T> &handle, F &&call)
{
    if (!handle)
        return;
    Status st;
    check([&] { call(handle.get(), st.get()); });
    handle.forget();
}

constexpr int kConnectTimeoutSeconds = 15;

// Database parameter block for attaching or creating: user, password, no
// role, WIN1251 and SQL dialect 1; its strings and the database's file name
// in UTF-8 (isc_dpb_utf8_filename); without database triggers when asked
// (the engine allows that to the owner and SYSDBA only and refuses the
// attach of anyone else with isc_adm_task_denied).
QByteArray connectionParams(const QString &user, const QString &password, const QString &role,
                            bool create, bool withoutDatabaseTriggers = false);

// Attaches to (or creates) the database with connectionParams; the name (a
// path or host:path) goes to the engine in UTF-8, as the file system has it.
// Throws DbError.
Handle<Firebird::IAttachment> attach(const QString &databaseName, const QString &user, const QString &password,
                                     const QString &role, bool create, bool withoutDatabaseTriggers = false);

} // namespace fb
