#include "support/string_grid.h"

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

StringGrid::StringGrid(QWidget *parent) : QTableWidget(parent), fontName_(kDefaultFontName)
{
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
}

void StringGrid::setColCount(int count)
{
    QTableWidget::setColumnCount(std::max(0, count));
}

void StringGrid::setRowCount(int count)
{
    QTableWidget::setRowCount(std::max(0, count));
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
    const QTableWidgetItem *it = item(row, col);
    return it ? it->text() : QString();
}

void StringGrid::setCell(int col, int row, const QString &text)
{
    if (col < 0 || row < 0 || col >= columnCount() || row >= rowCount())
        return;
    if (QTableWidgetItem *it = item(row, col)) {
        it->setText(text);
    } else if (!text.isEmpty()) {
        setItem(row, col, new QTableWidgetItem(text));
    }
}

QStringList StringGrid::rowTexts(int row) const
{
    QStringList out;
    for (int c = 0; c < columnCount(); ++c)
        out.append(cell(c, row));
    return out;
}

void StringGrid::setRowTexts(int row, const QStringList &texts)
{
    const int n = std::min<int>(columnCount(), int(texts.size()));
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
    for (int c = 0; c < columnCount(); ++c)
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
    return QTableWidget::edit(index, trigger, event);
}

void StringGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // Fixed cells never become current: move into the data area instead.
    if (current.isValid() && isFixed(current.column(), current.row())) {
        const int row = std::max(current.row(), fixedRows_);
        const int col = std::max(current.column(), fixedCols_);
        if (row < rowCount() && col < columnCount()) {
            setCurrentCell(row, col);
            return;
        }
    }
    QTableWidget::currentChanged(current, previous);
}

int StringGrid::resizeHandleAt(const QPoint &pos) const
{
    for (int c = 0; c < columnCount(); ++c) {
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
        emit cellClicked(index.row(), index.column());
        event->accept();
        return;
    }
    QTableWidget::mousePressEvent(event);
}

void StringGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && isFixed(index.column(), index.row())) {
        emit cellDoubleClicked(index.row(), index.column());
        event->accept();
        return;
    }
    QTableWidget::mouseDoubleClickEvent(event);
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
    QTableWidget::mouseMoveEvent(event);
}

void StringGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (resizingCol_ >= 0) {
        resizingCol_ = -1;
        event->accept();
        return;
    }
    QTableWidget::mouseReleaseEvent(event);
}
