#include "widgets/string_grid.h"

#include "support/grid_layout_file.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kResizeMargin = 3;

// Draws fixed cells like headers.
class FixedCellDelegate : public QStyledItemDelegate {
public:
    explicit FixedCellDelegate(StringGrid *grid) : QStyledItemDelegate(grid), grid_(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (grid_->isFixed(index.column(), index.row())) {
            option->backgroundBrush = grid_->palette().button();
            option->palette.setColor(QPalette::Text, grid_->palette().buttonText().color());
            option->state &= ~QStyle::State_Selected;
        }
    }

private:
    StringGrid *grid_;
};

} // namespace

// The texts of the grid, row by row; an editor writes back through setData.
class StringGridModel : public QAbstractTableModel {
public:
    explicit StringGridModel(QObject *parent) : QAbstractTableModel(parent) {}

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(rows_.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : cols_;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
            return QVariant();
        return text(index.column(), index.row());
    }
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (!index.isValid() || role != Qt::EditRole)
            return false;
        setText(index.column(), index.row(), value.toString());
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
    }

    QString text(int col, int row) const
    {
        if (row < 0 || col < 0 || row >= int(rows_.size()) || col >= cols_)
            return QString();
        return rows_[std::size_t(row)][std::size_t(col)];
    }
    void setText(int col, int row, const QString &text)
    {
        if (row < 0 || col < 0 || row >= int(rows_.size()) || col >= cols_)
            return;
        QString &cell = rows_[std::size_t(row)][std::size_t(col)];
        if (cell == text)
            return;
        cell = text;
        const QModelIndex i = index(row, col);
        emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
    }
    void setCols(int count)
    {
        count = std::max(0, count);
        if (count == cols_)
            return;
        if (count > cols_) {
            beginInsertColumns(QModelIndex(), cols_, count - 1);
            for (auto &row : rows_)
                row.resize(std::size_t(count));
            cols_ = count;
            endInsertColumns();
        } else {
            beginRemoveColumns(QModelIndex(), count, cols_ - 1);
            for (auto &row : rows_)
                row.resize(std::size_t(count));
            cols_ = count;
            endRemoveColumns();
        }
    }
    void setRows(int count)
    {
        count = std::max(0, count);
        const int n = int(rows_.size());
        if (count == n)
            return;
        if (count > n) {
            beginInsertRows(QModelIndex(), n, count - 1);
            rows_.resize(std::size_t(count), std::vector<QString>(std::size_t(cols_)));
            endInsertRows();
        } else {
            beginRemoveRows(QModelIndex(), count, n - 1);
            rows_.resize(std::size_t(count));
            endRemoveRows();
        }
    }

private:
    int cols_ = 0;
    std::vector<std::vector<QString>> rows_;
};

StringGrid::StringGrid(QWidget *parent)
    : QTableView(parent), cells_(new StringGridModel(this)),
      fontName_(QString::fromLatin1(GridLayout::kDefaultFontName)), fontSize_(GridLayout::kDefaultFontSize)
{
    setModel(cells_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setShowGrid(true);
    setWordWrap(false);
    setItemDelegate(new FixedCellDelegate(this));
    setMouseTracking(true);
    setEditable(false);
    applyFont();
    connect(this, &QAbstractItemView::clicked, this,
            [this](const QModelIndex &i) { emit cellClicked(i.column(), i.row()); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex &i) { emit cellDoubleClicked(i.column(), i.row()); });
}

int StringGrid::colCount() const
{
    return cells_->columnCount();
}

void StringGrid::setColCount(int count)
{
    cells_->setCols(count);
}

int StringGrid::rowCount() const
{
    return cells_->rowCount();
}

void StringGrid::setRowCount(int count)
{
    cells_->setRows(count);
}

void StringGrid::setFixedCols(int count)
{
    fixedCols_ = std::max(0, count);
    viewport()->update();
}

void StringGrid::setFixedRows(int count)
{
    fixedRows_ = std::max(0, count);
    viewport()->update();
}

int StringGrid::defaultRowHeight() const
{
    return verticalHeader()->defaultSectionSize();
}

void StringGrid::setDefaultRowHeight(int height)
{
    verticalHeader()->setDefaultSectionSize(std::max(1, height));
}

QString StringGrid::cell(int col, int row) const
{
    return cells_->text(col, row);
}

void StringGrid::setCell(int col, int row, const QString &text)
{
    cells_->setText(col, row, text);
}

int StringGrid::currentCol() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.column() : -1;
}

