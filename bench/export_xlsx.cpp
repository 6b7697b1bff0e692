// bench/export_xlsx [--objects N]
// The spreadsheet export of the result of N generated objects (default
// 1,000,000), with no condition, through the code the result window's button
// runs (the spreadsheet routines over the workbook backend, the workbook
// saved), against isql-fb fetching the same statement in the same run. Each
// side runs in a child process of its own, so that the peak memory of the
// export can be set against that of fetching every row alone.
//
// bench/export_xlsx --sample FILE writes a small workbook through the same
// routines (no store), for scripts/check-xlsx-in-calc.

#include "export_bench.h"

#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "results/automation.h"
#include "results/excel.h"
#include "results/export_rows.h"
#include "results/result_query.h"
#include "results/xlsx_backend.h"
#include "results/xlsx_export.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

namespace {

std::shared_ptr<XlsxBackend> startBook(QVariant &app, QVariant &sheet)
{
    ExcelStart(true, true, app);
    ExcelGetSheet(app, 1, sheet);
    return std::dynamic_pointer_cast<XlsxBackend>(AutomationBackendOf(app));
}

long long exportRows(DbDataSet &ds)
{
    QVariant app, sheet;
    auto book = startBook(app, sheet);
    ExportRowReader reader(ds);
    WriteWorkbookHeading(sheet, reader.columns(), QDateTime::currentDateTime().toString());
    QVariant buffer = VarArrayCreate(1, int(reader.columns().size()));
    QElapsedTimer phase;
    phase.start();
    WriteWorkbookRows(sheet, reader, buffer, nullptr);
    const double rowsSeconds = double(phase.nsecsElapsed()) / 1e9;
    phase.restart();
    const QString file = QDir(QDir::tempPath()).filePath(QStringLiteral("export_xlsx_bench.xlsx"));
    QFile::remove(file);
    book->save(file);
    std::fprintf(stderr, "rows written in %.2f s, workbook saved (compressed) in %.2f s\n", rowsSeconds,
                 double(phase.nsecsElapsed()) / 1e9);
    const long long bytes = QFileInfo(file).size();
    QFile::remove(file);
    return bytes;
}

int sample(const QString &fileName)
{
    DbDataSet shape;
    for (const FieldDef &def : ResultFieldDefs())
        shape.addField(def);
    QVariant app, sheet;
    auto book = startBook(app, sheet);
    WriteWorkbookHeading(sheet, ExportColumns(shape), QStringLiteral("09.12.2026 10:00:00"));
    QVariant buffer = VarArrayCreate(1, 4);
    const QVariantList rows[] = {
        {QStringLiteral("Насос №1"), qint64(42), QDateTime(QDate(2005, 2, 1), QTime(0, 0)), QVariant()},
        {QStringLiteral("00123"), qint64(-7), QVariant(), QStringLiteral("01.02.2005")},
    };
    int row = kFirstDataRow;
    for (const QVariantList &r : rows) {
        for (int k = 0; k < r.size(); ++k)
            VarArraySet(buffer, k + 1, r[k]);
        ExcelWriteRange(sheet, row, 1, row, 4, buffer);
        ++row;
    }
    book->save(fileName);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return RunExportBench(argc, argv, {"workbook export (saved)", "file", exportRows, sample});
}
