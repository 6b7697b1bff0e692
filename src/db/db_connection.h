#pragma once
// The program's one connection to a store and its default transaction.
// Attaching uses the user name and password as set, no role, the character
// set WIN1251 and SQL dialect 1. A local path opens the embedded engine,
// "host:path" a server.
//
// Every call to the store runs on the connection's own thread (a
// StoreWorker) through the one wait routine of store_wait.h, so that a slow
// or stalled server never freezes a window and the user can always cancel.

#include "db/fb_handle.h"
#include "db/store_worker.h"

#include <QObject>
#include <QString>
#include <exception>
#include <functional>
#include <memory>

class DbConnection;
class DependencyReader;

// Started on demand, read-only and read committed (record version): the
// program never changes the store, sees what other programs commit, and does
// not hold back the server's garbage collection while it stays connected.
// It ends when its connection closes.
class DbTransaction : public QObject {
    Q_OBJECT
public:
    explicit DbTransaction(DbConnection *connection);
    ~DbTransaction() override;

    DbConnection *connection() const { return connection_; }
    bool isActive() const { return bool(handle_); }
    // Throws DbError when the connection is closed or the server refuses.
    void start();
    // For tasks on the store's thread: valid until the connection closes
    // (the transaction ends behind every task posted before).
    Firebird::ITransaction *handle() const { return handle_.get(); }

private:
    friend class DbConnection;
    fb::Handle<Firebird::ITransaction> take() { return std::move(handle_); }

    DbConnection *connection_;
    fb::Handle<Firebird::ITransaction> handle_;
};

class DbConnection : public QObject {
    Q_OBJECT
public:
    explicit DbConnection(QObject *parent = nullptr);
    ~DbConnection() override;

    QString databaseName() const { return databaseName_; }
    void setDatabaseName(const QString &name) { databaseName_ = name; }
    QString userName() const { return userName_; }
    void setUserName(const QString &name) { userName_ = name; }
    QString password() const { return password_; }
    void setPassword(const QString &password) { password_ = password; }
    QString roleName() const { return roleName_; }
    void setRoleName(const QString &role) { roleName_ = role; }

    // Opening an open connection does nothing. Throws DbError on failure,
    // and "Подключение отменено." when the user cancels a slow attach.
    // The database triggers (on connect, disconnect, transaction start,
    // commit, rollback) are switched off where the engine allows it (the
    // store's owner, SYSDBA); for anyone else the engine runs them, and
    // those that reach a sequence are read for the notice below (in a
    // transaction of its own).
    void open();
    // Closes every row set bound to it, ends the transaction and detaches.
    // Closing a closed connection does nothing. The talk with the engine
    // that this takes is given kDisconnectSeconds: a store that never
    // answers (a server that stopped, an engine stuck on a damaged file) is
    // then abandoned, so that the program can go on or end. A store whose
    // thread was left to itself already is not waited for.
    void close();
    static constexpr int kDisconnectSeconds = 5;
    bool isOpen() const { return bool(attachment_); }

    // Runs a task on the store's thread while the caller waits (see
    // store_wait.h). The task must own or share what it touches. Throws the
    // task's error, DbError "Запрос отменён." when the user stopped it, and
    // DbError when no store is open.
    void call(std::function<void()> task);
    // Runs a task on the store's thread without waiting; done() comes back
    // on the window's thread with the task's error (null when it went well),
    // unless the connection object is gone by then.
    void post(std::function<void()> task, std::function<void(std::exception_ptr)> done);
    // Posts to the store's thread from any thread (a task that goes on by
    // itself); empty while no store is open.
    std::function<void(std::function<void()>)> storePoster() const;
    // An object of the store shared with tasks (a cursor): wherever its
    // last reference drops, it ends on the store's thread, after every task
    // posted before (see StoreWorker::share); a plain object while no store
    // is open.
    template <class T>
    std::shared_ptr<T> share(std::unique_ptr<T> object) const
    {
        return worker_ ? worker_->share(std::move(object)) : std::shared_ptr<T>(std::move(object));
    }

    DbTransaction *defaultTransaction() const { return transaction_.get(); }
    // For tasks on the store's thread.
    Firebird::IAttachment *attachment() const { return attachment_.get(); }
    // For the tasks that check a statement against the store as it is now
    // (StoreStatementRefusal); null while no store is open.
    std::shared_ptr<DependencyReader> dependencyReader() const { return dependencyReader_; }
    // The database triggers of this store that the engine runs on every
    // attach and transaction and that reach a sequence, in a message for the
    // user (see DatabaseTriggerNotice). It is given once per store in a run
    // of the program, after the open that found them; empty otherwise.
    QString takeDatabaseTriggerNotice();

signals:
    // Row sets bound to the connection close themselves on this.
    void aboutToClose();
    // A store was opened.
    void opened();
    // The server did not answer a cancel and the connection was dropped.
    void lost();

private:
    void dropLost();

    QString databaseName_;
    QString userName_;
    QString password_;
    QString roleName_;
    std::unique_ptr<StoreWorker> worker_;
    fb::Handle<Firebird::IAttachment> attachment_;
    std::shared_ptr<DependencyReader> dependencyReader_;
    std::unique_ptr<DbTransaction> transaction_;
    QString triggerNotice_;
};
