// bench/result_window [--objects N] [--sort-only]
// The result window over N generated objects (default 1,000,000) with no
// condition: the time from pressing "Переоткрыть" to the first screen of rows
// painted, against isql-fb running SELECT FIRST 100 of the same query in the
// same run; scrolling page by page towards the end while the rest of the rows
// come in the background; the time until the count line shows, against a
// full fetch of the same result by the row set alone. Then a click on the
// title of "Наименование" (and a second one, descending): the first screen
// in that order against isql-fb's FIRST 100 of the same ordered statement,
// with the plan the engine chose for it.

#include "bench_common.h"

#include "db/dataset_model.h"
#include "support/codec_1251.h"

#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "results/result_query.h"
#include "results/result_window.h"
#include "widgets/db_grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QProcess>
#include <QTemporaryFile>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The plan isql-fb shows for the statement (SET PLANONLY), one line.
QString IsqlPlan(const QString &store, const QString &statement)
{
    QTemporaryFile script;
    script.open();
    script.write("SET PLANONLY ON;\n" + Cp1251::encode(statement) + ";\n");
    script.flush();
    QProcess isql;
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-ch"), QStringLiteral("WIN1251"),
                                           QStringLiteral("-u"), QStringLiteral("VeldaRunKX"), QStringLiteral("-p"),
                                           QStringLiteral("qzmt"), QStringLiteral("-i"), script.fileName(), store});
    isql.waitForFinished(-1);
    QStringList plan;
    for (const QString &line : Cp1251::decode(isql.readAllStandardOutput()).split(QChar('\n')))
        if (line.trimmed().startsWith(QLatin1String("PLAN")))
            plan << line.trimmed();
    return plan.join(QStringLiteral(" / "));
}

// Clicks the title of the field's column and paints the first screen; seconds.
double ClickTitle(TDlg_ViewQuery_Objects &window, const QString &fieldName)
{
    DataSetModel *model = window.DBGrid1->dataModel();
    int column = -1;
    for (int c = 0; c < model->columnCount(); ++c)
        if (window.Query1->field(model->fieldIndex(c))->name() == fieldName)
            column = c;
    QElapsedTimer timer;
    timer.start();
    emit window.DBGrid1->horizontalHeader()->sectionClicked(column);
    window.grab();
    return double(timer.nsecsElapsed()) / 1e9;
}

// What isql-fb does with the ordered FIRST 100, measured before the window
// attaches: the embedded engine lets one process at a time hold the store.
struct OrderedIsql {
    QString order;
    double seconds = 0;
    QString plan;
};

std::vector<OrderedIsql> MeasureOrderedIsql(const QString &store)
{
    std::vector<OrderedIsql> runs;
    for (bool descending : {false, true}) {
        OrderedIsql run;
        run.order = ResultSortOrder(QStringLiteral("NAME_MAX"), descending);
        const QString statement = SelectFirst(ResultQueryLines(QString(), run.order), 100).join('\n');
        run.seconds = RunIsql(store, statement);
        run.plan = IsqlPlan(store, statement);
        runs.push_back(run);
    }
    return runs;
}

// Two clicks on the title of "Наименование" against isql-fb's runs.
void MeasureHeaderClick(TDlg_ViewQuery_Objects &window, const std::vector<OrderedIsql> &isql)
{
    for (std::size_t i = 0; i < isql.size(); ++i) {
        const double click = ClickTitle(window, QStringLiteral("NAME_MAX"));
        std::printf("click on \"Наименование\" (%s): first screen %.3f s (%d rows); isql-fb FIRST 100 ordered "
                    "the same %.3f s; ratio %.2f\n",
                    i == 0 ? "ascending" : "descending", click, window.DBGrid1->model()->rowCount(), isql[i].seconds,
                    click / isql[i].seconds);
        std::printf("  order by %s\n  plan: %s\n", qPrintable(isql[i].order), qPrintable(isql[i].plan));
    }
    window.Query1->close();
}

} // namespace

