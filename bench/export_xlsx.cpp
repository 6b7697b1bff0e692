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

#include "bench_common.h"

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

int child(const QString &mode, const QString &store)
{
    QElapsedTimer timer;
    timer.start();
    DbConnection conn;
    OpenBenchStore(conn, store);
    DbDataSet ds;
    ds.setConnection(&conn);
    for (const FieldDef &def : ResultFieldDefs())
        ds.addField(def);
    ds.sql() = ResultQueryLines(QString(), QStringLiteral("t_o.ID_THIS"));
    ds.open();
    long long fileBytes = 0;
    if (mode == QLatin1String("export")) {
        QVariant app, sheet;
        auto book = startBook(app, sheet);
        ExportRowReader reader(ds);
        WriteWorkbookHeading(sheet, reader.columns(), QDateTime::currentDateTime().toString());
        QVariant buffer = VarArrayCreate(1, int(reader.columns().size()));
        WriteWorkbookRows(sheet, reader, buffer, nullptr);
        const QString file = QDir(QDir::tempPath()).filePath(QStringLiteral("export_xlsx_bench.xlsx"));
        QFile::remove(file);
        book->save(file);
        fileBytes = QFileInfo(file).size();
        QFile::remove(file);
    } else {
        while (!ds.isAllFetched())
            ds.fetchRows(ExportRowReader::kFetchBatch);
    }
    PrintChildRun(ds.fetchedCount(), double(timer.nsecsElapsed()) / 1e9, ds.bufferBytes(), fileBytes);
    return 0;
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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--sample")); at > 0 && at + 1 < args.size())
        return sample(args[at + 1]);
    const long long objects = BenchObjects(args);
    const QString store = EnsureBenchStore(objects);
    if (const qsizetype at = args.indexOf(QStringLiteral("--child")); at > 0 && at + 1 < args.size())
        return child(args[at + 1], store);

    RunIsql(store, QStringLiteral("SELECT COUNT(*) FROM OBJECTS_TREE")); // warm the file cache
    const ChildRun exported = RunChild(QStringLiteral("export"), objects);
    const double isql = RunIsql(store, ResultQueryLines(QString(), QStringLiteral("t_o.ID_THIS")).join('\n'));
    const ChildRun fetched = RunChild(QStringLiteral("fetch"), objects);
    if (exported.rows == 0 || fetched.rows == 0)
        return 1;
    const double ours = double(exported.rows) / exported.seconds;
    const double theirs = double(fetched.rows) / isql;
    std::printf("store: %s (%lld objects)\n", qPrintable(store), objects);
    std::printf("workbook export of %lld rows (attach, open, every row written, saved): %.2f s, %.0f rows/s, "
                "file %.1f MB\n",
                exported.rows, exported.seconds, ours, exported.fileMb);
    std::printf("isql-fb fetching the same statement (whole run): %.2f s, %.0f rows/s\n", isql, theirs);
    std::printf("ratio (export rows/s / isql-fb rows/s) %.2f  (target >= 0.50)\n", ours / theirs);
    std::printf("max RSS: export %.1f MB; fetching every row alone %.1f MB; export's own growth %.1f MB\n",
                exported.peakMb, fetched.peakMb, exported.peakMb - fetched.peakMb);
    std::printf("row set buffer: %.1f MB (%.0f bytes/row)\n", exported.bufferMb,
                exported.bufferMb * 1048576.0 / double(exported.rows));
    return 0;
}
