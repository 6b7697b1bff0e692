#pragma once
// A one-shot statement: created, executed and destroyed within one lookup;
// only the columns of its first row are read.

#include "db/db_dataset.h"

class DbQuery {
public:
    DbQuery() = default;

    void setConnection(DbConnection *connection) { dataSet_.setConnection(connection); }
    void setTransaction(DbTransaction *transaction) { dataSet_.setTransaction(transaction); }
    void setGoToFirstRow(bool go) { goToFirstRow_ = go; }

    QStringList &sql() { return dataSet_.sql(); }
    QString sqlText() const;

    // Runs the statement; with go-to-first-row the first row is fetched.
    void execQuery();
    // The value of a column of the current row as text; "" without a row.
    QString fieldAsString(int column) const;
    void close() { dataSet_.close(); }

private:
    DbDataSet dataSet_;
    bool goToFirstRow_ = true;
};
