// Copying from a data grid: the selection, or every row of the result.

#include "widgets/db_grid.h"

#include "db/dataset_model.h"
#include "db/db_dataset.h"
#include "db/store_wait.h"
#include "support/app_error.h"
#include "widgets/grid_copy.h"
#include "widgets/rows_coming.h"

#include <QElapsedTimer>
#include <algorithm>
#include <set>

namespace {

// How long one step of copying may hold the window's thread.
constexpr int kCopyStepMs = 30;

// Sorted, overlapping and touching ranges joined.
std::vector<std::pair<int, int>> joined(std::vector<std::pair<int, int>> ranges)
{
    std::sort(ranges.begin(), ranges.end());
    std::vector<std::pair<int, int>> out;
    for (const auto &r : ranges) {
        if (!out.empty() && r.first <= out.back().second + 1)
            out.back().second = std::max(out.back().second, r.second);
        else
            out.push_back(r);
    }
    return out;
}

} // namespace

bool DbGrid::copySelection()
{
    if (!model_ || !dataSet() || !dataSet()->isOpen())
        return false;
    QItemSelection selection = selectionModel() ? selectionModel()->selection() : QItemSelection();
    if (selection.isEmpty()) {
        const QModelIndex current = currentIndex();
        if (!current.isValid())
            return false;
        selection.select(current, current);
    }
    std::vector<std::pair<int, int>> rows;
    std::set<int> columns;
    for (const QItemSelectionRange &r : selection) {
        rows.emplace_back(r.top(), r.bottom());
        for (int c = r.left(); c <= r.right(); ++c)
            columns.insert(c);
    }
    // A selection that is one rectangle takes every cell of its rows and
    // columns: no cell needs asking.
    const bool rectangle = selection.size() == 1;
    return copyCells(joined(std::move(rows)), std::vector<int>(columns.begin(), columns.end()),
                     rectangle ? QItemSelection() : selection, false);
}

bool DbGrid::copyAll()
{
    if (!model_ || !dataSet() || !dataSet()->isOpen())
        return false;
    std::vector<int> columns(std::size_t(model_->columnCount()));
    for (std::size_t c = 0; c < columns.size(); ++c)
        columns[c] = int(c);
    return copyCells({}, std::move(columns), QItemSelection(), true);
}

bool DbGrid::copyCells(std::vector<std::pair<int, int>> rowRanges, std::vector<int> columns,
                       const QItemSelection &selection, bool waitForAll)
{
    DbDataSet *ds = dataSet();
    QList<CopyColumn> titles;
    for (int c : columns) {
        const DbField *f = ds->field(model_->fieldIndex(c));
        titles << CopyColumn{f ? f->displayLabel() : QString(), !f || f->kind() == FieldKind::Text};
    }
    auto rowsIn = [](const std::vector<std::pair<int, int>> &ranges) {
        long long n = 0;
        for (const auto &r : ranges)
            n += r.second - r.first + 1;
        return n;
    };
    bool fetching = waitForAll;
    long long total = rowsIn(rowRanges);
    long long copied = 0;
    std::size_t range = 0;
    int row = rowRanges.empty() ? 0 : rowRanges.front().first;
    // One cell is its text alone; more are a table with a title line.
    const bool oneCell = !waitForAll && total == 1 && columns.size() == 1;
    bool withHtml = true;
    QString text;
    QString html;
    auto begin = [&] {
        withHtml = total <= kHtmlCopyRowLimit;
        if (!oneCell) {
            QStringList line;
            for (const CopyColumn &t : titles)
                line << t.title;
            text = TabSeparatedLine(line);
        }
        if (withHtml)
            html = HtmlTableHead(titles, !oneCell);
    };
    if (!fetching)
        begin();

    auto step = [&]() -> bool {
        if (fetching) {
            if (AwaitMoreRows(*ds))
                return true;
            if (ds->fetchFailed())
                throw AppError(QStringLiteral("Не все строки результата удалось получить из базы данных, "
                                              "поэтому скопировать всё нельзя."));
            fetching = false;
            const int rows = model_->rowCount();
            rowRanges = rows > 0 ? std::vector<std::pair<int, int>>{{0, rows - 1}} : std::vector<std::pair<int, int>>{};
            row = 0;
            total = rowsIn(rowRanges);
            begin();
        }
        QElapsedTimer timer;
        timer.start();
        while (range < rowRanges.size()) {
            if (timer.elapsed() >= kCopyStepMs)
                return true;
            QStringList cells;
            cells.reserve(qsizetype(columns.size()));
            for (int c : columns) {
                const QModelIndex index = model_->index(row, c);
                const bool taken = selection.isEmpty() || selection.contains(index);
                cells << (taken ? model_->data(index, Qt::DisplayRole).toString() : QString());
            }
            if (oneCell) {
                text = cells.value(0);
            } else {
                text += QChar('\n');
                text += TabSeparatedLine(cells);
            }
            if (withHtml)
                html += HtmlTableRow(cells, titles);
            ++copied;
            if (++row > rowRanges[range].second && ++range < rowRanges.size())
                row = rowRanges[range].first;
        }
        return false;
    };
    auto progress = [&] {
        return fetching ? QStringLiteral("Получено строк: %1").arg(ds->fetchedCount())
                        : QStringLiteral("Скопировано строк: %1 из %2").arg(copied).arg(total);
    };
    if (!RunLongWork(step, progress))
        return false;
    if (!oneCell)
        text += QChar('\n');
    PutOnClipboard(text, withHtml ? html + HtmlTableTail() : QString());
    return true;
}
