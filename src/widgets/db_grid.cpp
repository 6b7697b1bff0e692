#include "widgets/db_grid.h"

#include "db/dataset_model.h"
#include "db/db_dataset.h"
#include "support/app_error.h"
#include "support/grid_layout_file.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
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

} // namespace

DbGrid::DbGrid(QWidget *parent) : QTableView(parent)
{
    // Every grid's font, as the grid layout files record it.
    QFont f(QString::fromLatin1(GridLayout::kDefaultFontName));
    f.setPointSize(GridLayout::kDefaultFontSize);
    setFont(f);
    setItemDelegate(new DrawHookDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (layingOut_ || !model_)
            return;
        if (const DbField *field = dataSet() ? dataSet()->field(model_->fieldIndex(column)) : nullptr)
            userWidths_.insert(field->name(), width);
    });
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

void DbGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
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
