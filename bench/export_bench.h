#pragma once
// The frame both export benchmarks share: the export of the result of N
// generated objects (no condition) against isql-fb fetching the same
// statement in the same run, each side in a child process of its own so that
// the export's peak memory can be set against that of fetching every row
// alone. "--sample FILE" writes a small file through the export's own code
// instead, for the checks with the real readers.

#include <QString>
#include <functional>

class DbDataSet;

struct ExportBench {
    const char *what;       // "HTML export", shown in the figures
    const char *fileWhat;   // "page", "file"
    const char *usage;      // what --help prints
    // Writes the export of the open row set; the bytes written, or -1 when it failed.
    std::function<long long(DbDataSet &rows)> exportRows;
    // Writes the sample file; 0 on success.
    std::function<int(const QString &fileName)> sample;
};

int RunExportBench(int argc, char **argv, const ExportBench &bench);

// Where the rows' time went since the last reset of FetchStageTimes(): the
// engine on the store's thread, the window's thread waiting for rows and
// copying them into the row set (on standard error, beside the phases).
void PrintFetchStages();
