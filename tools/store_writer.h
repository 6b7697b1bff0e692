#pragma once
// Writes a store: creates the database file (SQL dialect 1, WIN1251) with the
// store's tables and fills it. Used by make_demo_store, by the tests that
// build stores of their own, and by the program only to make a new demo
// store when the user asks for one: it never writes into a store it opens.

#include "db/fb_handle.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <variant>
#include <vector>

// A parameter value: NULL, text (also for text blobs), integer, number or date.
using StoreValue = std::variant<std::monostate, QString, qint64, double, QDateTime>;

class StoreWriter {
public:
    class Statement {
    public:
        ~Statement();
        Statement(Statement &&) noexcept;
        Statement &operator=(Statement &&) = delete;
        Statement(const Statement &) = delete;

    private:
        friend class StoreWriter;
        Statement() = default;
        fb::Handle<Firebird::IStatement> statement;
        fb::Handle<Firebird::IMessageMetadata> input;
        std::vector<unsigned char> buffer;
    };

    // Creates a new database file and its tables; refuses an existing file.
    // Throws DbError.
    static std::unique_ptr<StoreWriter> create(const QString &path, const QString &user = QStringLiteral("SYSDBA"),
                                               const QString &password = QStringLiteral("masterkey"),
                                               bool withTables = true);
    // Attaches to an existing database to write into it.
    static std::unique_ptr<StoreWriter> attach(const QString &path, const QString &user = QStringLiteral("SYSDBA"),
                                               const QString &password = QStringLiteral("masterkey"));
    ~StoreWriter();

    void exec(const QString &sql);
    Statement prepare(const QString &sql);
    void run(Statement &statement, const std::vector<StoreValue> &values);
    // Commits what was written and goes on in a new transaction.
    void commit();
    // Commits and detaches.
    void close();
    // Called after every statement run or executed (the count so far): for
    // progress, and to stop the work by throwing.
    void setProgress(std::function<void(long long)> progress) { progress_ = std::move(progress); }

private:
    StoreWriter() = default;
    void startTransaction();
    void ran();

    fb::Handle<Firebird::IAttachment> attachment_;
    fb::Handle<Firebird::ITransaction> transaction_;
    std::function<void(long long)> progress_;
    long long statements_ = 0;
};
