// bench/export_xlsx [--objects N]
// The spreadsheet export of the result of N generated objects (default
// 1,000,000), with no condition, through the code the result window's button
// runs (the spreadsheet routines over the workbook backend, the workbook
// saved), against isql-fb fetching the same statement in the same run. Each
// side runs in a child process of its own, so that the peak memory of the
// export can be set against that of fetching every row alone.
//
// bench/export_xlsx --sample FILE writes a small workbook through the same
// routines (no store), laid out as the button lays it out, for
// scripts/check-xlsx-in-calc.

#include "export_bench.h"

#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/fetch_stages.h"
#include "exports/automation.h"
#include "exports/excel.h"
#include "exports/export_rows.h"
#include "exports/xlsx_backend.h"
#include "exports/xlsx_export.h"
#include "results/result_query.h"

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
    FetchStageTimes().reset();
    QElapsedTimer phase;
    phase.start();
    WriteWorkbookLayout(app, sheet, reader.columns(), WriteWorkbookRows(sheet, reader, buffer));
    const double rowsSeconds = double(phase.nsecsElapsed()) / 1e9;
    phase.restart();
    const QString file = QDir(QDir::tempPath()).filePath(QStringLiteral("export_xlsx_bench.xlsx"));
    QFile::remove(file);
    book->save(file);
    std::fprintf(stderr, "rows written in %.2f s, workbook saved (compressed) in %.2f s\n", rowsSeconds,
                 double(phase.nsecsElapsed()) / 1e9);
    PrintFetchStages();
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
    const std::vector<ExportColumn> columns = ExportColumns(shape);
    WriteWorkbookHeading(sheet, columns, QStringLiteral("09.12.2026 10:00:00"));
    QVariant buffer = VarArrayCreate(1, 4);
    const QVariantList rows[] = {
        {QStringLiteral("Насос №1"), qint64(42), QDateTime(QDate(2005, 2, 1), QTime(0, 0)), QVariant()},
        {QStringLiteral("00123"), qint64(-7), QVariant(), QStringLiteral("01.02.2005")},
        {QStringLiteral("Насос _x0041_"), qint64(0), QDateTime(QDate(2026, 12, 9), QTime(22, 17, 37)),
         QStringLiteral("22:17:37")},
    };
    WorkbookRows written;
    written.withTime.assign(columns.size(), false);
    written.withTime[2] = true; // the third row's date has a time of day
    for (const QVariantList &r : rows) {
        for (int k = 0; k < r.size(); ++k)
            VarArraySet(buffer, k + 1, r[k]);
        const int row = kFirstDataRow + written.written++;
        ExcelWriteRange(sheet, row, 1, row, 4, buffer);
    }
    WriteWorkbookLayout(app, sheet, columns, written);
    book->save(fileName);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return RunExportBench(argc, argv,
                          {"workbook export (saved)", "file",
                           "usage: export_xlsx [--objects N] | --sample FILE\n"
                           "  The spreadsheet export of N generated objects (default 1,000,000), the workbook\n"
                           "  saved, against isql-fb fetching the same rows. --sample FILE: a small workbook\n"
                           "  through the same routines, for scripts/check-xlsx-in-calc.\n",
                           exportRows, sample});
}
