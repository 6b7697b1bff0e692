#pragma once
// A table model over a row set: the visible fields in order, titled by
// display label, fetching more rows as a view scrolls. It knows no view: the
// view that shows it (DbGrid) wires widths, the current row and the look.

#include <QAbstractTableModel>
#include <QPointer>
#include <exception>
#include <vector>

class DbDataSet;

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kFetchBatch = 256;

    explicit DataSetModel(DbDataSet *dataSet, QObject *parent = nullptr);

    DbDataSet *dataSet() const { return dataSet_; }
    // The field shown in a column, or -1.
    int fieldIndex(int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // A value that cannot be read is shown empty and its error reported
    // once the painting is over.
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    // Asks the row set for more rows without waiting for them; a fetch
    // that fails is reported through the program's error handler once the
    // view's own work is done: the view goes on with the rows it has, and
    // asks for no more.
    void fetchMore(const QModelIndex &parent) override;
    // Reports an error met while a view paints or lays out, once that is
    // over; one report until the row set opens or closes again.
    void reportLater(std::exception_ptr error) const;

private:
    QVariant cellData(const QModelIndex &index, int role) const;
    void rebuild();
    void onRowsFetched(int firstRow, int lastRow);

    QPointer<DbDataSet> dataSet_;
    std::vector<int> columns_; // field index of each column
    int rows_ = 0;
    mutable bool errorReported_ = false;
};
