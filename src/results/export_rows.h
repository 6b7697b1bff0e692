#pragma once
// The rows both exports write, read from the result window's row set by row
// number. The current row does not move while they are read, so the grid is
// not repainted for every row; at the end the last row read becomes current,
// as if the export had stepped through the rows one by one.

#include "db/db_dataset.h"

#include <QString>
#include <QVariant>
#include <vector>

struct ExportColumn {
    int field = -1;      // index of the field in the row set
    QString name;        // the field's name
    QString label;       // its display label
    FieldKind kind = FieldKind::Text;
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
    // Index of the row read, from 0; -1 before the first next().
    int row() const { return row_; }
    // The number of rows in the result once every row is fetched, else -1.
    int total() const;
    // The k-th exported column of the row read, as text: no display format,
    // "" for NULL.
    QString text(int k) const;
    // The same typed: QString, qint64, double, QDateTime or QDate; an invalid
    // QVariant for NULL.
    QVariant value(int k) const;
    // Makes the last row read the row set's current row.
    void finish();

private:
    DbDataSet &rows_;
    std::vector<ExportColumn> columns_;
    int row_ = -1;
    bool complete_ = false;
};
