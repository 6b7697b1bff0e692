#pragma once
// The rows both exports write, read from the result window's row set by row
// number. The current row does not move, so the grid is not repainted for
// every row and the user finds it where it was.

#include "db/db_dataset.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

struct ExportColumn {
    int field = -1;      // index of the field in the row set
    QString name;        // the field's name
    QString label;       // its display label
    FieldKind kind = FieldKind::Text;
    int width = 0;       // its display width, in characters
};

// The visible fields of the row set, in order, except the memo "INFO".
std::vector<ExportColumn> ExportColumns(const DbDataSet &rows);

class ExportRowReader {
public:
    // Rows are fetched from the server in batches of this many.
    static constexpr int kFetchBatch = 4096;

    explicit ExportRowReader(DbDataSet &rows);

    const std::vector<ExportColumn> &columns() const { return columns_; }
    // Moves to the next row (the first on the first call), fetching from the
    // server as needed; false after the last row or when the row set closed.
    // Throws DbError when a fetch fails.
    bool next();
    // Whether next() has stepped past the last row of the result. False while
    // rows remain and when the row set was closed before the end (pending
    // events run while an export goes on): what was written is cut short.
    bool complete() const { return complete_; }
    // The number of rows in the result once every row is fetched, else -1.
    int total() const;
    // The k-th exported column of the row read, as text: no display format,
    // "" for NULL.
    QString text(int k) const;
    // The same typed: QString, qint64, double, QDateTime or QDate; an invalid
    // QVariant for NULL.
    QVariant value(int k) const;

private:
    DbDataSet &rows_;
    std::vector<ExportColumn> columns_;
    int row_ = -1;
    bool complete_ = false;
};

// Long work done in steps (the signature of RunLongWork): calls step until it
// returns false, showing progress() as it goes; false when it was stopped
// before the end.
using LongWorkRunner =
    std::function<bool(const std::function<bool()> &step, const std::function<QString()> &progress)>;

// How long one step of an export's row loop may run before windows get
// their turn.
constexpr int kExportStepMs = 30;

// Hands every row of the reader to row(), in steps of at most kExportStepMs,
// run by run (RunLongWork, with its wait window and Cancel, when run is
// empty); progress() says how far the export has come. False when it was
// cancelled, or when the row set closed before its last row (what was written
// would be cut short). Errors of row() and of fetching travel to the caller.
bool ForEachExportRow(ExportRowReader &reader, const std::function<void()> &row,
                      const std::function<QString()> &progress, const LongWorkRunner &run = {});

// "Записано строк: N из M", or "Записано строк: N" while the count is unknown.
QString RowsWrittenText(int written, int total);
