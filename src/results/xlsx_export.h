#pragma once
// The found objects written into a sheet through the spreadsheet routines:
// the heading, the header row and one range write per row from row 8. Used
// by the result window's button and by the benchmark.

#include "results/automation.h"
#include "results/export_rows.h"

#include <QVariant>
#include <functional>

// The heading rows 1, 2 and 4 and the header row 7 (an apostrophe before
// every label), each cell through ExcelWriteCell.
void WriteWorkbookHeading(const QVariant &sheet, const std::vector<ExportColumn> &columns, const QString &dateText);

struct WorkbookRows {
    int written = 0;  // rows written into the sheet
    int leftOut = 0;  // rows of the result below the sheet's last row
    bool cancelled = false;
};
// The first sheet row of the data.
constexpr int kFirstDataRow = 8;
// Rows of the result, one range write per row into the buffer's N elements,
// up to the last row a sheet holds (lastRow); the rows beyond it are counted. The
// progress callback gets rows written and the row count (-1 while unknown),
// also while the rows beyond are counted; false cancels. A row set closed
// before its last row (while pending events ran) counts as cancelled. At the
// end the last row read is the current one.
WorkbookRows WriteWorkbookRows(const QVariant &sheet, ExportRowReader &reader, QVariant &buffer,
                               const std::function<bool(int written, int total)> &progress, int lastRow = kSheetRows);
