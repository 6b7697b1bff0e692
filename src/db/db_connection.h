#pragma once
// The program's one connection to a store and its default transaction.
// Attaching uses the user name and password as set, no role, the character
// set WIN1251 and SQL dialect 1. A local path opens the embedded engine,
// "host:path" a server.

#include "db/fb_handle.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class DbConnection;

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
    Firebird::ITransaction *handle() const { return handle_.get(); }

private:
    friend class DbConnection;
    void end();
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

    // Opening an open connection does nothing. Throws DbError on failure.
    void open();
    // Closes every row set bound to it, ends the transaction and detaches.
    // Closing a closed connection does nothing. The talk with the engine
    // that this takes (closing cursors, ending the transaction, detaching)
    // is given kDisconnectSeconds: a store that never answers (a server
    // that stopped, an engine stuck on a damaged file) is then abandoned, so
    // that the program can go on or end.
    void close();
    static constexpr int kDisconnectSeconds = 5;
    // How many disconnects of this process were abandoned. A process that
    // abandoned one ends without waiting for the client library's own
    // clean-up (see main()).
    static int abandonedDisconnects();

    // Row sets hand over their server objects here while the connection
    // closes, so that they end with the rest of the disconnect.
    void adoptCursor(fb::Handle<Firebird::IResultSet> &&cursor);
    void adoptStatement(fb::Handle<Firebird::IStatement> &&statement);
    bool isOpen() const { return bool(attachment_); }

    DbTransaction *defaultTransaction() const { return transaction_.get(); }
    Firebird::IAttachment *attachment() const { return attachment_.get(); }

signals:
    // Row sets bound to the connection close themselves on this.
    void aboutToClose();

private:
    QString databaseName_;
    QString userName_;
    QString password_;
    QString roleName_;
    fb::Handle<Firebird::IAttachment> attachment_;
    std::unique_ptr<DbTransaction> transaction_;
    std::vector<fb::Handle<Firebird::IResultSet>> closingCursors_;
    std::vector<fb::Handle<Firebird::IStatement>> closingStatements_;
};
