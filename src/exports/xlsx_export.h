#pragma once
// The found objects written into a sheet through the spreadsheet routines:
// the heading, the header row and one range write per row from row 8, then
// what makes the sheet read well. Used by the result window's button and by
// the benchmark.

#include "exports/automation.h"
#include "exports/export_rows.h"

#include <QVariant>

// The header row.
constexpr int kHeaderRow = 7;
// The first sheet row of the data.
constexpr int kFirstDataRow = 8;
// The name of the sheet.
inline const QString kSheetName = QStringLiteral("Лист1");

// The sheet's name, "Лист1", then the heading rows 1, 2 and 4 and the header
// row 7 (an apostrophe before every label), each cell through ExcelWriteCell.
void WriteWorkbookHeading(const QVariant &sheet, const std::vector<ExportColumn> &columns, const QString &dateText);

struct WorkbookRows {
    int written = 0;  // rows written into the sheet
    int leftOut = 0;  // rows of the result below the sheet's last row
    bool cancelled = false;
    std::vector<bool> withTime; // by column: a date-time with a time of day was written
};
// Rows of the result, one range write per row into the buffer's N elements,
// up to the last row a sheet holds (lastRow); the rows beyond it are counted.
// Written as long work in steps with the wait window's progress and Cancel
// (see ForEachExportRow; run replaces RunLongWork); a row set closed before
// its last row counts as cancelled. The current row stays.
WorkbookRows WriteWorkbookRows(const QVariant &sheet, ExportRowReader &reader, QVariant &buffer,
                               int lastRow = kSheetRows, const LongWorkRunner &run = {});

// The sheet made to read well once its rows are written: every column as
// wide as its display width (a date column wide enough for its dates, with
// their times where there are any), the rows down to the header frozen, a
// filter over the header row and the rows written, landscape pages one page
// wide. Nothing without a sheet.
void WriteWorkbookLayout(const QVariant &app, const QVariant &sheet, const std::vector<ExportColumn> &columns,
                         const WorkbookRows &rows);
