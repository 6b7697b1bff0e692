#pragma once
// The server side of an open row set: the prepared statement, its output
// description and the cursor. It is shared between the row set, on the
// window's thread, and the tasks that run on the store's thread, where every
// call on it is made; it ends there too, after every task posted before,
// wherever its last reference drops (made with DbConnection::share).

#include "db/fb_handle.h"
#include "db/row_store.h"

#include <QByteArray>
#include <cstdint>
#include <exception>
#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
} // namespace Firebird

struct DbCursor {
    DbCursor();
    ~DbCursor(); // ends the interfaces (see fb_api.h)
    // How many cursors of this process ended holding a statement away from
    // a store's thread (beside a call on the same attachment): none should.
    static int endedAwayFromStore();
    // How many cursors of this process exist.
    static int alive();
    fb::Handle<Firebird::IStatement> statement;
    fb::Handle<Firebird::IMessageMetadata> metadata;
    fb::Handle<Firebird::IResultSet> resultSet;
    std::vector<ColumnInfo> columns;
    unsigned messageLength = 0;
    std::uint64_t fetches = 0; // store's thread: fetches made, in order
};

// Rows fetched in one go, as the client delivered them.
struct FetchedRows {
    std::vector<unsigned char> data; // count messages of the cursor's length
    int count = 0;
    bool atEnd = false;              // the cursor is read to its end (and closed)
    std::exception_ptr error;        // the fetch failed after count rows
    std::uint64_t seq = 0;           // which fetch of the cursor it was (from 1)
    const unsigned char *row(int i, unsigned length) const { return data.data() + std::size_t(i) * length; }
};

// On the store's thread: prepares the statement in dialect 1, refuses
// anything but a plain SELECT, describes its columns and opens the cursor.
// Throws DbError.
void OpenCursor(DbCursor &cursor, Firebird::IAttachment *attachment, Firebird::ITransaction *transaction,
                const QByteArray &text);
// On the store's thread: up to count rows, or fewer when maxMs have passed
// (0: no limit). At the end the cursor is closed. A failing fetch keeps the
// rows before it and its error in rows.error.
void FetchCursor(DbCursor &cursor, int count, int maxMs, FetchedRows &rows);
// On the store's thread: the bytes of a text blob. Throws DbError.
QByteArray ReadBlob(Firebird::IAttachment *attachment, Firebird::ITransaction *transaction, const char *id);
