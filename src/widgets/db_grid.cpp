#include "widgets/db_grid.h"

#include "db/dataset_model.h"
#include "db/db_dataset.h"
#include "support/app_error.h"
#include "support/grid_layout_file.h"

#include <QAction>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>

namespace {

// Hands every data cell to the grid's draw hook.
class DrawHookDelegate : public QStyledItemDelegate {
public:
    explicit DrawHookDelegate(DbGrid *grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const DbGrid::DrawHook &hook = grid_->drawDataCell();
        if (!hook) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        DbGridCell cell;
        cell.rect = option.rect;
        cell.fieldIndex = grid_->dataModel() ? grid_->dataModel()->fieldIndex(index.column()) : -1;
        cell.field = grid_->dataSet() ? grid_->dataSet()->field(cell.fieldIndex) : nullptr;
        cell.row = index.row();
        cell.selected = option.state.testFlag(QStyle::State_Selected);
        cell.focused = option.state.testFlag(QStyle::State_HasFocus);
        cell.inRange = cell.selected && grid_->rangeSelected();
        cell.font = option.font;
        bool drawn = false;
        cell.drawDefault = [&] {
            QStyleOptionViewItem o = option;
            o.font = cell.font;
            o.fontMetrics = QFontMetrics(cell.font);
            if (cell.textColor) {
                o.palette.setColor(QPalette::Text, *cell.textColor);
                o.palette.setColor(QPalette::HighlightedText, *cell.textColor);
            }
            // The background goes in where the delegate fills in the
            // option, after the model's own settings.
            pendingBackground_ = cell.background ? &*cell.background : nullptr;
            QStyledItemDelegate::paint(painter, o, index);
            pendingBackground_ = nullptr;
            drawn = true;
        };
        try {
            hook(cell);
        } catch (...) {
            if (grid_->dataModel())
                grid_->dataModel()->reportLater(std::current_exception());
        }
        if (!drawn)
            QStyledItemDelegate::paint(painter, option, index);
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (pendingBackground_) {
            option->backgroundBrush = *pendingBackground_;
            option->palette.setBrush(QPalette::Highlight, *pendingBackground_);
        }
    }

private:
    DbGrid *grid_;
    mutable const QBrush *pendingBackground_ = nullptr;
};

// The indicator column at the left of the rows: a click selects the row (a
// drag or Shift more rows), and the current row carries a small triangle.
class RowIndicator : public QHeaderView {
public:
    static constexpr int kWidth = 12;

    explicit RowIndicator(QTableView *view) : QHeaderView(Qt::Vertical, view), view_(view)
    {
        setSectionsClickable(true);
        setHighlightSections(true);
    }

    QSize sizeHint() const override { return QSize(kWidth, QHeaderView::sizeHint().height()); }

protected:
    // The rows are of fixed height, so the whole of a row's indicator takes
    // the click (the header would leave the strips along the row's edges to
    // resizing, which fixed rows never do): a press selects the row, Shift
    // and Ctrl as in the grid, a drag more rows.
    void mousePressEvent(QMouseEvent *e) override
    {
        const int row = logicalIndexAt(e->position().toPoint().y());
        if (e->button() != Qt::LeftButton || row < 0)
            return QHeaderView::mousePressEvent(e);
        dragFrom_ = row;
        emit sectionPressed(row);
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        const int row = logicalIndexAt(e->position().toPoint().y());
        if (dragFrom_ < 0 || !(e->buttons() & Qt::LeftButton) || row < 0)
            return QHeaderView::mouseMoveEvent(e);
        if (row != lastEntered_) {
            lastEntered_ = row;
            emit sectionEntered(row);
        }
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        if (dragFrom_ < 0)
            return QHeaderView::mouseReleaseEvent(e);
        dragFrom_ = lastEntered_ = -1;
    }

    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        QStyleOptionHeader opt;
        initStyleOption(&opt);
        opt.rect = rect;
        opt.section = logicalIndex;
        opt.text.clear();
        opt.position = QStyleOptionHeader::Middle;
        style()->drawControl(QStyle::CE_Header, &opt, painter, this);
        if (view_->currentIndex().row() != logicalIndex)
            return;
        painter->save();
        painter->setClipRect(rect);
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(opt.palette.color(QPalette::ButtonText));
        const QPointF c = QRectF(rect).center();
        const QPointF triangle[] = {{c.x() - 2.5, c.y() - 4}, {c.x() + 2.5, c.y()}, {c.x() - 2.5, c.y() + 4}};
        painter->drawPolygon(triangle, 3);
        painter->restore();
    }

private:
    QTableView *view_;
    int dragFrom_ = -1;
    int lastEntered_ = -1;
};

} // namespace

