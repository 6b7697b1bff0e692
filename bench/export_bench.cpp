#include "export_bench.h"

#include "bench_common.h"

#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/fetch_stages.h"
#include "db/row_store.h"
#include "exports/export_rows.h"
#include "results/result_query.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

// One side of the measurement, in this (child) process.
int child(const QString &mode, const QString &store, const ExportBench &bench)
{
    QElapsedTimer timer;
    timer.start();
    DbConnection conn;
    OpenBenchStore(conn, store);
    DbDataSet ds;
    OpenResultRows(ds, conn);
    long long bytes = 0;
    if (mode == QLatin1String("export")) {
        bytes = bench.exportRows(ds);
        if (bytes < 0)
            return 1;
    } else {
        while (!ds.isAllFetched())
            ds.fetchRows(ExportRowReader::kFetchBatch);
    }
    PrintChildRun(ds.fetchedCount(), double(timer.nsecsElapsed()) / 1e9, ds.bufferBytes(), bytes);
    return 0;
}

} // namespace

int RunExportBench(int argc, char **argv, const ExportBench &bench)
{
    PreferOffscreen();
    QApplication app(argc, argv);
    const BenchArgs args =
        ParseBenchArgs(app.arguments(), bench.usage,
                       {QStringLiteral("--objects"), QStringLiteral("--sample"), QStringLiteral("--child")});
    if (const QString file = args.value(QStringLiteral("--sample")); !file.isEmpty())
        return bench.sample(file);
    const long long objects = args.objects;
    const QString store = EnsureBenchStore(objects);
    if (const QString mode = args.value(QStringLiteral("--child")); !mode.isEmpty())
        return child(mode, store, bench);

    WarmFileCache(store);
    const ChildRun exported = RunChild(QStringLiteral("export"), objects);
    const double isql = RunIsql(store, ResultQueryLines(QString(), QStringLiteral("t_o.ID_THIS")).join('\n'));
    const ChildRun fetched = RunChild(QStringLiteral("fetch"), objects);
    if (exported.rows == 0 || fetched.rows == 0)
        return 1;
    const double ours = double(exported.rows) / exported.seconds;
    const double theirs = double(fetched.rows) / isql;
    std::printf("store: %s (%lld objects)\n", qPrintable(store), objects);
    std::printf("%s of %lld rows (attach, open, every row written): %.2f s, %.0f rows/s, %s %.1f MB\n", bench.what,
                exported.rows, exported.seconds, ours, bench.fileWhat, exported.fileMb);
    std::printf("isql-fb fetching the same statement (whole run): %.2f s, %.0f rows/s\n", isql, theirs);
    std::printf("ratio (export rows/s / isql-fb rows/s) %.2f  (target >= 0.9)\n", ours / theirs);
    std::printf("max RSS: export %.1f MB; fetching every row alone %.1f MB; export's own growth %.1f MB\n",
                exported.peakMb, fetched.peakMb, exported.peakMb - fetched.peakMb);
    std::printf("row set buffer: %.1f MB (%.0f bytes/row; beyond %zu MB in a temporary file)\n", exported.bufferMb,
                exported.bufferMb * 1048576.0 / double(exported.rows), RowStore::kResidentBytes >> 20);
    return 0;
}

void PrintFetchStages()
{
    const FetchStages &st = FetchStageTimes();
    std::fprintf(stderr,
                 "  of which: engine fetch %.2f s on the store's thread (beside the writing), the window's thread "
                 "waiting for rows %.2f s (%lld waits), copying rows into the row set %.2f s\n",
                 double(st.fetchNs) / 1e9, double(st.waitNs) / 1e9, static_cast<long long>(st.waits),
                 double(st.storeNs) / 1e9);
}
