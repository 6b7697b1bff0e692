#include "store_writer.h"

#include "db/fb_api.h"
#include "db/store_ddl.h"
#include "support/codec_1251.h"

#include <QFileInfo>
#include <cstring>

using namespace Firebird;

namespace {

// Segments larger than the reader's 32 KiB buffer, as other software writes
// them: a reader must put a segment together from several reads.
constexpr qsizetype kBlobSegment = 60000;

} // namespace

StoreWriter::Statement::~Statement() = default;
StoreWriter::Statement::Statement(Statement &&o) noexcept = default;

std::unique_ptr<StoreWriter> StoreWriter::create(const QString &path, const QString &user,
                                                 const QString &password, bool withTables)
{
    if (QFileInfo::exists(path) && !path.contains(QChar(':')))
        throw DbError(QStringLiteral("The file %1 already exists").arg(path));
    std::unique_ptr<StoreWriter> w(new StoreWriter);
    w->attachment_ = fb::attach(path, user, password, QString(), true);
    w->startTransaction();
    if (withTables) {
        for (const QString &sql : StoreDdl()) {
            w->exec(sql);
            w->commit(); // DDL must be committed before the tables are used
        }
    }
    return w;
}

std::unique_ptr<StoreWriter> StoreWriter::attach(const QString &path, const QString &user, const QString &password)
{
    std::unique_ptr<StoreWriter> w(new StoreWriter);
    w->attachment_ = fb::attach(path, user, password, QString(), false);
    w->startTransaction();
    return w;
}

StoreWriter::~StoreWriter()
{
    try {
        close();
    } catch (...) {
    }
}

void StoreWriter::startTransaction()
{
    fb::Status st;
    transaction_.reset(fb::check([&] { return attachment_->startTransaction(st.get(), 0, nullptr); }));
}

void StoreWriter::exec(const QString &sql)
{
    const QByteArray text = Cp1251::encode(sql);
    fb::Status st;
    fb::check([&] {
        attachment_->execute(st.get(), transaction_.get(), 0, text.constData(), 1, nullptr, nullptr, nullptr, nullptr);
    });
    ran();
}

void StoreWriter::ran()
{
    ++statements_;
    if (progress_)
        progress_(statements_);
}

StoreWriter::Statement StoreWriter::prepare(const QString &sql)
{
    const QByteArray text = Cp1251::encode(sql);
    Statement s;
    fb::Status st;
    fb::check([&] {
        s.statement.reset(attachment_->prepare(st.get(), transaction_.get(), 0, text.constData(), 1, 0));
        s.input.reset(s.statement->getInputMetadata(st.get()));
        s.buffer.assign(s.input->getMessageLength(st.get()), 0);
    });
    return s;
}

void StoreWriter::run(Statement &s, const std::vector<StoreValue> &values)
{
    fb::Status st;
    fb::check([&] {
        const unsigned count = s.input->getCount(st.get());
        if (values.size() != count)
            throw DbError(QStringLiteral("Expected %1 values, got %2").arg(count).arg(values.size()));
        unsigned char *msg = s.buffer.data();
        for (unsigned i = 0; i < count; ++i) {
            const unsigned type = s.input->getType(st.get(), i) & ~1u;
            const unsigned length = s.input->getLength(st.get(), i);
            unsigned char *value = msg + s.input->getOffset(st.get(), i);
            short *nullFlag = reinterpret_cast<short *>(msg + s.input->getNullOffset(st.get(), i));
            const StoreValue &v = values[i];
            *nullFlag = std::holds_alternative<std::monostate>(v) ? -1 : 0;
            if (*nullFlag)
                continue;
            if (const QString *text = std::get_if<QString>(&v)) {
                const QByteArray bytes = Cp1251::encode(*text);
                // A text longer than its column is refused, never cut short.
                if ((type == SQL_VARYING || type == SQL_TEXT) && bytes.size() > qsizetype(length))
                    throw DbError(QStringLiteral("Parameter %1: %2 bytes do not fit in %3")
                                      .arg(i + 1)
                                      .arg(bytes.size())
                                      .arg(length));
                if (type == SQL_BLOB) {
                    ISC_QUAD id;
                    fb::Handle<IBlob> blob(attachment_->createBlob(st.get(), transaction_.get(), &id, 0, nullptr));
                    for (qsizetype pos = 0; pos < bytes.size(); pos += kBlobSegment)
                        blob->putSegment(st.get(), unsigned(std::min<qsizetype>(kBlobSegment, bytes.size() - pos)),
                                         bytes.constData() + pos);
                    fb::end(blob, [](IBlob *b, ThrowStatusWrapper *s2) { b->close(s2); });
                    std::memcpy(value, &id, sizeof id);
                } else if (type == SQL_VARYING) {
                    const unsigned short len = static_cast<unsigned short>(bytes.size());
                    std::memcpy(value, &len, sizeof len);
                    std::memcpy(value + 2, bytes.constData(), len);
                } else if (type == SQL_TEXT) {
                    std::memset(value, ' ', length);
                    std::memcpy(value, bytes.constData(), std::size_t(bytes.size()));
                } else {
                    throw DbError(QStringLiteral("Parameter %1 does not take text").arg(i + 1));
                }
            } else if (const qint64 *n = std::get_if<qint64>(&v)) {
                if (type == SQL_LONG) {
                    const qint32 x = qint32(*n);
                    std::memcpy(value, &x, sizeof x);
                } else if (type == SQL_SHORT) {
                    const qint16 x = qint16(*n);
                    std::memcpy(value, &x, sizeof x);
                } else if (type == SQL_INT64) {
                    std::memcpy(value, n, sizeof *n);
                } else if (type == SQL_DOUBLE) {
                    const double x = double(*n);
                    std::memcpy(value, &x, sizeof x);
                } else {
                    throw DbError(QStringLiteral("Parameter %1 does not take an integer").arg(i + 1));
                }
            } else if (const double *d = std::get_if<double>(&v)) {
                if (type != SQL_DOUBLE)
                    throw DbError(QStringLiteral("Parameter %1 does not take a number").arg(i + 1));
                std::memcpy(value, d, sizeof *d);
            } else if (const QDateTime *dt = std::get_if<QDateTime>(&v)) {
                if (type != SQL_TIMESTAMP)
                    throw DbError(QStringLiteral("Parameter %1 does not take a date").arg(i + 1));
                const ISC_DATE days = ISC_DATE(QDate(1858, 11, 17).daysTo(dt->date()));
                const ISC_TIME time = ISC_TIME(dt->time().msecsSinceStartOfDay()) * 10;
                std::memcpy(value, &days, sizeof days);
                std::memcpy(value + sizeof days, &time, sizeof time);
            }
        }
        s.statement->execute(st.get(), transaction_.get(), s.input.get(), msg, nullptr, nullptr);
    });
    ran();
}

void StoreWriter::commit()
{
    fb::end(transaction_, [](ITransaction *t, ThrowStatusWrapper *st) { t->commit(st); });
    startTransaction();
}

void StoreWriter::close()
{
    fb::end(transaction_, [](ITransaction *t, ThrowStatusWrapper *st) { t->commit(st); });
    fb::end(attachment_, [](IAttachment *a, ThrowStatusWrapper *st) { a->detach(st); });
}
