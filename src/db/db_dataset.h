#pragma once
// A row set over one SELECT statement held as text lines. Its fields are
// defined by the window that owns it and bound by name to the result columns
// when it opens (with no fields defined, one field per column is made). Rows
// are fetched forward as they are needed and kept, so that a grid can scroll
// back; text blobs are read when their value is asked for.

#include "db/db_connection.h"
#include "db/row_store.h"
#include "db/value_text.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <vector>

class DbDataSet;
class BackgroundFetch;
struct DbCursor;
struct FetchedRows;

struct FieldDef {
    FieldDef() = default;
    FieldDef(QString name_, FieldKind kind_, QString label, int width, bool visible_ = true, int size_ = 0,
             QString format = QString(), Qt::Alignment align = Qt::AlignLeft)
        : name(std::move(name_)), kind(kind_), displayLabel(std::move(label)), displayWidth(width),
          visible(visible_), size(size_), displayFormat(std::move(format)), alignment(align)
    {
    }
    QString name;
    FieldKind kind = FieldKind::Text;
    QString displayLabel;
    int displayWidth = 10;
    bool visible = true;
    int size = 0;          // maximum characters of text fields
    QString displayFormat; // date-time fields: "dd.mm.yyyy" and the like
    Qt::Alignment alignment = Qt::AlignLeft;
};

class DbField {
public:
    DbField(DbDataSet *owner, FieldDef def) : owner_(owner), def_(std::move(def)) {}

    const QString &name() const { return def_.name; }
    int index() const { return index_; }
    FieldKind kind() const { return def_.kind; }
    QString displayLabel() const { return def_.displayLabel.isEmpty() ? def_.name : def_.displayLabel; }
    int displayWidth() const { return def_.displayWidth; }
    void setDisplayWidth(int width) { def_.displayWidth = width; }
    bool isVisible() const { return def_.visible; }
    int size() const { return def_.size; }
    const QString &displayFormat() const { return def_.displayFormat; }
    Qt::Alignment alignment() const { return def_.alignment; }
    bool isCalculated() const { return def_.kind == FieldKind::Calculated; }

    // Values of the current row (of the row being calculated inside the
    // calculate-fields event). NULL reads as "" and 0.
    QString asString() const;
    int asInteger() const;
    QVariant value() const;
    bool isNull() const;
    // Calculated fields only: the value for the row being calculated.
    void setAsString(const QString &text);

private:
    friend class DbDataSet;
    DbDataSet *owner_;
    FieldDef def_;
    int column_ = -1; // bound result column, -1 while closed or calculated
    int index_ = 0;
};

class DbDataSet : public QObject {
    Q_OBJECT
public:
    // Background fetching goes in slices of at most this many rows or this
    // long on the store's thread; taking one in holds the window's thread
    // for a few milliseconds.
    static constexpr int kBackgroundSlice = 2000;
    static constexpr int kBackgroundSliceMs = 40;

    explicit DbDataSet(QObject *parent = nullptr);
    ~DbDataSet() override;

    // The statement: the text sent is the lines joined with line breaks.
    QStringList &sql() { return sql_; }
    const QStringList &sql() const { return sql_; }
    QString sqlText() const { return sql_.join(QChar('\n')); }

    void setConnection(DbConnection *connection);
    DbConnection *connection() const { return connection_; }
    void setTransaction(DbTransaction *transaction) { transaction_ = transaction; }
    DbTransaction *transaction() const { return transaction_; }

    DbField *addField(const FieldDef &def);
    void clearFields();
    int fieldCount() const { return int(fields_.size()); }
    DbField *field(int index) const;
    DbField *fieldByName(const QString &name) const; // nullptr when missing

