// bench/export_html [--objects N]
// The HTML export of the result of N generated objects (default 1,000,000),
// through the code the result window's button uses (without the save dialog),
// against isql-fb fetching the same statement in the same run. Each side of the
// memory figures runs in a process of its own, so its peak resident memory is
// its own: the export, and fetching every row alone (what the row set's buffer
// costs); the difference is what the export adds.
//
// bench/export_html --sample FILE writes a small page of fixed rows (no store)
// for the browser check in scripts/check-html-page.

#include "bench_common.h"

#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "results/export_progress.h"
#include "results/export_rows.h"
#include "results/html_export.h"
#include "results/html_page.h"
#include "results/result_query.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryFile>
#include <cstdio>

namespace {

void openResult(DbDataSet &ds, DbConnection &conn)
{
    ds.setConnection(&conn);
    for (const FieldDef &def : ResultFieldDefs())
        ds.addField(def);
    ds.sql() = ResultQueryLines(QString(), QStringLiteral("t_o.ID_THIS"));
    ds.open();
}

// One side of the measurement, in this (child) process. Prints
// "rows seconds peakKb bufferBytes pageBytes".
int child(const QString &mode, const QString &store)
{
    QElapsedTimer timer;
    timer.start();
    DbConnection conn;
    OpenBenchStore(conn, store);
    DbDataSet ds;
    openResult(ds, conn);
    long long rows = 0, pageBytes = 0;
    if (mode == QLatin1String("export")) {
        std::unique_ptr<QTemporaryFile> page = OpenTemporaryPage(QString());
        ExportProgress progress(nullptr, QStringLiteral("Экспорт в HTML-формат"));
        if (!WriteResultPage(ds, *page, [&](int written, int total) { return progress.step(written, total); }))
            return 1;
        page->flush();
        pageBytes = page->size();
        rows = ds.fetchedCount();
    } else {
        while (!ds.isAllFetched())
            ds.fetchRows(ExportRowReader::kFetchBatch);
        rows = ds.fetchedCount();
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    PrintChildRun(rows, seconds, ds.bufferBytes(), pageBytes);
    return 0;
}

int sample(const QString &fileName)
{
    DbDataSet shape;
    for (const FieldDef &def : ResultFieldDefs())
        shape.addField(def);
    std::vector<HtmlColumn> columns;
    for (const ExportColumn &c : ExportColumns(shape))
        columns.push_back({c.name, c.label});
    QFile out(fileName);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    HtmlPageWriter page(out);
    page.begin(columns);
    page.writeRow({"Объект обычный", "<script>document.title='XSS'</script>", "01.02.2020", "08:30", "", "", "A & B",
                   "Цех \"А\"", "101", "PUMP", "1", "1", "", "", "", "100", "1", "0", "7"});
    page.writeRow({"Процесс обычный", "Насос №2 <b>жирный</b>", "", "", "", "", "   ", "", "102", "", "2", "0", "0",
                   "101", "101", "100", "2", "0", "7"});
    page.writeRow({"", "Без типа", "", "", "", "", "", "", "103", "", "999", "1", "", "", "", "", "", "", ""});
    page.end();
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
    std::printf("HTML export of %lld rows (attach, open, every row written): %.2f s, %.0f rows/s, page %.1f MB\n",
                exported.rows, exported.seconds, ours, exported.fileMb);
    std::printf("isql-fb fetching the same statement (whole run):          %.2f s, %.0f rows/s\n", isql, theirs);
    std::printf("ratio (export rows/s / isql-fb rows/s) %.2f  (target >= 0.50)\n", ours / theirs);
    std::printf("max RSS: export %.1f MB; fetching every row alone %.1f MB; export's own growth %.1f MB\n",
                exported.peakMb, fetched.peakMb, exported.peakMb - fetched.peakMb);
    std::printf("row set buffer: %.1f MB (%.0f bytes/row)\n", exported.bufferMb,
                exported.bufferMb * 1048576.0 / double(exported.rows));
    return 0;
}
