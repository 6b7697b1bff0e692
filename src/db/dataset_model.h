#pragma once
// A table model over a row set for a QTableView: the visible fields in order,
// titled by display label, fetching more rows as the view scrolls. The view's
// current row and the row set's current row follow each other; every move
// fires the row set's after-scroll once.

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>
#include <functional>
#include <optional>
#include <vector>

class DbDataSet;
class QTableView;

// How the cells of one row look; unset parts keep the view's own.
struct CellLook {
    std::optional<QColor> foreground;
    std::optional<QColor> background;
    bool bold = false;
    bool italic = false;
};

class DataSetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kFetchBatch = 256;

    explicit DataSetModel(DbDataSet *dataSet, QObject *parent = nullptr);

    // The look of the cells of a row (called for every cell drawn).
    void setLookHook(std::function<CellLook(int row)> hook)
    {
        lookHook_ = std::move(hook);
        lookRow_ = -1;
    }

    // Shows the model in the view and ties the current rows together.
    void attachView(QTableView *view);
    // Column widths from the fields' display widths in the view's font.
    void applyColumnWidths();
    // The field shown in a view column, or -1.
    int fieldIndex(int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    void rebuild();
    void onRowsFetched(int firstRow, int lastRow);
    void onDataSetScrolled();
    void onViewRowChanged(const QModelIndex &current);

    QPointer<DbDataSet> dataSet_;
    QPointer<QTableView> view_;
    std::vector<int> columns_; // field index of each view column
    int rows_ = 0;
    bool syncing_ = false;
    std::function<CellLook(int row)> lookHook_;
    // The look of the row drawn last: every cell asks for it several times.
    mutable int lookRow_ = -1;
    mutable CellLook look_;
};
