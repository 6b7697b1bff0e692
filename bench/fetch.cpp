// bench/fetch [--objects N] [--ours-only]
// The result window's query over N generated objects (default 1,000,000),
// every row and every field read as text through DbDataSet, against isql-fb
// doing the same in the same run; and the first 100 rows of both.

#include "bench_common.h"

#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/fetch_stages.h"
#include "results/result_query.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

struct FetchResult {
    double seconds = 0;
    long long rows = 0;
    double textChars = 0; // all fields of all rows, as text
    long memoryKb = 0;    // peak growth while fetching
    std::size_t bufferBytes = 0;
    double readBackSeconds = 0; // every row read again, from the first
    bool readBackSame = false;
    // Where the full fetch's time went (see fetch_stages.h), in seconds.
    double fetch = 0, blobs = 0, wait = 0, store = 0;
    long long blobCount = 0, waitCount = 0;
};

FetchResult fetch(const QString &store, long long limit)
{
    FetchResult r;
    ResetPeakRss();
    FetchStageTimes().reset();
    const long before = CurrentRssKb();
    QElapsedTimer timer;
    timer.start();
    DbConnection conn;
    OpenBenchStore(conn, store);
    DbDataSet ds;
    ds.setConnection(&conn);
    for (const FieldDef &def : ResultFieldDefs())
        ds.addField(def);
    const QStringList lines = ResultQueryLines(QString(), QStringLiteral("t_o.ID_THIS"));
    ds.sql() = limit > 0 ? SelectFirst(lines, limit) : lines;
    ds.open();
    // Every field of every row as text, from the first row; the characters.
    auto readAll = [&ds](long long &rows) {
        double chars = 0;
        for (ds.first(); !ds.eof(); ds.next()) {
            for (int f = 0; f < ds.fieldCount(); ++f)
                chars += double(ds.field(f)->asString().size());
            ++rows;
        }
        return chars;
    };
    r.textChars = readAll(r.rows);
    r.seconds = double(timer.nsecsElapsed()) / 1e9;
    r.memoryKb = PeakRssKb() - before;
    r.bufferBytes = ds.bufferBytes();
    const FetchStages &st = FetchStageTimes();
    r.fetch = double(st.fetchNs) / 1e9;
    r.blobs = double(st.blobNs) / 1e9;
    r.wait = double(st.waitNs) / 1e9;
    r.store = double(st.storeNs) / 1e9;
    r.blobCount = st.blobs;
    r.waitCount = st.waits;
    // The older rows are read back from the row set's temporary file.
    timer.restart();
    long long rowsAgain = 0;
    const double again = readAll(rowsAgain);
    r.readBackSeconds = double(timer.nsecsElapsed()) / 1e9;
    r.readBackSame = again == r.textChars && rowsAgain == r.rows;
    ds.close();
    conn.close();
    return r;
}

const char kUsage[] = "usage: fetch [--objects N] [--ours-only]\n"
                      "  The result query over N generated objects (default 1,000,000), every field of every\n"
                      "  row read as text, against isql-fb in the same run. --ours-only: no isql-fb (profiling).\n";

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const BenchArgs args = ParseBenchArgs(app.arguments(), kUsage, {QStringLiteral("--objects")}, {QStringLiteral("--ours-only")});
    const long long objects = args.objects;
    const QString store = EnsureBenchStore(objects);
    const QStringList lines = ResultQueryLines(QString(), QStringLiteral("t_o.ID_THIS"));
    const QString statement = lines.join('\n');
    const QString first100 = SelectFirst(lines, 100).join('\n');

    WarmFileCache(store);

    if (args.flags.contains(QStringLiteral("--ours-only"))) { // for profiling
        const FetchResult r = fetch(store, 0);
        std::printf("DbDataSet %.2f s, %lld rows\n", r.seconds, r.rows);
        std::printf("  stages: engine fetch %.2f s, blobs %.2f s (%lld), window waiting %.2f s (%lld waits), "
                    "into the row store %.2f s\n", r.fetch, r.blobs, r.blobCount, r.wait, r.waitCount, r.store);
        return 0;
    }
    const FetchResult ours = fetch(store, 0);
    const double isql = RunIsql(store, statement);
    const FetchResult ours100 = fetch(store, 100);
    const double isql100 = RunIsql(store, first100);

    std::printf("store: %s (%lld objects)\n", qPrintable(store), objects);
    std::printf("full fetch, %lld rows, every field as text:\n", ours.rows);
    std::printf("  DbDataSet %8.2f s  %10.0f rows/s\n", ours.seconds, double(ours.rows) / ours.seconds);
    std::printf("  isql-fb   %8.2f s  %10.0f rows/s\n", isql, double(ours.rows) / isql);
    std::printf("  ratio (DbDataSet / isql-fb time) %.2f  (target <= 0.6)\n", ours.seconds / isql);
    std::printf("  stages: on the store's thread, engine fetch %.2f s and blobs %.2f s (%lld); the window's thread\n"
                "  waiting for the store %.2f s (%lld waits), copying rows into the row store %.2f s, and the rest\n"
                "  (values as text) %.2f s\n",
                ours.fetch, ours.blobs, ours.blobCount, ours.wait, ours.waitCount, ours.store,
                ours.seconds - ours.wait - ours.store);
    std::printf("first 100 rows (attach, prepare, fetch):\n");
    std::printf("  DbDataSet %8.3f s\n  isql-fb   %8.3f s (whole run)\n", ours100.seconds, isql100);
    std::printf("  ratio %.2f\n", ours100.seconds / isql100);
    const double textPerRow = ours.textChars / double(ours.rows);
    const double memPerRow = double(ours.memoryKb) * 1024.0 / double(ours.rows);
    std::printf("memory: row text %.0f chars, peak growth %.0f bytes/row (buffer %.0f bytes/row), ratio %.2f "
                "(target <= 2.0)\n",
                textPerRow, memPerRow, double(ours.bufferBytes) / double(ours.rows), memPerRow / textPerRow);
    std::printf("every row read again from the first: %.2f s, %s\n", ours.readBackSeconds,
                ours.readBackSame ? "the same text" : "TEXT DIFFERS");
    return 0;
}
