#include "db/db_dataset.h"

#include "db/db_connection.h"
#include "db/fb_api.h"
#include "support/codec_1251.h"
#include "support/str_utils.h"

#include <QDateTime>
#include <QSignalBlocker>
#include <cmath>
#include <cstring>

using namespace Firebird;

namespace {

template <class T>
T load(const char *p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

QDate fromIscDate(ISC_DATE days)
{
    // Day 0 of the engine's calendar is 17 November 1858.
    return QDate(1858, 11, 17).addDays(days);
}

QTime fromIscTime(ISC_TIME t)
{
    return QTime::fromMSecsSinceStartOfDay(int(t / 10));
}

// "dd.mm.yyyy hh:nn:ss" style to Qt's "dd.MM.yyyy hh:mm:ss".
QString qtDateFormat(const QString &format)
{
    QString out;
    QChar lastToken;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype j = i;
        while (j < format.size() && format[j].toLower() == c.toLower())
            ++j;
        const qsizetype run = j - i;
        const QChar lc = c.toLower();
        QChar q = c;
        if (lc == QChar('m'))
            q = lastToken == QChar('h') ? QChar('m') : QChar('M');
        else if (lc == QChar('n'))
            q = QChar('m');
        else if (lc == QChar('d') || lc == QChar('y') || lc == QChar('h') || lc == QChar('s') || lc == QChar('z'))
            q = lc;
        out += QString(run, q);
        if (lc.isLetter())
            lastToken = lc;
        i = j;
    }
    return out;
}

QString scaledIntegerText(qint64 v, int scale)
{
    if (scale >= 0)
        return QString::number(v);
    const bool negative = v < 0;
    QString digits = QString::number(negative ? -(v + 1) + 1 : v); // no overflow at minimum
    const int places = -scale;
    if (digits.size() <= places)
        digits = QString(places - digits.size() + 1, QChar('0')) + digits;
    digits.insert(digits.size() - places, QChar('.'));
    return negative ? QChar('-') + digits : digits;
}

// A date (and time) in a display format such as "dd.mm.yyyy". The format
// the program uses everywhere is written directly; others go through Qt.
QString formatDateTime(const QString &format, ISC_DATE days, ISC_TIME time)
{
    const QDate date = fromIscDate(days);
    if (format == QLatin1String("dd.mm.yyyy") && date.year() >= 0 && date.year() <= 9999) {
        char buf[11];
        const int d = date.day(), m = date.month(), y = date.year();
        buf[0] = char('0' + d / 10);
        buf[1] = char('0' + d % 10);
        buf[2] = '.';
        buf[3] = char('0' + m / 10);
        buf[4] = char('0' + m % 10);
        buf[5] = '.';
        buf[6] = char('0' + y / 1000);
        buf[7] = char('0' + y / 100 % 10);
        buf[8] = char('0' + y / 10 % 10);
        buf[9] = char('0' + y % 10);
        return QString::fromLatin1(buf, 10);
    }
    // UTC: the value is shown as stored, with no time zone applied.
    return QDateTime(date, fromIscTime(time), Qt::UTC).toString(qtDateFormat(format));
}

bool isIntegerType(unsigned t)
{
    return t == SQL_SHORT || t == SQL_LONG || t == SQL_INT64;
}

qint64 integerValue(const ColumnInfo &col, const char *p)
{
    switch (col.type) {
    case SQL_SHORT:
        return load<qint16>(p);
    case SQL_LONG:
        return load<qint32>(p);
    default:
        return load<qint64>(p);
    }
}

double floatValue(const ColumnInfo &col, const char *p)
{
    if (col.type == SQL_FLOAT)
        return load<float>(p);
    if (col.type == SQL_DOUBLE || col.type == SQL_D_FLOAT)
        return load<double>(p);
    return double(integerValue(col, p)) * std::pow(10.0, col.scale);
}

FieldKind kindOf(const ColumnInfo &col)
{
    switch (col.type) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return col.scale == 0 ? FieldKind::Integer : FieldKind::Float;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FieldKind::Float;
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIME:
        return FieldKind::DateTime;
    case SQL_BLOB:
        return FieldKind::Memo;
    default:
        return FieldKind::Text;
    }
}

} // namespace

// ---- DbField ----

QString DbField::asString() const
{
    return owner_->text(index_, owner_->activeRow());
}

int DbField::asInteger() const
{
    return owner_->integerAt(index_, owner_->activeRow());
}

QVariant DbField::value() const
{
    return owner_->valueAt(index_, owner_->activeRow());
}

