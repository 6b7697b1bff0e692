#pragma once
// Shared by the benchmarks: the generated store, isql-fb runs, memory readings.

#include <QString>
#include <cstddef>

class DbConnection;
#include <QStringList>

// The object count of "--objects N" among the arguments, 1,000,000 without it.
long long BenchObjects(const QStringList &args);
// A store of `objects` generated objects, made once and kept in
// $VRKX_BENCH_DIR (default /tmp/vrkx-bench) for later runs.
QString EnsureBenchStore(long long objects);
// Attaches the connection to the store as the program would.
void OpenBenchStore(DbConnection &conn, const QString &store);
// Opens the result window's query without a condition on the row set.
class DbDataSet;
void OpenResultRows(DbDataSet &rows, DbConnection &conn);
// Windows are drawn offscreen unless a platform is named.
void PreferOffscreen();
// Runs the statement through isql-fb with its output discarded; seconds.
double RunIsql(const QString &store, const QString &statement);
// Resident and peak resident memory of this process, in KiB.
long CurrentRssKb();
long PeakRssKb();
// Makes the peak equal to the current figure again (Linux clear_refs).
void ResetPeakRss();

// A measurement run in a child process of the same benchmark, started with
// "--child MODE --objects N", so that each side's peak memory is its own.
struct ChildRun {
    long long rows = 0;
    double seconds = 0;
    double peakMb = 0;
    double bufferMb = 0; // the row set's buffer
    double fileMb = 0;   // what the side wrote
};
ChildRun RunChild(const QString &mode, long long objects);
// What the child prints for its parent.
void PrintChildRun(long long rows, double seconds, std::size_t bufferBytes, long long fileBytes);