DbGrid::DbGrid(QWidget *parent) : QTableView(parent)
{
    // Every grid's font, as the grid layout files record it.
    QFont f(QString::fromLatin1(GridLayout::kDefaultFontName));
    f.setPointSize(GridLayout::kDefaultFontSize);
    setFont(f);
    setItemDelegate(new DrawHookDelegate(this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setVerticalHeader(new RowIndicator(this));
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (layingOut_ || !model_)
            return;
        if (const DbField *field = dataSet() ? dataSet()->field(model_->fieldIndex(column)) : nullptr)
            userWidths_.insert(field->name(), width);
    });

    copyAction_ = new QAction(QStringLiteral("Копировать"), this);
    copyAction_->setObjectName(QStringLiteral("copyAction"));
    copyAction_->setShortcut(QKeySequence::Copy);
    copyAction_->setShortcutContext(Qt::WidgetShortcut);
    connect(copyAction_, &QAction::triggered, this, [this] { ReportingErrors([this] { copySelection(); }); });
    copyAllAction_ = new QAction(QStringLiteral("Копировать всё"), this);
    copyAllAction_->setObjectName(QStringLiteral("copyAllAction"));
    copyAllAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copyAllAction_->setShortcutContext(Qt::WidgetShortcut);
    connect(copyAllAction_, &QAction::triggered, this, [this] { ReportingErrors([this] { copyAll(); }); });
    addAction(copyAction_);
    addAction(copyAllAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

DbGrid::~DbGrid() = default;

void DbGrid::setDataSet(DbDataSet *dataSet)
{
    layingOut_ = true;
    delete model_;
    model_ = dataSet ? new DataSetModel(dataSet, this) : nullptr;
    // A grid shows its first screen as soon as the row set opens.
    if (dataSet)
        dataSet->setFirstFetch(DataSetModel::kFetchBatch);
    setModel(model_);
    layingOut_ = false;
    watchSelection();
    if (!model_)
        return;
    // The header lays its sections out anew while the model resets.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { layingOut_ = true; });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnWidths();
        followDataSet();
    });
    connect(dataSet, &DbDataSet::afterScroll, this, &DbGrid::followDataSet);
    applyColumnWidths();
    followDataSet();
}

DbDataSet *DbGrid::dataSet() const
{
    return model_ ? model_->dataSet() : nullptr;
}

void DbGrid::setDrawDataCell(DrawHook hook)
{
    drawHook_ = std::move(hook);
    viewport()->update();
}

int DbGrid::selectedField() const
{
    const QModelIndex current = currentIndex();
    return model_ && current.isValid() ? model_->fieldIndex(current.column()) : -1;
}

void DbGrid::setUserColumnWidths(const QHash<QString, int> &widths)
{
    userWidths_ = widths;
    applyColumnWidths();
}

void DbGrid::applyColumnWidths()
{
    // Ends the layout a model reset began, too.
    DbDataSet *ds = dataSet();
    layingOut_ = ds != nullptr;
    if (!ds)
        return;
    // Display widths count characters as wide as a bold digit, so that the
    // dates and numbers of a grid stay whole also in rows drawn in bold.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const int charWidth = std::max(fontMetrics().averageCharWidth(), fm.horizontalAdvance(QChar('0')));
    // A column is never narrower than its title.
    const QFontMetrics header(horizontalHeader()->font());
    for (int c = 0; c < model_->columnCount(); ++c) {
        const DbField *f = ds->field(model_->fieldIndex(c));
        const int width = std::max(f->displayWidth() * charWidth + 6, header.horizontalAdvance(f->displayLabel()) + 12);
        setColumnWidth(c, userWidths_.value(f->name(), width));
    }
    layingOut_ = false;
}

void DbGrid::watchSelection()
{
    rangeSelected_ = false;
    if (!selectionModel())
        return;
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QItemSelection s = selectionModel()->selection();
        const bool range = s.size() > 1 || (s.size() == 1 && (s[0].width() > 1 || s[0].height() > 1));
        if (range != rangeSelected_) {
            rangeSelected_ = range;
            viewport()->update();
        }
    });
}

QItemSelectionModel::SelectionFlags DbGrid::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    if (!keysSelect_) {
        // Moves of the current cell by the keys or by the row set leave the
        // selection alone; with Shift or Ctrl the keys select as usual.
        const bool plainKey = event && event->type() == QEvent::KeyPress &&
                              !(static_cast<const QKeyEvent *>(event)->modifiers() &
                                (Qt::ShiftModifier | Qt::ControlModifier));
        if (!event || plainKey)
            return QItemSelectionModel::NoUpdate;
    }
    return QTableView::selectionCommand(index, event);
}

bool DbGrid::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && rowHint_) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = indexAt(help->pos());
        QString hint;
        if (index.isValid())
            ReportingErrors([&] { hint = rowHint_(index.row()); });
        if (!hint.isEmpty()) {
            if (!toolTip().isEmpty())
                hint += QChar('\n') + toolTip();
            QToolTip::showText(help->globalPos(), hint, viewport(), visualRect(index));
            return true;
        }
    }
    return QTableView::viewportEvent(event);
}

void DbGrid::keyPressEvent(QKeyEvent *event)
{
    // The view's own Ctrl+C copies one cell: the grid copies the selection.
    if (event == QKeySequence::Copy) {
        ReportingErrors([this] { copySelection(); });
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DbGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.row() != previous.row())
        verticalHeader()->viewport()->update();
    DbDataSet *ds = dataSet();
    if (syncing_ || !ds || !current.isValid() || current.row() == previous.row())
        return;
    syncing_ = true;
    ReportingErrors([&] { ds->setCurrentRow(current.row()); });
    syncing_ = false;
}

void DbGrid::followDataSet()
{
    DbDataSet *ds = dataSet();
    if (syncing_ || !ds || !ds->isOpen())
        return;
    const int row = ds->currentRow();
    if (row < 0 || row >= model_->rowCount() || currentIndex().row() == row)
        return;
    syncing_ = true;
    const int column = std::clamp(currentIndex().column(), 0, std::max(0, model_->columnCount() - 1));
    setCurrentIndex(model_->index(row, column));
    syncing_ = false;
}
