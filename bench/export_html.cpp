// bench/export_html [--objects N]
// The HTML export of the result of N generated objects (default 1,000,000),
// through the code the result window's button uses (without the save dialog;
// the page saved under a name in the temporary folder),
// against isql-fb fetching the same statement in the same run. Each side of the
// memory figures runs in a process of its own, so its peak resident memory is
// its own: the export, and fetching every row alone (what the row set's buffer
// costs); the difference is what the export adds.
//
// bench/export_html --sample FILE writes a small page of fixed rows (no store)
// for the browser check in scripts/check-html-page.

#include "export_bench.h"

#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/fetch_stages.h"
#include "exports/export_rows.h"
#include "exports/html_export.h"
#include "exports/html_page.h"
#include "results/result_query.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <cstdio>

namespace {

long long exportRows(DbDataSet &ds)
{
    TemporaryPage page;
    FetchStageTimes().reset();
    QElapsedTimer phase;
    phase.start();
    if (!WriteResultPage(ds, page.device()))
        return -1;
    const double rowsSeconds = double(phase.nsecsElapsed()) / 1e9;
    // Saved as OK in the save dialog saves it: copied out of the temporary folder.
    phase.restart();
    const QString file = QDir(QDir::tempPath()).filePath(QStringLiteral("export_html_bench.htm"));
    page.saveAs(file);
    std::fprintf(stderr, "page written in %.2f s, saved in %.2f s\n", rowsSeconds, double(phase.nsecsElapsed()) / 1e9);
    PrintFetchStages();
    QFile::remove(file);
    return page.device().size();
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
    return RunExportBench(argc, argv,
                          {"HTML export (saved)", "page",
                           "usage: export_html [--objects N] | --sample FILE\n"
                           "  The HTML export of N generated objects (default 1,000,000) against isql-fb fetching\n"
                           "  the same rows. --sample FILE: a small page of fixed rows, for scripts/check-html-page.\n",
                           exportRows, sample});
}
