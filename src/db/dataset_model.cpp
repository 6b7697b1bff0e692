#include "db/dataset_model.h"

#include "db/db_dataset.h"

#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

DataSetModel::DataSetModel(DbDataSet *dataSet, QObject *parent) : QAbstractTableModel(parent), dataSet_(dataSet)
{
    connect(dataSet, &DbDataSet::afterOpen, this, &DataSetModel::rebuild);
    connect(dataSet, &DbDataSet::afterClose, this, &DataSetModel::rebuild);
    connect(dataSet, &DbDataSet::rowsFetched, this, &DataSetModel::onRowsFetched);
    connect(dataSet, &DbDataSet::afterScroll, this, &DataSetModel::onDataSetScrolled);
    rebuild();
}

void DataSetModel::rebuild()
{
    beginResetModel();
    lookRow_ = -1;
    columns_.clear();
    for (int i = 0; dataSet_ && i < dataSet_->fieldCount(); ++i)
        if (dataSet_->field(i)->isVisible())
            columns_.push_back(i);
    rows_ = dataSet_ && dataSet_->isOpen() ? dataSet_->fetchedCount() : 0;
    endResetModel();
    applyColumnWidths();
    onDataSetScrolled();
}

void DataSetModel::onRowsFetched(int firstRow, int lastRow)
{
    Q_UNUSED(firstRow);
    if (lastRow < rows_)
        return;
    beginInsertRows(QModelIndex(), rows_, lastRow);
    rows_ = lastRow + 1;
    endInsertRows();
}

int DataSetModel::fieldIndex(int column) const
{
    return column >= 0 && column < int(columns_.size()) ? columns_[std::size_t(column)] : -1;
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!dataSet_ || !index.isValid() || index.row() >= rows_)
        return QVariant();
    const int f = fieldIndex(index.column());
    const DbField *field = dataSet_->field(f);
    if (!field)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        if (field->kind() == FieldKind::Memo) // read only when opened in full
            return dataSet_->isNullAt(f, index.row()) ? QStringLiteral("(memo)") : QStringLiteral("(MEMO)");
        return dataSet_->text(f, index.row());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(field->alignment() | Qt::AlignVCenter);
    case Qt::ForegroundRole:
    case Qt::BackgroundRole:
    case Qt::FontRole: {
        if (!lookHook_)
            return QVariant();
        if (lookRow_ != index.row()) {
            look_ = lookHook_(index.row());
            lookRow_ = index.row();
        }
        const CellLook &look = look_;
        if (role == Qt::ForegroundRole)
            return look.foreground ? QVariant(*look.foreground) : QVariant();
        if (role == Qt::BackgroundRole)
            return look.background ? QVariant(*look.background) : QVariant();
        if (!look.bold && !look.italic)
            return QVariant();
        QFont font = view_ ? view_->font() : QFont();
        font.setBold(look.bold);
        font.setItalic(look.italic);
        return font;
    }
    default:
        return QVariant();
    }
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || !dataSet_)
        return QAbstractTableModel::headerData(section, orientation, role);
    const DbField *field = dataSet_->field(fieldIndex(section));
    return field ? field->displayLabel() : QVariant();
}

bool DataSetModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && dataSet_ && dataSet_->isOpen() && !dataSet_->isAllFetched();
}

void DataSetModel::fetchMore(const QModelIndex &parent)
{
    if (canFetchMore(parent))
        dataSet_->fetchRows(kFetchBatch);
}

void DataSetModel::attachView(QTableView *view)
{
    view_ = view;
    view->setModel(this);
    connect(view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { onViewRowChanged(current); });
    applyColumnWidths();
    onDataSetScrolled();
}

void DataSetModel::applyColumnWidths()
{
    if (!view_ || !dataSet_)
        return;
    // Display widths count characters as wide as a digit, as the dates and
    // numbers of the grid need.
    const QFontMetrics fm = view_->fontMetrics();
    const int charWidth = std::max(fm.averageCharWidth(), fm.horizontalAdvance(QChar('0')));
    for (int c = 0; c < int(columns_.size()); ++c)
        view_->setColumnWidth(c, dataSet_->field(columns_[std::size_t(c)])->displayWidth() * charWidth + 6);
}

void DataSetModel::onViewRowChanged(const QModelIndex &current)
{
    if (syncing_ || !dataSet_ || !current.isValid())
        return;
    syncing_ = true;
    dataSet_->setCurrentRow(current.row());
    syncing_ = false;
}

void DataSetModel::onDataSetScrolled()
{
    if (syncing_ || !view_ || !dataSet_ || !dataSet_->isOpen())
        return;
    const int row = dataSet_->currentRow();
    if (row < 0 || row >= rows_ || view_->currentIndex().row() == row)
        return;
    syncing_ = true;
    const int column = std::max(0, view_->currentIndex().column());
    view_->setCurrentIndex(index(row, std::min(column, std::max(0, columnCount() - 1))));
    syncing_ = false;
}
