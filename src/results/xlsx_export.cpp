#include "results/xlsx_export.h"

#include "results/excel.h"

void WriteWorkbookHeading(const QVariant &sheet, const std::vector<ExportColumn> &columns, const QString &dateText)
{
    ExcelWriteCell(sheet, 1, 1, false, false, false, QStringLiteral("VeldaRunKX"), 7, 0x808080, 0xFFFFFF, false, 1, 2);
    ExcelWriteCell(sheet, 2, 1, false, false, false, QStringLiteral("Date: ") + dateText, 0, 0, 0xFFFFFF, false, 1, 2);
    ExcelWriteCell(sheet, 4, 1, false, true, false, QStringLiteral("Результат отбора Объектов(Процессов)"), 12, 0,
                   0xFFFFFF, false, 1, 2);
    int k = 0;
    for (const ExportColumn &c : columns)
        ExcelWriteCell(sheet, 7, ++k, true, true, false, QChar('\'') + c.label, 0, 0, 0xFFFFFF, false, 1, 2);
}

WorkbookRows WriteWorkbookRows(const QVariant &sheet, ExportRowReader &reader, QVariant &buffer,
                               const std::function<bool(int written, int total)> &progress, int lastRow)
{
    WorkbookRows result;
    const int n = int(reader.columns().size());
    int row = kFirstDataRow - 1;
    while (reader.next()) {
        if (row >= lastRow) {
            // The sheet is full: what was written stays, the rest is counted.
            ++result.leftOut;
        } else {
            for (int k = 0; k < n; ++k)
                VarArraySet(buffer, k + 1, reader.value(k));
            ++row;
            ExcelWriteRange(sheet, row, 1, row, n, buffer);
            ++result.written;
        }
        if (progress && !progress(result.written, reader.total())) {
            result.cancelled = true;
            return result;
        }
    }
    if (!reader.complete()) {
        // The row set was closed while pending events ran: the sheet would
        // be cut short.
        result.cancelled = true;
        return result;
    }
    reader.finish();
    return result;
}