int main(int argc, char **argv)
{
    PreferOffscreen();
    QApplication app(argc, argv);
    const BenchArgs args =
        ParseBenchArgs(app.arguments(),
                       "usage: result_window [--objects N] [--sort-only]\n"
                       "  The result window over N generated objects (default 1,000,000): the first\n"
                       "  screen after \"Переоткрыть\" against isql-fb, then scrolling to the end; then\n"
                       "  the first screen after a click on a column's title, against isql-fb's\n"
                       "  ordered FIRST 100, with its plan. --sort-only measures only the click.\n",
                       {QStringLiteral("--objects")}, {QStringLiteral("--sort-only")});
    const long long objects = args.objects;
    const QString store = EnsureBenchStore(objects);
    const QString first100 = SelectFirst(ResultQueryLines(QString(), QStringLiteral("t_o.ID_THIS")), 100).join('\n');

    WarmFileCache(store);
    const double isql100 = RunIsql(store, first100);
    const std::vector<OrderedIsql> orderedIsql = MeasureOrderedIsql(store);

    QElapsedTimer attach;
    attach.start();
    DbConnection conn;
    OpenBenchStore(conn, store);
    const double attachSeconds = double(attach.nsecsElapsed()) / 1e9;

    TDlg_ViewQuery_Objects window;
    window.resize(1200, 800);
    window.bind(QStringLiteral("Результат фильтрации"), &conn, QString(), QStringLiteral("t_o.ID_THIS"), QString());
    window.show();
    QCoreApplication::processEvents();
    if (args.flags.contains(QStringLiteral("--sort-only"))) {
        window.SpeedButton1->click();
        window.grab();
        std::printf("store: %s (%lld objects)\n", qPrintable(store), objects);
        MeasureHeaderClick(window, orderedIsql);
        return 0;
    }

    QElapsedTimer timer;
    timer.start();
    window.SpeedButton1->click();
    window.grab(); // paints the first screen: every visible cell is read
    const double firstScreen = double(timer.nsecsElapsed()) / 1e9;
    const int shown = window.DBGrid1->model()->rowCount();

    // The count line fills by itself: the window idles meanwhile.
    while (window.lbl_CountRec->text() == QLatin1String("..."))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double counted = double(timer.nsecsElapsed()) / 1e9;
    const int rows = window.Query1->fetchedCount();

    // Again, scrolling a page at a time while the window counts: no step
    // may wait for the store.
    window.SpeedButton1->click();
    QScrollBar *bar = window.DBGrid1->verticalScrollBar();
    double worst = 0, total = 0;
    int steps = 0;
    std::vector<double> times;
    double takingWorst = 0;
    while (window.lbl_CountRec->text() == QLatin1String("...")) {
        QElapsedTimer step;
        step.start();
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents(); // takes the rows that came
        takingWorst = std::max(takingWorst, double(step.nsecsElapsed()) / 1e9);
        window.DBGrid1->viewport()->grab();
        const double s = double(step.nsecsElapsed()) / 1e9;
        worst = std::max(worst, s);
        total += s;
        times.push_back(s);
        ++steps;
    }
    window.Query1->close();
    std::sort(times.begin(), times.end());
    const double p99 = times.empty() ? 0 : times[std::size_t(double(times.size() - 1) * 0.99)];

    // The same rows fetched at once, nothing else going on.
    QElapsedTimer full;
    full.start();
    DbDataSet all;
    all.setConnection(&conn);
    all.sql() = ResultQueryLines(QString(), QStringLiteral("t_o.ID_THIS"));
    all.open();
    all.last();
    const double fullFetch = double(full.nsecsElapsed()) / 1e9;

    std::printf("store: %s (%lld objects)\n", qPrintable(store), objects);
    std::printf("first screen after \"Переоткрыть\": %.3f s (%d rows in the grid)\n", firstScreen, shown);
    std::printf("  with attaching first:             %.3f s\n", attachSeconds + firstScreen);
    std::printf("isql-fb SELECT FIRST 100 (whole run): %.3f s\n", isql100);
    std::printf("ratio (window / isql-fb) %.2f, with attaching %.2f\n", firstScreen / isql100,
                (attachSeconds + firstScreen) / isql100);
    std::printf("count line shown after %.3f s (%d rows); full fetch alone %.3f s (%d rows): ratio %.2f\n", counted,
                rows, fullFetch, all.fetchedCount(), counted / fullFetch);
    std::printf("scrolling while counting: %d steps, %.1f ms per step, 99th percentile %.1f ms, worst %.1f ms\n",
                steps, steps ? 1000 * total / steps : 0.0, 1000 * p99, 1000 * worst);
    std::printf("  of which taking the rows that came (before painting): worst %.1f ms\n", 1000 * takingWorst);
    window.SpeedButton1->click();
    window.grab();
    MeasureHeaderClick(window, orderedIsql);
    return 0;
}
