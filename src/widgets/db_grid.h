#pragma once
// The data grid of every window: a table view over a row set. Its columns
// are the visible fields in order, titled by display label and as wide as
// their display width in characters of the grid's font. The grid's current
// row and the row set's current row follow each other (every move fires the
// row set's after-scroll once). A window may draw the data cells itself
// through a draw hook, which gets each cell with the grid's own drawing at
// hand, as the windows' DrawDataCell handlers need.
//
// Beside that: ranges and whole rows are selected (rows by the indicator
// column at the left, which also marks the current row); Ctrl+C and the
// context menu's "Копировать" copy the selection as tab-separated text with a
// header line and as an HTML table, "Копировать всё" (Ctrl+Shift+C) every row
// of the result, waiting for the rows still to come; a window may give each
// row a hint.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QItemSelection>
#include <QTableView>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class DataSetModel;
class DbDataSet;
class DbField;
class QAction;
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
    bool inRange = false; // selected as part of a range of several cells

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

    // "Копировать" (Ctrl+C) and "Копировать всё" (Ctrl+Shift+C): in the
    // grid's own context menu, for a window's menu to take up as well.
    QAction *copyAction() const { return copyAction_; }
    QAction *copyAllAction() const { return copyAllAction_; }
    // The selected cells (the current one when nothing is selected): one
    // cell as its text alone, more as a table with the titles of their
    // columns as the first line. False when there was nothing to copy or the
    // user cancelled.
    bool copySelection();
    // Every row of the result, every visible column, with the title line;
    // the rows still to come are waited for under the wait window. False
    // when cancelled.
    bool copyAll();

    // A hint for the row under the mouse (the grid's own hint follows on a
    // line of its own).
    using RowHint = std::function<QString(int row)>;
    void setRowHint(RowHint hint) { rowHint_ = std::move(hint); }

    // Whether moving with the keys (and the row set's own moves) selects
    // the current cell, as it does unless switched off. Off, the selection
    // is the window's to set and the keys move only the current cell;
    // Shift and Ctrl with the keys still select.
    void setKeysSelect(bool on) { keysSelect_ = on; }
    bool rangeSelected() const { return rangeSelected_; }

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void followDataSet();
    // Copies the cells of the rows and columns that the selection takes
    // (every cell when it is empty), in steps under the wait window.
    bool copyCells(std::vector<std::pair<int, int>> rowRanges, std::vector<int> columns,
                   const QItemSelection &selection, bool waitForAll);
    void watchSelection();

    DataSetModel *model_ = nullptr;
    DrawHook drawHook_;
    QHash<QString, int> userWidths_;
    bool layingOut_ = false; // the columns are sized by the grid, not the user
    bool syncing_ = false;
    bool keysSelect_ = true;
    bool rangeSelected_ = false;
    QAction *copyAction_ = nullptr;
    QAction *copyAllAction_ = nullptr;
    RowHint rowHint_;
};
