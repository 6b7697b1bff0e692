// bench/export_html [--objects N]
// The HTML export of the result of N generated objects (default 1,000,000),
// with no condition, through the code the result window's button runs (the
// page written in one pass to a temporary file), against isql-fb fetching
// the same statement in the same run. Memory: the peak of the whole run, the
// row set's own buffer (the rows the window keeps, as after "last"), and what
// the export adds beyond that.

#include "bench_common.h"

#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "results/html_export.h"
#include "results/result_query.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const long long objects = BenchObjects(app.arguments());
    const QString store = EnsureBenchStore(objects);
    const QStringList lines = ResultQueryLines(QString(), QStringLiteral("t_o.ID_THIS"));
    // isql-fb first: one process at a time holds the file in embedded mode.
    RunIsql(store, QStringLiteral("SELECT COUNT(*) FROM OBJECTS_TREE"));
    const double isql = RunIsql(store, lines.join('\n'));

    ResetPeakRss();
    const long before = CurrentRssKb();
    DbConnection conn;
    OpenBenchStore(conn, store);
    DbDataSet rows;
    rows.setConnection(&conn);
    for (const FieldDef &def : ResultFieldDefs())
        rows.addField(def);
    rows.sql() = lines;
    QTemporaryFile page;
    page.open();
    QElapsedTimer timer;
    timer.start();
    rows.open();
    WriteResultPage(rows, page, nullptr);
    page.flush();
    const double ours = double(timer.nsecsElapsed()) / 1e9;
    const long peak = PeakRssKb() - before;
    const double n = double(rows.fetchedCount());
    const double buffer = double(rows.bufferBytes()) / 1024.0;

    std::printf("store: %s (%lld objects)\n", qPrintable(store), objects);
    std::printf("HTML export of %.0f rows: %.2f s, %.0f rows/s, page %.1f MB\n", n, ours, n / ours,
                double(QFileInfo(page.fileName()).size()) / 1e6);
    std::printf("isql-fb fetching the same: %.2f s, %.0f rows/s\n", isql, n / isql);
    std::printf("rate ratio (export / isql-fb rows per second) %.2f (target >= 0.5)\n", isql / ours);
    std::printf("memory: peak growth %.1f MB; the row set's buffer %.1f MB (%.0f bytes/row); the export beyond it "
                "%.1f MB\n",
                double(peak) / 1024.0, buffer / 1024.0, buffer * 1024.0 / n, (double(peak) - buffer) / 1024.0);
    return 0;
}
