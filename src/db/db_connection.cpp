#include "db/db_connection.h"

#include "db/fb_api.h"

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using namespace Firebird;

namespace {

// Nothing was written: committing a read-only transaction only ends it.
// When the connection is gone the handle is only released.
void endReadOnly(fb::Handle<ITransaction> &transaction)
{
    try {
        fb::end(transaction, [](ITransaction *t, ThrowStatusWrapper *st) { t->commit(st); });
    } catch (const DbError &) {
        transaction.reset();
    }
}

} // namespace

DbTransaction::DbTransaction(DbConnection *connection) : connection_(connection) {}

DbTransaction::~DbTransaction()
{
    end();
}

void DbTransaction::start()
{
    if (handle_)
        return;
    if (!connection_ || !connection_->isOpen())
        throw DbError(QStringLiteral("Нет подключения к базе данных"));
    static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                                        isc_tpb_rec_version, isc_tpb_nowait};
    fb::Status st;
    handle_.reset(fb::check([&] { return connection_->attachment()->startTransaction(st.get(), sizeof(tpb), tpb); }));
}

void DbTransaction::end()
{
    endReadOnly(handle_);
}

DbConnection::DbConnection(QObject *parent)
    : QObject(parent), transaction_(std::make_unique<DbTransaction>(this))
{
}

DbConnection::~DbConnection()
{
    close();
}

void DbConnection::open()
{
    if (attachment_)
        return;
    attachment_ = fb::attach(databaseName_, userName_, password_, roleName_, false);
}

namespace {

std::atomic<int> abandoned{0};

// Everything a disconnect ends, in the order it is ended.
struct Ending {
    std::vector<fb::Handle<IResultSet>> cursors;
    std::vector<fb::Handle<IStatement>> statements;
    fb::Handle<ITransaction> transaction;
    fb::Handle<IAttachment> attachment;

    void run()
    {
        cursors.clear();
        statements.clear();
        endReadOnly(transaction);
        attachment.reset(); // detaches; only released when the connection is gone
    }
};

} // namespace

int DbConnection::abandonedDisconnects()
{
    return abandoned.load();
}

void DbConnection::adoptCursor(fb::Handle<IResultSet> &&cursor)
{
    if (cursor)
        closingCursors_.push_back(std::move(cursor));
}

void DbConnection::adoptStatement(fb::Handle<IStatement> &&statement)
{
    if (statement)
        closingStatements_.push_back(std::move(statement));
}

void DbConnection::close()
{
    if (!attachment_)
        return;
    emit aboutToClose(); // the row sets hand over their cursors and statements
    auto ending = std::make_shared<Ending>();
    ending->cursors = std::move(closingCursors_);
    ending->statements = std::move(closingStatements_);
    ending->transaction = transaction_->take();
    ending->attachment = std::move(attachment_);
    closingCursors_.clear();
    closingStatements_.clear();
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread worker([ending, done] {
        ending->run();
        done->set_value();
    });
    if (finished.wait_for(std::chrono::seconds(kDisconnectSeconds)) == std::future_status::ready) {
        worker.join();
    } else {
        // The engine does not answer: leave the disconnect to itself. What it
        // holds stays with it; the program goes on.
        worker.detach();
        ++abandoned;
    }
}