bool DbField::isNull() const
{
    return owner_->isNullAt(index_, owner_->activeRow());
}

void DbField::setAsString(const QString &text)
{
    if (isCalculated() && owner_->calcRow_ >= 0)
        owner_->calcValues_[std::size_t(index_)] = text;
}

// ---- DbDataSet ----

DbDataSet::DbDataSet(QObject *parent) : QObject(parent) {}

DbDataSet::~DbDataSet()
{
    // Nobody listens any more: release the server objects quietly.
    blockSignals(true);
    close();
}

void DbDataSet::setConnection(DbConnection *connection)
{
    if (connection_ == connection)
        return;
    if (connection_)
        disconnect(connection_, nullptr, this, nullptr);
    connection_ = connection;
    if (connection_)
        connect(connection_, &DbConnection::aboutToClose, this, &DbDataSet::close);
}

DbField *DbDataSet::addField(const FieldDef &def)
{
    fields_.push_back(std::make_unique<DbField>(this, def));
    fields_.back()->index_ = int(fields_.size()) - 1;
    return fields_.back().get();
}

void DbDataSet::clearFields()
{
    fields_.clear();
    autoFields_ = false;
}

DbField *DbDataSet::field(int index) const
{
    return index >= 0 && index < int(fields_.size()) ? fields_[std::size_t(index)].get() : nullptr;
}

