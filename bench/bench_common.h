#pragma once
// Shared by the benchmarks: the generated store, isql-fb runs, memory readings.

#include <QString>

class DbConnection;
#include <QStringList>

// The object count of "--objects N" among the arguments, 1,000,000 without it.
long long BenchObjects(const QStringList &args);
// A store of `objects` generated objects, made once and kept in
// $VRKX_BENCH_DIR (default /tmp/vrkx-bench) for later runs.
QString EnsureBenchStore(long long objects);
// Attaches the connection to the store as the program would.
void OpenBenchStore(DbConnection &conn, const QString &store);
// Runs the statement through isql-fb with its output discarded; seconds.
double RunIsql(const QString &store, const QString &statement);
// Resident and peak resident memory of this process, in KiB.
long CurrentRssKb();
long PeakRssKb();
// Makes the peak equal to the current figure again (Linux clear_refs).
void ResetPeakRss();
