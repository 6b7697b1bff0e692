#include "db/dataset_model.h"

#include "db/db_dataset.h"
#include "support/app_error.h"

DataSetModel::DataSetModel(DbDataSet *dataSet, QObject *parent) : QAbstractTableModel(parent), dataSet_(dataSet)
{
    connect(dataSet, &DbDataSet::afterOpen, this, &DataSetModel::rebuild);
    connect(dataSet, &DbDataSet::afterClose, this, &DataSetModel::rebuild);
    connect(dataSet, &DbDataSet::rowsFetched, this, &DataSetModel::onRowsFetched);
    rebuild();
}

void DataSetModel::rebuild()
{
    beginResetModel();
    errorReported_ = false;
    columns_.clear();
    for (int i = 0; dataSet_ && i < dataSet_->fieldCount(); ++i)
        if (dataSet_->field(i)->isVisible())
            columns_.push_back(i);
    rows_ = dataSet_ && dataSet_->isOpen() ? dataSet_->fetchedCount() : 0;
    endResetModel();
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
    try {
        return cellData(index, role);
    } catch (...) {
        reportLater(std::current_exception());
        return QVariant();
    }
}

void DataSetModel::reportLater(std::exception_ptr error) const
{
    // A message box opened while a view paints would paint again and fail
    // again: one report, after the painting, until the row set reopens.
    if (errorReported_)
        return;
    errorReported_ = true;
    QMetaObject::invokeMethod(
        const_cast<DataSetModel *>(this),
        [error] { ReportingErrors([&] { std::rethrow_exception(error); }); },
        Qt::QueuedConnection);
}

QVariant DataSetModel::cellData(const QModelIndex &index, int role) const
{
    if (!dataSet_ || !index.isValid() || index.row() >= rows_)
        return QVariant();
    const int f = fieldIndex(index.column());
    const DbField *field = dataSet_->field(f);
    if (!field)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        // A text blob is read only when opened in full: never while painting.
        if (field->kind() == FieldKind::Memo || dataSet_->isBlob(f))
            return dataSet_->isNullAt(f, index.row()) ? QStringLiteral("(memo)") : QStringLiteral("(MEMO)");
        return dataSet_->text(f, index.row());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(field->alignment() | Qt::AlignVCenter);
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
    return !parent.isValid() && dataSet_ && dataSet_->isOpen() && !dataSet_->isAllFetched() &&
           !dataSet_->fetchFailed() && !dataSet_->isFetching();
}

void DataSetModel::fetchMore(const QModelIndex &parent)
{
    // Called from the view's own layout code: the rows are asked for and
    // come later (the view paints what it has meanwhile); an error is
    // reported after the layout.
    if (!canFetchMore(parent))
        return;
    try {
        dataSet_->requestRows(kFetchBatch);
    } catch (...) {
        reportLater(std::current_exception());
    }
}
