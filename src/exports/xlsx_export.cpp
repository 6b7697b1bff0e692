#include "exports/xlsx_export.h"

#include "exports/excel.h"

#include <QDateTime>
#include <algorithm>

void WriteWorkbookHeading(const QVariant &sheet, const std::vector<ExportColumn> &columns, const QString &dateText)
{
    // Named before anything is written into it, as a sheet's name is given
    // when it is made.
    if (VariantAssigned(sheet))
        AutoSet(sheet, QStringLiteral("Name"), kSheetName);
    ExcelWriteCell(sheet, 1, 1, false, false, false, QStringLiteral("VeldaRunKX"), 7, 0x808080, 0xFFFFFF, false, 1, 2);
    ExcelWriteCell(sheet, 2, 1, false, false, false, QStringLiteral("Date: ") + dateText, 0, 0, 0xFFFFFF, false, 1, 2);
    ExcelWriteCell(sheet, 4, 1, false, true, false, QStringLiteral("Результат отбора Объектов(Процессов)"), 12, 0,
                   0xFFFFFF, false, 1, 2);
    int k = 0;
    for (const ExportColumn &c : columns)
        ExcelWriteCell(sheet, kHeaderRow, ++k, true, true, false, QChar('\'') + c.label, 0, 0, 0xFFFFFF, false, 1, 2);
}

WorkbookRows WriteWorkbookRows(const QVariant &sheet, ExportRowReader &reader, QVariant &buffer, int lastRow,
                               const LongWorkRunner &run)
{
    WorkbookRows result;
    const int n = int(reader.columns().size());
    result.withTime.assign(std::size_t(n), false);
    std::vector<bool> isDate;
    for (const ExportColumn &c : reader.columns())
        isDate.push_back(c.kind == FieldKind::DateTime);
    int row = kFirstDataRow - 1;
    const auto writeRow = [&] {
        if (row >= lastRow) {
            // The sheet is full: what was written stays, the rest is counted.
            ++result.leftOut;
            return;
        }
        for (int k = 0; k < n; ++k) {
            const QVariant v = reader.value(k);
            if (isDate[std::size_t(k)] && v.userType() == QMetaType::QDateTime && v.toDateTime().time() != QTime(0, 0))
                result.withTime[std::size_t(k)] = true;
            VarArraySet(buffer, k + 1, v);
        }
        ++row;
        ExcelWriteRange(sheet, row, 1, row, n, buffer);
        ++result.written;
    };
    result.cancelled =
        !ForEachExportRow(reader, writeRow, [&] { return RowsWrittenText(result.written, reader.total()); }, run);
    return result;
}

void WriteWorkbookLayout(const QVariant &app, const QVariant &sheet, const std::vector<ExportColumn> &columns,
                         const WorkbookRows &rows)
{
    if (!VariantAssigned(sheet))
        return;
    const int n = int(columns.size());
    for (int k = 0; k < n; ++k) {
        const ExportColumn &c = columns[std::size_t(k)];
        int width = c.width;
        if (c.kind == FieldKind::DateTime) // "dd.mm.yyyy" or "dd.mm.yyyy hh:mm:ss", and a little room
            width = std::max(width, k < int(rows.withTime.size()) && rows.withTime[std::size_t(k)] ? 20 : 11);
        const QVariant cell = AutoGet(sheet, QStringLiteral("Cells"), {kHeaderRow, k + 1});
        AutoSet(AutoGet(sheet, QStringLiteral("Range"), {cell, cell}), QStringLiteral("ColumnWidth"), width);
    }
    const QVariant window = AutoGet(app, QStringLiteral("ActiveWindow"));
    AutoSet(window, QStringLiteral("SplitRow"), kHeaderRow);
    AutoSet(window, QStringLiteral("SplitColumn"), 0);
    AutoSet(window, QStringLiteral("FreezePanes"), true);
    if (n > 0)
        AutoCall(AutoGet(sheet, QStringLiteral("Range"),
                         {AutoGet(sheet, QStringLiteral("Cells"), {kHeaderRow, 1}),
                          AutoGet(sheet, QStringLiteral("Cells"), {kHeaderRow + rows.written, n})}),
                 QStringLiteral("AutoFilter"));
    const QVariant page = AutoGet(sheet, QStringLiteral("PageSetup"));
    AutoSet(page, QStringLiteral("Orientation"), 2); // landscape
    AutoSet(page, QStringLiteral("Zoom"), false);
    AutoSet(page, QStringLiteral("FitToPagesWide"), 1);
    AutoSet(page, QStringLiteral("FitToPagesTall"), false);
}
