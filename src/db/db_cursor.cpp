#include "db/db_cursor.h"

#include "db/fb_api.h"
#include "db/fetch_stages.h"
#include "db/sql_guard.h"
#include "db/store_worker.h"
#include "support/codec_1251.h"

#include <QElapsedTimer>
#include <atomic>
#include <cstring>

using namespace Firebird;

namespace {

std::atomic<int> endedAway{0};
std::atomic<int> living{0};

} // namespace

DbCursor::DbCursor()
{
    ++living;
}

DbCursor::~DbCursor()
{
    --living;
    if ((statement || resultSet) && !StoreWorker::onStoreThread())
        ++endedAway;
}

int DbCursor::endedAwayFromStore()
{
    return endedAway.load();
}

int DbCursor::alive()
{
    return living.load();
}

void OpenCursor(DbCursor &cursor, IAttachment *attachment, ITransaction *transaction, const QByteArray &text)
{
    fb::Status st;
    fb::check([&] {
        cursor.statement.reset(attachment->prepare(st.get(), transaction, unsigned(text.size()), text.constData(), 1,
                                                   IStatement::PREPARE_PREFETCH_METADATA));
        // Only a plain SELECT runs: no procedure, no block, no lock.
        if (cursor.statement->getType(st.get()) != isc_info_sql_stmt_select)
            throw DbError(OnlySelectMessage());
        cursor.metadata.reset(cursor.statement->getOutputMetadata(st.get()));
        IMessageMetadata *meta = cursor.metadata.get();
        const unsigned count = meta->getCount(st.get());
        cursor.columns.assign(count, ColumnInfo());
        for (unsigned i = 0; i < count; ++i) {
            ColumnInfo &c = cursor.columns[i];
            c.name = Cp1251::decode(QByteArray(meta->getAlias(st.get(), i)));
            c.type = meta->getType(st.get(), i) & ~1u;
            c.subType = meta->getSubType(st.get(), i);
            c.length = meta->getLength(st.get(), i);
            c.scale = meta->getScale(st.get(), i);
            c.offset = meta->getOffset(st.get(), i);
            c.nullOffset = meta->getNullOffset(st.get(), i);
        }
        cursor.messageLength = meta->getMessageLength(st.get());
        cursor.resultSet.reset(cursor.statement->openCursor(st.get(), transaction, nullptr, nullptr, meta, 0));
    });
}

void FetchCursor(DbCursor &cursor, int count, int maxMs, FetchedRows &rows)
{
    rows.seq = ++cursor.fetches;
    rows.count = 0;
    rows.atEnd = !cursor.resultSet;
    if (rows.atEnd || count <= 0)
        return;
    rows.data.resize(std::size_t(count) * cursor.messageLength);
    StageTimer stage(FetchStageTimes().fetchNs);
    QElapsedTimer clock;
    clock.start();
    fb::Status st;
    try {
        fb::check([&] {
            while (rows.count < count) {
                if (cursor.resultSet->fetchNext(st.get(), rows.data.data() + std::size_t(rows.count) * cursor.messageLength)
                    != IStatus::RESULT_OK) {
                    cursor.resultSet.reset();
                    rows.atEnd = true;
                    break;
                }
                ++rows.count;
                if (maxMs > 0 && (rows.count & 63) == 0 && clock.elapsed() >= maxMs)
                    break;
            }
        });
    } catch (const DbError &) {
        rows.error = std::current_exception();
    }
    rows.data.resize(std::size_t(rows.count) * cursor.messageLength);
    FetchStageTimes().rows += rows.count;
}

QByteArray ReadBlob(IAttachment *attachment, ITransaction *transaction, const char *id)
{
    StageTimer stage(FetchStageTimes().blobNs);
    ++FetchStageTimes().blobs;
    ISC_QUAD quad;
    std::memcpy(&quad, id, sizeof quad);
    QByteArray bytes;
    fb::Status st;
    fb::check([&] {
        fb::Handle<IBlob> blob(attachment->openBlob(st.get(), transaction, &quad, 0, nullptr));
        char buf[32768];
        for (;;) {
            unsigned len = 0;
            const int rc = blob->getSegment(st.get(), sizeof buf, buf, &len);
            if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT)
                break;
            bytes.append(buf, qsizetype(len));
        }
        fb::end(blob, [](IBlob *b, ThrowStatusWrapper *s) { b->close(s); });
    });
    return bytes;
}
