#include "db/db_dataset.h"

#include "db/db_connection.h"
#include "db/fb_api.h"
#include "db/sql_guard.h"
#include "db/value_text.h"
#include "support/codec_1251.h"
#include "support/str_utils.h"

#include <QSignalBlocker>
#include <cstring>

using namespace Firebird;


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
        connect(connection_, &DbConnection::aboutToClose, this, &DbDataSet::handOverAndClose);
}

void DbDataSet::handOverAndClose()
{
    // The connection ends the server objects with the rest of its
    // disconnect, within its time limit.
    if (connection_) {
        connection_->adoptCursor(std::move(resultSet_));
        connection_->adoptStatement(std::move(statement_));
    }
    close();
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
    if (const QString call = SequenceCallIn(text); !call.isEmpty())
        throw DbError(SequenceCallMessage(call));
    if (!connection_ || !connection_->isOpen())
        throw DbError(QStringLiteral("Нет подключения к базе данных"));
    DbTransaction *tra = transaction_ ? transaction_.data() : connection_->defaultTransaction();
    if (!tra->isActive())
        tra->start();

    const QByteArray statementText = Cp1251::encode(sqlText());
    fb::Status st;
    try {
        fb::check([&] {
            statement_.reset(connection_->attachment()->prepare(st.get(), tra->handle(), 0,
                                                                statementText.constData(), 1,
                                                                IStatement::PREPARE_PREFETCH_METADATA));
            const unsigned type = statement_->getType(st.get());
            if (type != isc_info_sql_stmt_select && type != isc_info_sql_stmt_select_for_upd)
                throw DbError(QStringLiteral("Разрешены только запросы SELECT"));
            metadata_.reset(statement_->getOutputMetadata(st.get()));
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
                def.kind = KindOfColumn(c);
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

        fb::check([&] {
            resultSet_.reset(statement_->openCursor(st.get(), tra->handle(), nullptr, nullptr, metadata_.get(), 0));
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
    resultSet_.reset();
}

void DbDataSet::close()
{
    if (!open_)
        return;
    emit beforeClose();
    releaseCursor();
    fetchFailure_ = nullptr;
    statement_.reset();
    metadata_.reset();
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
    if (fetchFailure_ && count > 0)
        std::rethrow_exception(fetchFailure_);
    if (!resultSet_ || count <= 0)
        return 0;
    const int from = fetchedCount();
    bool reachedEnd = false;
    fb::Status st;
    try {
        fb::check([&] {
            for (int i = 0; i < count; ++i) {
                if (resultSet_->fetchNext(st.get(), message_.data()) != IStatus::RESULT_OK) {
                    releaseCursor();
                    reachedEnd = true;
                    break;
                }
                store_.append(message_.data());
            }
        });
    } catch (const DbError &) {
        // A cursor that failed once does not recover: the rows fetched stay,
        // and the result is never taken for complete.
        fetchFailure_ = std::current_exception();
        releaseCursor();
        announceFetched(from);
        throw;
    }
    announceFetched(from);
    if (reachedEnd)
        emit allFetched();
    return fetchedCount() - from;
}

void DbDataSet::announceFetched(int from)
{
    if (fetchedCount() > from)
        emit rowsFetched(from, fetchedCount() - 1);
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
    return fieldText(fieldIndex, row, true);
}

QString DbDataSet::plainText(int fieldIndex, int row) const
{
    return fieldText(fieldIndex, row, false);
}

QString DbDataSet::fieldText(int fieldIndex, int row, bool formatted) const
{
    const DbField *f = field(fieldIndex);
    if (!f || !open_ || row < 0)
        return QString();
    if (f->isCalculated())
        return calculatedText(fieldIndex, row);
    return columnText(f->column_, row, formatted ? f : nullptr);
}

QString DbDataSet::columnText(int column, int row, const DbField *field) const
{
    if (column < 0)
        return QString();
    const CellRef cell = store_.cell(std::size_t(row), std::size_t(column));
    const ColumnInfo &col = store_.columns()[std::size_t(column)];
    if (col.type == SQL_BLOB)
        return cell.isNull ? QString() : readBlob(cell.data);
    return CellText(col, cell, field ? field->displayFormat() : QString());
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
    fb::check([&] {
        fb::Handle<IBlob> blob(connection_->attachment()->openBlob(st.get(), tra->handle(), &quad, 0, nullptr));
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
    if (col.type == SQL_BLOB)
        return StrToIntOr(columnText(f->column_, row, f), 0);
    return int(CellInteger(col, store_.cell(std::size_t(row), std::size_t(f->column_))));
}

QVariant DbDataSet::valueAt(int fieldIndex, int row) const
{
    const DbField *f = field(fieldIndex);
    if (!f || isNullAt(fieldIndex, row))
        return QVariant();
    if (f->isCalculated())
        return calculatedText(fieldIndex, row);
    const ColumnInfo &col = store_.columns()[std::size_t(f->column_)];
    if (col.type == SQL_BLOB)
        return columnText(f->column_, row, f);
    return CellValue(col, store_.cell(std::size_t(row), std::size_t(f->column_)));
}
