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

#include "export_bench.h"

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

long long exportRows(DbDataSet &ds)
{
    std::unique_ptr<QTemporaryFile> page = OpenTemporaryPage(QString());
    ExportProgress progress(nullptr, QStringLiteral("Экспорт в HTML-формат"));
    if (!WriteResultPage(ds, *page, [&](int written, int total) { return progress.step(written, total); }))
        return -1;
    page->flush();
    return page->size();
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
    return RunExportBench(argc, argv, {"HTML export", "page", exportRows, sample});
}
