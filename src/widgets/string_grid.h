#pragma once
// A grid of texts with fixed rows and columns. Fixed rows come first and fixed
// columns leftmost; they are ordinary cells drawn like headers (grey, not
// editable, never current), so row 0 holds the column titles of a grid with a
// fixed row. Every cell is addressed as (column, row), both from 0.

#include <QTableView>

class StringGridModel;

class StringGrid : public QTableView {
    Q_OBJECT
public:
    explicit StringGrid(QWidget *parent = nullptr);

    int colCount() const;
    void setColCount(int count);
    int rowCount() const;
    void setRowCount(int count);
    int fixedCols() const { return fixedCols_; }
    void setFixedCols(int count);
    int fixedRows() const { return fixedRows_; }
    void setFixedRows(int count);
    bool isFixed(int col, int row) const { return col < fixedCols_ || row < fixedRows_; }

    int defaultRowHeight() const;
    void setDefaultRowHeight(int height);
    int colWidth(int col) const { return columnWidth(col); }
    void setColWidth(int col, int width) { setColumnWidth(col, width); }

    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);
    QStringList rowTexts(int row) const;
    void setRowTexts(int row, const QStringList &texts);
    QStringList colTexts(int col) const;
    void setColTexts(int col, const QStringList &texts);
    void clearRow(int row);

    // The current cell; -1 when there is none.
    int currentCol() const;
    int currentRow() const;
    void setCurrentCell(int col, int row);

    QString fontName() const { return fontName_; }
    void setFontName(const QString &name);
    int fontSize() const { return fontSize_; }
    void setFontSize(int points);
    int textWidth(const QString &text) const;
    int textHeight(const QString &text) const;

    bool isEditable() const { return editable_; }
    void setEditable(bool editable);

signals:
    void cellClicked(int col, int row);
    // Also for a double click beside the cells, with col and row -1.
    void cellDoubleClicked(int col, int row);
    void currentCellChanged(int col, int row, int previousCol, int previousRow);

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void applyFont();
    // The column whose right edge is under x, or -1.
    int resizeHandleAt(const QPoint &pos) const;

    StringGridModel *cells_;
    int fixedCols_ = 0;
    int fixedRows_ = 0;
    QString fontName_;
    int fontSize_;
    bool editable_ = false;
    int resizingCol_ = -1;
    int resizeStartX_ = 0;
    int resizeStartWidth_ = 0;
};
