#include "exports/export_rows.h"

#include "db/store_wait.h"

#include <QElapsedTimer>

std::vector<ExportColumn> ExportColumns(const DbDataSet &rows)
{
    std::vector<ExportColumn> columns;
    for (int i = 0; i < rows.fieldCount(); ++i) {
        const DbField *f = rows.field(i);
        if (!f->isVisible() || f->name().toUpper() == QLatin1String("INFO"))
            continue;
        columns.push_back({i, f->name(), f->displayLabel(), f->kind(), f->displayWidth()});
    }
    return columns;
}

ExportRowReader::ExportRowReader(DbDataSet &rows) : rows_(rows), columns_(ExportColumns(rows)) {}

bool ExportRowReader::next()
{
    if (!rows_.isOpen())
        return false;
    const int wanted = row_ + 1;
    if (wanted >= rows_.fetchedCount() && !rows_.isAllFetched())
        rows_.fetchRows(kFetchBatch);
    if (wanted >= rows_.fetchedCount()) {
        complete_ = rows_.isAllFetched();
        return false;
    }
    row_ = wanted;
    return true;
}

int ExportRowReader::total() const
{
    return rows_.isOpen() && rows_.isAllFetched() ? rows_.fetchedCount() : -1;
}

QString ExportRowReader::text(int k) const
{
    return rows_.plainText(columns_[std::size_t(k)].field, row_);
}

QVariant ExportRowReader::value(int k) const
{
    return rows_.valueAt(columns_[std::size_t(k)].field, row_);
}

bool ForEachExportRow(ExportRowReader &reader, const std::function<void()> &row,
                      const std::function<QString()> &progress, const LongWorkRunner &run)
{
    bool more = true;
    const auto step = [&] {
        QElapsedTimer clock;
        clock.start();
        while ((more = reader.next())) {
            row();
            if (clock.elapsed() >= kExportStepMs)
                break;
        }
        return more;
    };
    const bool finished = run ? run(step, progress) : RunLongWork(step, progress);
    return finished && !more && reader.complete();
}

QString RowsWrittenText(int written, int total)
{
    if (total < 0)
        return QStringLiteral("Записано строк: %1").arg(written);
    return QStringLiteral("Записано строк: %1 из %2").arg(written).arg(total);
}