DbField *DbDataSet::fieldByName(const QString &name) const
{
    const QString n = Trim(name);
    for (const auto &f : fields_)
        if (f->name().compare(n, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

void DbDataSet::open()
{
    if (open_)
        return;
    const QString text = Trim(sqlText());
    if (text.isEmpty())
        throw DbError(QStringLiteral("Не задан текст SQL-запроса"));
    if (!connection_ || !connection_->isOpen())
        throw DbError(QStringLiteral("Нет подключения к базе данных"));
    DbTransaction *tra = transaction_ ? transaction_.data() : connection_->defaultTransaction();
    if (!tra->isActive())
        tra->start();

    const QByteArray statementText = Cp1251::encode(sqlText());
    fb::Status st;
    try {
        fb::guard([&] {
            statement_ = connection_->attachment()->prepare(st.get(), tra->handle(), 0,
                                                            statementText.constData(), 1,
                                                            IStatement::PREPARE_PREFETCH_METADATA);
            const unsigned type = statement_->getType(st.get());
            if (type != isc_info_sql_stmt_select && type != isc_info_sql_stmt_select_for_upd)
                throw DbError(QStringLiteral("Разрешены только запросы SELECT"));
            metadata_ = statement_->getOutputMetadata(st.get());
            const unsigned count = metadata_->getCount(st.get());
            std::vector<ColumnInfo> columns(count);
            for (unsigned i = 0; i < count; ++i) {
                ColumnInfo &c = columns[i];
                c.name = Cp1251::decode(QByteArray(metadata_->getAlias(st.get(), i)));
                c.type = metadata_->getType(st.get(), i) & ~1u;
                c.subType = metadata_->getSubType(st.get(), i);
                c.length = metadata_->getLength(st.get(), i);
                c.scale = metadata_->getScale(st.get(), i);
                c.offset = metadata_->getOffset(st.get(), i);
                c.nullOffset = metadata_->getNullOffset(st.get(), i);
            }
            message_.assign(metadata_->getMessageLength(st.get()), 0);
            store_.reset(std::move(columns));
        });

        const auto &columns = store_.columns();
        if (fields_.empty() || autoFields_) {
            fields_.clear();
            autoFields_ = true;
            for (const ColumnInfo &c : columns) {
                FieldDef def;
                def.name = c.name;
                def.kind = kindOf(c);
                def.displayWidth = c.isText() ? int(std::min(c.length, 40u)) : 10;
                addField(def)->column_ = int(&c - columns.data());
            }
        } else {
            for (const auto &f : fields_) {
                f->column_ = -1;
                if (f->isCalculated())
                    continue;
                for (std::size_t i = 0; i < columns.size(); ++i) {
                    if (columns[i].name.compare(f->name(), Qt::CaseInsensitive) == 0) {
                        f->column_ = int(i);
                        break;
                    }
                }
                if (f->column_ < 0)
                    throw DbError(QStringLiteral("Поле \"%1\" не найдено в результате запроса").arg(f->name()));
            }
        }

        fb::guard([&] {
            resultSet_ = statement_->openCursor(st.get(), tra->handle(), nullptr, nullptr, metadata_, 0);
        });
        open_ = true;
        calcCachedRow_ = -1;
        calcValues_.assign(fields_.size(), QString());
        fetchRows(1);
    } catch (...) {
        open_ = true; // let close() release whatever was made
        const QSignalBlocker quiet(this);
        close();
        throw;
    }
    current_ = store_.rowCount() > 0 ? 0 : -1;
    eof_ = current_ < 0;
    emit afterOpen();
    if (current_ >= 0)
        emit afterScroll();
}

void DbDataSet::releaseCursor()
{
    fb::finish(resultSet_, [](IResultSet *r, ThrowStatusWrapper *st) { r->close(st); });
}

void DbDataSet::close()
{
    if (!open_)
        return;
    emit beforeClose();
    releaseCursor();
    fb::finish(statement_, [](IStatement *s, ThrowStatusWrapper *st) { s->free(st); });
    if (metadata_) {
        metadata_->release();
        metadata_ = nullptr;
    }
    store_.reset({});
    if (autoFields_)
        fields_.clear();
    for (const auto &f : fields_)
        f->column_ = -1;
    open_ = false;
    eof_ = true;
    current_ = -1;
    calcCachedRow_ = -1;
    emit afterClose();
}

int DbDataSet::fetchRows(int count)
{
    if (!resultSet_ || count <= 0)
        return 0;
    const int from = fetchedCount();
    fb::Status st;
    fb::guard([&] {
        for (int i = 0; i < count; ++i) {
            if (resultSet_->fetchNext(st.get(), message_.data()) != IStatus::RESULT_OK) {
                releaseCursor();
                break;
            }
            store_.append(message_.data());
        }
    });
    const int got = fetchedCount() - from;
    if (got > 0)
        emit rowsFetched(from, fetchedCount() - 1);
    return got;
}

bool DbDataSet::ensureRow(int row)
{
    if (row < 0)
        return false;
    while (row >= fetchedCount() && !isAllFetched())
        fetchRows(std::max(64, row + 1 - fetchedCount()));
    return row < fetchedCount();
}

void DbDataSet::setCurrentRow(int row)
{
    if (!open_ || !ensureRow(row))
        return;
    eof_ = false;
    if (row == current_)
        return;
    current_ = row;
    emit afterScroll();
}

void DbDataSet::first()
{
    if (!open_)
        return;
    if (isEmpty()) {
        eof_ = true;
        return;
    }
    setCurrentRow(0);
}

void DbDataSet::next()
{
    if (!open_)
        return;
    if (!ensureRow(current_ + 1)) {
        eof_ = true;
        return;
    }
    current_ += 1;
    eof_ = false;
    emit afterScroll();
}

void DbDataSet::prior()
{
    if (open_ && current_ > 0)
        setCurrentRow(current_ - 1);
}

void DbDataSet::last()
{
    if (!open_)
        return;
    while (!isAllFetched())
        fetchRows(4096);
    if (!isEmpty())
        setCurrentRow(fetchedCount() - 1);
}

void DbDataSet::calculateRow(int row) const
{
    if (calcCachedRow_ == row)
        return;
    calcValues_.assign(fields_.size(), QString());
    calcRow_ = row;
    emit const_cast<DbDataSet *>(this)->calcFields();
    calcRow_ = -1;
    calcCachedRow_ = row;
}

QString DbDataSet::calculatedText(int fieldIndex, int row) const
{
    if (row < 0 || row >= fetchedCount())
        return QString();
    if (calcRow_ >= 0) // inside the event: the values set so far
        return calcValues_[std::size_t(fieldIndex)];
    calculateRow(row);
    return calcValues_[std::size_t(fieldIndex)];
}

QString DbDataSet::text(int fieldIndex, int row) const
{
    const DbField *f = field(fieldIndex);
    if (!f || !open_ || row < 0)
        return QString();
    if (f->isCalculated())
        return calculatedText(fieldIndex, row);
    return columnText(f->column_, row, f);
}

QString DbDataSet::plainText(int fieldIndex, int row) const
{
    const DbField *f = field(fieldIndex);
    if (!f || !open_ || row < 0)
        return QString();
    if (f->isCalculated())
        return calculatedText(fieldIndex, row);
    return columnText(f->column_, row, nullptr);
}

QString DbDataSet::columnText(int column, int row, const DbField *field) const
{
    if (column < 0)
        return QString();
    const CellRef cell = store_.cell(std::size_t(row), std::size_t(column));
    if (cell.isNull)
        return QString();
    const ColumnInfo &col = store_.columns()[std::size_t(column)];
    switch (col.type) {
    case SQL_VARYING:
    case SQL_TEXT:
        return Cp1251::decode(cell.data, cell.size);
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        return scaledIntegerText(integerValue(col, cell.data), col.scale);
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return FormatFloat15(floatValue(col, cell.data));
    case SQL_TIMESTAMP: {
        const ISC_DATE days = load<ISC_DATE>(cell.data);
        const ISC_TIME time = load<ISC_TIME>(cell.data + sizeof(ISC_DATE));
        if (field && !field->displayFormat().isEmpty())
            return formatDateTime(field->displayFormat(), days, time);
        return formatDateTime(time == 0 ? QStringLiteral("dd.mm.yyyy") : QStringLiteral("dd.mm.yyyy hh:nn:ss"), days,
                              time);
    }
    case SQL_TYPE_DATE:
        return formatDateTime(field && !field->displayFormat().isEmpty() ? field->displayFormat()
                                                                           : QStringLiteral("dd.mm.yyyy"),
                              load<ISC_DATE>(cell.data), 0);
    case SQL_TYPE_TIME:
        return fromIscTime(load<ISC_TIME>(cell.data)).toString(QStringLiteral("hh:mm:ss"));
    case SQL_BLOB:
        return readBlob(cell.data);
    case SQL_BOOLEAN:
        return *cell.data ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return QString();
    }
}

QString DbDataSet::readBlob(const char *id) const
{
    if (!connection_ || !connection_->isOpen())
        return QString();
    DbTransaction *tra = transaction_ ? transaction_.data() : connection_->defaultTransaction();
    if (!tra->isActive())
        return QString();
    ISC_QUAD quad;
    std::memcpy(&quad, id, sizeof quad);
    QByteArray bytes;
    fb::Status st;
    fb::guard([&] {
        fb::Ref<IBlob> blob(connection_->attachment()->openBlob(st.get(), tra->handle(), &quad, 0, nullptr));
        char buf[32768];
        for (;;) {
            unsigned len = 0;
            const int rc = blob->getSegment(st.get(), sizeof buf, buf, &len);
            if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT)
                break;
            bytes.append(buf, qsizetype(len));
        }
        blob->close(st.get());
        blob.take();
    });
    return Cp1251::decode(bytes);
}

bool DbDataSet::isNullAt(int fieldIndex, int row) const
{
    const DbField *f = field(fieldIndex);
    if (!f || !open_ || row < 0 || row >= fetchedCount())
        return true;
    if (f->isCalculated())
        return calculatedText(fieldIndex, row).isEmpty();
    return f->column_ < 0 || store_.cell(std::size_t(row), std::size_t(f->column_)).isNull;
}

int DbDataSet::integerAt(int fieldIndex, int row) const
{
    const DbField *f = field(fieldIndex);
    if (!f || isNullAt(fieldIndex, row))
        return 0;
    if (f->isCalculated())
        return StrToIntOr(calculatedText(fieldIndex, row), 0);
    const ColumnInfo &col = store_.columns()[std::size_t(f->column_)];
    const CellRef cell = store_.cell(std::size_t(row), std::size_t(f->column_));
    if (isIntegerType(col.type) && col.scale == 0)
        return int(integerValue(col, cell.data));
    if (isIntegerType(col.type) || col.type == SQL_FLOAT || col.type == SQL_DOUBLE || col.type == SQL_D_FLOAT)
        return int(std::llround(floatValue(col, cell.data)));
    return StrToIntOr(columnText(f->column_, row, f), 0);
}

QVariant DbDataSet::valueAt(int fieldIndex, int row) const
{
    const DbField *f = field(fieldIndex);
    if (!f || isNullAt(fieldIndex, row))
        return QVariant();
    if (f->isCalculated())
        return calculatedText(fieldIndex, row);
    const ColumnInfo &col = store_.columns()[std::size_t(f->column_)];
    const CellRef cell = store_.cell(std::size_t(row), std::size_t(f->column_));
    switch (col.type) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64:
        if (col.scale == 0)
            return QVariant::fromValue(integerValue(col, cell.data));
        return floatValue(col, cell.data);
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return floatValue(col, cell.data);
    case SQL_TIMESTAMP:
        return QDateTime(fromIscDate(load<ISC_DATE>(cell.data)),
                         fromIscTime(load<ISC_TIME>(cell.data + sizeof(ISC_DATE))), Qt::UTC);
    case SQL_TYPE_DATE:
        return fromIscDate(load<ISC_DATE>(cell.data));
    default:
        return columnText(f->column_, row, f);
    }
}