int StringGrid::currentRow() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void StringGrid::setCurrentCell(int col, int row)
{
    setCurrentIndex(cells_->index(row, col));
}

QStringList StringGrid::rowTexts(int row) const
{
    QStringList out;
    for (int c = 0; c < colCount(); ++c)
        out.append(cell(c, row));
    return out;
}

void StringGrid::setRowTexts(int row, const QStringList &texts)
{
    const int n = std::min<int>(colCount(), int(texts.size()));
    for (int c = 0; c < n; ++c)
        setCell(c, row, texts[c]);
}

QStringList StringGrid::colTexts(int col) const
{
    QStringList out;
    for (int r = 0; r < rowCount(); ++r)
        out.append(cell(col, r));
    return out;
}

void StringGrid::setColTexts(int col, const QStringList &texts)
{
    const int n = std::min<int>(rowCount(), int(texts.size()));
    for (int r = 0; r < n; ++r)
        setCell(col, r, texts[r]);
}

void StringGrid::clearRow(int row)
{
    for (int c = 0; c < colCount(); ++c)
        setCell(c, row, QString());
}

void StringGrid::setFontName(const QString &name)
{
    fontName_ = name;
    applyFont();
}

void StringGrid::setFontSize(int points)
{
    fontSize_ = points;
    applyFont();
}

void StringGrid::applyFont()
{
    QFont f(fontName_);
    if (fontSize_ > 0)
        f.setPointSize(fontSize_);
    setFont(f);
}

int StringGrid::textWidth(const QString &text) const
{
    return fontMetrics().horizontalAdvance(text);
}

int StringGrid::textHeight(const QString &) const
{
    return fontMetrics().height();
}

void StringGrid::setEditable(bool editable)
{
    editable_ = editable;
    setEditTriggers(editable ? (QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                | QAbstractItemView::AnyKeyPressed)
                             : QAbstractItemView::NoEditTriggers);
}

bool StringGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (index.isValid() && isFixed(index.column(), index.row()))
        return false;
    return QTableView::edit(index, trigger, event);
}

void StringGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // Fixed cells never become current: move into the data area instead.
    if (current.isValid() && isFixed(current.column(), current.row())) {
        const int row = std::max(current.row(), fixedRows_);
        const int col = std::max(current.column(), fixedCols_);
        if (row < rowCount() && col < colCount()) {
            setCurrentCell(col, row);
            return;
        }
    }
    QTableView::currentChanged(current, previous);
    if (current != previous)
        emit currentCellChanged(current.isValid() ? current.column() : -1, current.isValid() ? current.row() : -1,
                                previous.isValid() ? previous.column() : -1, previous.isValid() ? previous.row() : -1);
}

int StringGrid::resizeHandleAt(const QPoint &pos) const
{
    for (int c = 0; c < colCount(); ++c) {
        const int right = columnViewportPosition(c) + columnWidth(c);
        if (std::abs(pos.x() - right) <= kResizeMargin)
            return c;
    }
    return -1;
}

void StringGrid::mousePressEvent(QMouseEvent *event)
{
    const int col = event->button() == Qt::LeftButton ? resizeHandleAt(event->position().toPoint()) : -1;
    if (col >= 0) {
        resizingCol_ = col;
        resizeStartX_ = event->position().toPoint().x();
        resizeStartWidth_ = columnWidth(col);
        event->accept();
        return;
    }
    // A click on a fixed cell leaves the current cell where it is.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && isFixed(index.column(), index.row())) {
        setFocus(Qt::MouseFocusReason);
        emit cellClicked(index.column(), index.row());
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() && event->button() == Qt::LeftButton) {
        emit cellDoubleClicked(-1, -1);
        event->accept();
        return;
    }
    if (index.isValid() && isFixed(index.column(), index.row())) {
        emit cellDoubleClicked(index.column(), index.row());
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
}

void StringGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (resizingCol_ >= 0) {
        setColumnWidth(resizingCol_, std::max(1, resizeStartWidth_ + pos.x() - resizeStartX_));
        event->accept();
        return;
    }
    viewport()->setCursor(resizeHandleAt(pos) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
    QTableView::mouseMoveEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (resizingCol_ >= 0) {
        resizingCol_ = -1;
        event->accept();
        return;
    }
    QTableView::mouseReleaseEvent(event);
}
