#pragma once
// Shared by the benchmarks: the generated store, isql-fb runs, memory readings.

#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>

class DbConnection;
class StoreWriter;

// A benchmark's command line: its options with a value ("--objects N", the
// count of generated objects, 1,000,000 without it) and without (flags).
struct BenchArgs {
    long long objects = 1000000;
    QStringList flags;  // the flags given
    QStringList values; // option, value, option, value... as given
    QString value(const QString &option) const;
};
// Reads the arguments after the program's name. "--help" prints the usage
// and ends the program; an option the benchmark does not know, an option
// without its value or a count that is no positive number end it with a
// message and status 2, before any store is built.
BenchArgs ParseBenchArgs(const QStringList &arguments, const char *usage, const QStringList &valued,
                         const QStringList &flags = {});
// The store of that file name in $VRKX_BENCH_DIR (default /tmp/vrkx-bench),
// filled by `fill` when it is not there yet and kept for later runs. It is
// built as "<name>.part" and renamed when complete, so an interrupted build
// is never taken for a store.
QString EnsureStore(const QString &fileName, const std::function<void(StoreWriter &)> &fill);
// A store of `objects` generated objects (EnsureStore).
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
// Reads the table once through isql-fb (SELECT COUNT(*)), so that neither
// side of a comparison pays for the first read of the file.
void WarmFileCache(const QString &store, const QString &table = QStringLiteral("OBJECTS_TREE"));
// The statement's lines with its leading "SELECT " made "SELECT FIRST n ".
QStringList SelectFirst(QStringList lines, long long n);
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