    // Starts the transaction when needed, prepares and runs the statement,
    // binds the fields, fetches the first rows and makes the first one
    // current. Throws DbError. Every talk with the store runs through the
    // connection's wait routine.
    void open();
    // How many rows open() fetches at once (1 unless set: a grid asks for its
    // first screen).
    void setFirstFetch(int rows) { firstFetch_ = std::max(1, rows); }
    void close();
    bool isOpen() const { return open_; }

    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return eof_; }
    bool isEmpty() const { return store_.rowCount() == 0; }
    int currentRow() const { return current_; }
    // Moves to the row (fetching up to it); fires after-scroll when it moved.
    void setCurrentRow(int row);

    int fetchedCount() const { return int(store_.rowCount()); }
    // The cursor has been read to its end (not when a fetch failed); true
    // for a closed row set.
    bool isAllFetched() const { return (!open_ || atEnd_) && !fetchFailure_; }
    // A fetch failed: the rows before it stay, and asking for more raises
    // that error again.
    bool fetchFailed() const { return bool(fetchFailure_); }
    // Fetches up to count more rows, waiting for them; returns how many came.
    int fetchRows(int count);
    // Asks for about count more rows without waiting (a grid scrolled to its
    // end): they come with rowsFetched() while the windows go on.
    void requestRows(int count);
    // Fetches every remaining row in the background, in slices that never
    // hold the window's thread for long; allFetched() tells when the last
    // came. Closing the row set stops it.
    void fetchAllInBackground();
    // Rows asked for without waiting are on their way.
    bool isFetching() const;
    std::size_t bufferBytes() const { return store_.bytesUsed(); }

    // Values of any fetched row, without moving the current row.
    QString text(int fieldIndex, int row) const;
    // The same without the field's display format (dates as stored: the date,
    // and the time when it is not midnight).
    QString plainText(int fieldIndex, int row) const;
    bool isNullAt(int fieldIndex, int row) const;
    // The field is bound to a blob column (its text is read from the store).
    bool isBlob(int fieldIndex) const;
    int integerAt(int fieldIndex, int row) const;
    QVariant valueAt(int fieldIndex, int row) const;

signals:
    void afterOpen();
    void afterScroll();
    void beforeClose();
    void afterClose();
    // Fill the calculated fields with DbField::setAsString.
    void calcFields();
    void rowsFetched(int firstRow, int lastRow);
    // The cursor reached its end: every row of the result is fetched. Sent
    // also when the last fetch brought no row.
    void allFetched();

private:
    friend class DbField;
    int activeRow() const { return calcRow_ >= 0 ? calcRow_ : current_; }
    void calculateRow(int row) const;
    QString calculatedText(int fieldIndex, int row) const;
    QString fieldText(int fieldIndex, int row, bool formatted) const;
    QString columnText(int column, int row, const DbField *field) const;
    // The text of a blob cell; a reader going down the rows gets the next
    // kBlobsAhead rows' blobs read in the same call.
    QString blobText(int column, int row, bool isNull) const;
    // The bytes of the blobs (an empty id: none), in one call to the store.
    std::vector<QByteArray> readBlobs(const std::vector<QByteArray> &ids) const;
    bool ensureRow(int row);
    void announceFetched(int from);
    void releaseCursor();
    void bindFields();
    // Fetched rows are taken in the order the store's thread fetched them,
    // whichever way they came back.
    void arrived(const std::shared_ptr<DbCursor> &cursor, const std::shared_ptr<FetchedRows> &rows,
                 std::exception_ptr error);
    int takeFetched();
    // Takes what came without waiting (or the error of a fetch that never
    // ran; with ready, the slices read ahead); a failure is reported here
    // (one the user cancelled was reported where he did).
    void takeFetchedReporting(std::exception_ptr unran, bool ready = false);
    // Reading ahead: takes the slices that wait, then waits for more until
    // count rows came or the reading ended.
    int fetchAhead(int count);
    void takeReadySlices();
    // Starts reading the rest on the store's thread; without deliver the
    // slices wait for fetchAhead.
    void startBackground(std::function<void(const std::shared_ptr<FetchedRows> &)> deliver);
    void fail(std::exception_ptr error);
    void stopBackground();

    QStringList sql_;
    QPointer<DbConnection> connection_;
    QPointer<DbTransaction> transaction_;
    std::vector<std::unique_ptr<DbField>> fields_;
    bool autoFields_ = false;

    std::shared_ptr<DbCursor> cursor_;
    std::exception_ptr fetchFailure_;
    RowStore store_;
    int firstFetch_ = 1;
    bool atEnd_ = true;
    int requests_ = 0; // rows asked for without waiting, on their way
    int fetchesAsked_ = 0; // fetchRows calls since open
    std::shared_ptr<BackgroundFetch> background_;
    struct Arrived {
        std::shared_ptr<FetchedRows> rows;
        std::exception_ptr error;
    };
    std::uint64_t taken_ = 0; // fetches of the cursor taken in
    std::map<std::uint64_t, Arrived> arrived_;
    bool open_ = false;
    bool eof_ = true;
    int current_ = -1;

    // Blob texts read ahead for a reader going down the rows of one column.
    static constexpr int kBlobsAhead = 512;
    struct BlobsAhead {
        int column = -1;
        int lastRow = -2; // the last row asked for
        int firstRow = 0;
        std::vector<QByteArray> texts;
    };
    mutable BlobsAhead blobsAhead_;

    // Calculated values of the last row calculated.
    mutable int calcRow_ = -1;
    mutable int calcCachedRow_ = -1;
    mutable std::vector<QString> calcValues_;
};
