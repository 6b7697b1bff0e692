#include "db/db_dataset.h"

#include "db/db_connection.h"
#include "db/background_fetch.h"
#include "db/db_cursor.h"
#include "db/db_error.h"
#include "db/fetch_stages.h"
#include "db/sql_guard.h"
#include "db/store_dependencies.h"
#include "db/store_wait.h"
#include "db/value_text.h"
#include "support/app_error.h"
#include "support/codec_1251.h"
#include "support/str_utils.h"

#include <QSignalBlocker>
#include <ibase.h>


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
    // The connection ends the server objects with the rest of its
    // disconnect, within its time limit.
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
    if (Trim(sqlText()).isEmpty())
        throw DbError(QStringLiteral("Не задан текст SQL-запроса"));
    // What is checked is what the engine gets: the bytes, whole. The text
    // here; the store's objects it names on the store's thread, as the
    // store has them now.
    const QByteArray statementText = Cp1251::encode(sqlText());
    const QString refusal = StatementRefusal(statementText, SequenceReach());
    if (!refusal.isEmpty())
        throw DbError(refusal);
    if (!connection_ || !connection_->isOpen())
        throw DbError(QStringLiteral("Нет подключения к базе данных"));
    DbTransaction *tra = transaction_ ? transaction_.data() : connection_->defaultTransaction();
    if (!tra->isActive())
        tra->start();

    // Wherever its last reference drops, the cursor ends on the store's thread.
    auto cursor = connection_->share(std::make_unique<DbCursor>());
    auto first = std::make_shared<FetchedRows>();
    Firebird::IAttachment *attachment = connection_->attachment();
    Firebird::ITransaction *transaction = tra->handle();
    const int firstRows = firstFetch_;
    try {
        std::shared_ptr<DependencyReader> reader = connection_->dependencyReader();
        connection_->call([cursor, first, attachment, transaction, statementText, firstRows, reader] {
            if (const QString named = StoreStatementRefusal(*reader, transaction, statementText); !named.isEmpty())
                throw DbError(named);
            OpenCursor(*cursor, attachment, transaction, statementText);
            FetchCursor(*cursor, firstRows, 0, *first);
        });
        // The connection may have closed while the window waited.
        if (!connection_ || !connection_->isOpen())
            throw DbError(QStringLiteral("Нет подключения к базе данных"));
        if (first->error && first->count == 0)
            std::rethrow_exception(first->error);
        store_.reset(cursor->columns);
        cursor_ = cursor;
        bindFields();
    } catch (...) {
        cursor_.reset();
        store_.reset({});
        throw;
    }
    open_ = true;
    atEnd_ = first->atEnd;
    taken_ = first->seq;
    fetchesAsked_ = 0;
    calcCachedRow_ = -1;
    calcValues_.assign(fields_.size(), QString());
    for (int i = 0; i < first->count; ++i)
        store_.append(first->row(i, cursor->messageLength));
    if (first->error) {
        // The rows before the failure show; it is told once the window has
        // them, and asking for more raises it again.
        fail(first->error);
        QMetaObject::invokeMethod(this, [error = first->error] {
            ReportingErrors([&] { std::rethrow_exception(error); });
        }, Qt::QueuedConnection);
    }
    announceFetched(0);
    current_ = store_.rowCount() > 0 ? 0 : -1;
    eof_ = current_ < 0;
    emit afterOpen();
    if (atEnd_)
        emit allFetched();
    if (current_ >= 0)
        emit afterScroll();
}

void DbDataSet::bindFields()
{
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
        return;
    }
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

void DbDataSet::releaseCursor()
{
    cursor_.reset(); // ends on the store's thread (DbConnection::share)
}

void DbDataSet::close()
{
    if (!open_)
        return;
    emit beforeClose();
    stopBackground();
    releaseCursor();
    fetchFailure_ = nullptr;
    arrived_.clear(); // what is still on its way is dropped
    taken_ = 0;
    requests_ = 0;
    atEnd_ = true;
    store_.reset({});
    blobsAhead_ = BlobsAhead();
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
    while (open_ && !isAllFetched())
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
        return blobText(column, row, cell.isNull);
    return CellText(col, cell, field ? field->displayFormat() : QString());
}

QString DbDataSet::blobText(int column, int row, bool isNull) const
{
    BlobsAhead &ahead = blobsAhead_;
    if (ahead.column != column) {
        ahead = BlobsAhead();
        ahead.column = column;
    }
    // A reader going down the rows (an export, a copy, a benchmark) asks for
    // the blob of every row: the next ones are read in the same call to the
    // store. A single value (the viewer) is read alone.
    const bool goingDown = row == ahead.lastRow + 1;
    ahead.lastRow = row;
    if (isNull)
        return QString();
    if (row >= ahead.firstRow && row < ahead.firstRow + int(ahead.texts.size()))
        return Cp1251::decode(ahead.texts[std::size_t(row - ahead.firstRow)]);
    const int count = goingDown ? std::min(kBlobsAhead, fetchedCount() - row) : 1;
    std::vector<QByteArray> ids;
    ids.reserve(std::size_t(count));
    for (int r = row; r < row + count; ++r) {
        const CellRef cell = store_.cell(std::size_t(r), std::size_t(column));
        ids.push_back(cell.isNull ? QByteArray() : QByteArray(cell.data, 8));
    }
    std::vector<QByteArray> texts = readBlobs(ids);
    if (texts.empty())
        return QString();
    const QString first = Cp1251::decode(texts.front());
    if (count > 1) {
        ahead.firstRow = row;
        ahead.texts = std::move(texts);
    }
    return first;
}

std::vector<QByteArray> DbDataSet::readBlobs(const std::vector<QByteArray> &ids) const
{
    if (!connection_ || !connection_->isOpen())
        return {};
    DbTransaction *tra = transaction_ ? transaction_.data() : connection_->defaultTransaction();
    if (!tra->isActive())
        return {};
    auto texts = std::make_shared<std::vector<QByteArray>>(ids.size());
    Firebird::IAttachment *attachment = connection_->attachment();
    Firebird::ITransaction *transaction = tra->handle();
    StageTimer stage(FetchStageTimes().waitNs);
    ++FetchStageTimes().waits;
    connection_->call([texts, ids, attachment, transaction] {
        for (std::size_t i = 0; i < ids.size(); ++i)
            if (!ids[i].isEmpty())
                (*texts)[i] = ReadBlob(attachment, transaction, ids[i].constData());
    });
    return std::move(*texts);
}

bool DbDataSet::isBlob(int fieldIndex) const
{
    const DbField *f = field(fieldIndex);
    return f && open_ && f->column_ >= 0 && store_.columns()[std::size_t(f->column_)].type == SQL_BLOB;
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
