#include "db/db_connection.h"

#include "db/fb_api.h"

using namespace Firebird;

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
    // Nothing was written: committing a read-only transaction only ends it.
    // When the connection is gone the handle is only released.
    try {
        fb::end(handle_, [](ITransaction *t, ThrowStatusWrapper *st) { t->commit(st); });
    } catch (const DbError &) {
        handle_.reset();
    }
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

void DbConnection::close()
{
    if (!attachment_)
        return;
    emit aboutToClose();
    transaction_->end();
    attachment_.reset(); // detaches; only released when the connection is gone
}
