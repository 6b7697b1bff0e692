#pragma once
// The data grid of every window: a table view over a row set. Its columns
// are the visible fields in order, titled by display label and as wide as
// their display width in characters of the grid's font. The grid's current
// row and the row set's current row follow each other (every move fires the
// row set's after-scroll once). A window may draw the data cells itself
// through a draw hook, which gets each cell with the grid's own drawing at
// hand, as the windows' DrawDataCell handlers need.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QTableView>
#include <functional>
#include <optional>

class DataSetModel;
class DbDataSet;
class DbField;
class QPainter;

// One data cell being drawn. The hook may change the font, the text colour
// and the background and then call drawDefault(); a cell whose hook does not
// call it is drawn by the grid as usual.
struct DbGridCell {
    QRect rect;
    const DbField *field = nullptr;
    int fieldIndex = -1;
    int row = -1;
    bool selected = false;
    bool focused = false; // the current cell while the grid has the focus

    QFont font;                        // the grid's font to begin with
    std::optional<QColor> textColor;   // unset: the grid's own
    std::optional<QBrush> background;  // unset: the grid's own

    // The grid's default drawing of the cell, with the settings above.
    std::function<void()> drawDefault;
};

class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget *parent = nullptr);
    ~DbGrid() override;

    // Shows the row set (its model is made here and owned by the grid).
    void setDataSet(DbDataSet *dataSet);
    DbDataSet *dataSet() const;
    DataSetModel *dataModel() const { return model_; }

    using DrawHook = std::function<void(DbGridCell &cell)>;
    void setDrawDataCell(DrawHook hook);
    const DrawHook &drawDataCell() const { return drawHook_; }

    // The field of the current column, or -1.
    int selectedField() const;
    // Column widths from the fields' display widths (after a change of them).
    void applyColumnWidths();
    // The widths the user gave columns by hand, by field name. They stand in
    // for the widths from the display widths whenever the columns are laid
    // out again (a re-opened row set, a new width limit, the next window).
    QHash<QString, int> userColumnWidths() const { return userWidths_; }
    void setUserColumnWidths(const QHash<QString, int> &widths);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followDataSet();

    DataSetModel *model_ = nullptr;
    DrawHook drawHook_;
    QHash<QString, int> userWidths_;
    bool layingOut_ = false; // the columns are sized by the grid, not the user
    bool syncing_ = false;
};
