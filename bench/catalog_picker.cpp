// bench/catalog_picker
// The object type picker over a catalog of 10,000 types: 10 sections of 10
// macro-groups of 10 groups of 10 types, and one more group that holds 10,000
// types by itself. Opening the picker (four statements, the first screens
// drawn) and moving to the next section (three statements) or group (one),
// against isql-fb running the same statements in the same run.

#include "bench_common.h"
#include "store_writer.h"

#include "db/db_connection.h"
#include "db/store_wait.h"
#include "db/dataset_model.h"
#include "pickers/catalog_cascade.h"
#include "pickers/type_picker.h"
#include "widgets/db_grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <cstdio>

namespace {

void fillCatalog(StoreWriter &w)
{
    auto level = [&](const char *table) {
        return w.prepare(QStringLiteral("INSERT INTO %1 (NUMPP, NAME_MAX, NAME_MIN, ID_THIS, ID_GRP) VALUES (?, ?, ?, ?, ?)")
                             .arg(QLatin1String(table)));
    };
    auto top = level("L_TYPEOBJ_TOP");
    auto macro = level("L_TYPEOBJ_MACRO");
    auto grp = level("L_TYPEOBJ_GRP");
    auto list = w.prepare(QStringLiteral("INSERT INTO L_TYPEOBJ_LIST (NUMPP, NAME_MAX, NAME_MIN, ID_THIS, ID_GRP, "
                                         "ITS_ABSTRACT, ID_KIND) VALUES (?, ?, ?, ?, ?, 0, 1)"));
    for (int s = 1; s <= 10; ++s) {
        const QString sid = QStringLiteral("1-%1").arg(s);
        w.run(top, {qint64(s), QStringLiteral("Раздел %1").arg(s), QStringLiteral("Р%1").arg(s), sid, QStringLiteral("0")});
        for (int m = 1; m <= 10; ++m) {
            const QString mid = sid + QStringLiteral("-%1").arg(m);
            w.run(macro, {qint64(m), QStringLiteral("Макро %1").arg(mid), QStringLiteral("М"), mid, sid});
            for (int g = 1; g <= 10; ++g) {
                const QString gid = mid + QStringLiteral("-%1").arg(g);
                w.run(grp, {qint64(g), QStringLiteral("Группа %1").arg(gid), QStringLiteral("Г"), gid, mid});
                for (int t = 1; t <= 10; ++t)
                    w.run(list, {qint64(t), QStringLiteral("Тип %1-%2").arg(gid).arg(t), QStringLiteral("Т"),
                                 gid + QStringLiteral("-%1").arg(t), gid});
            }
        }
        w.commit();
    }
    // One group of 10,000 types, in the first section's first macro-group.
    w.run(grp, {qint64(0), QStringLiteral("Большая группа"), QStringLiteral("Б"), QStringLiteral("1-1-1-0"),
                QStringLiteral("1-1-1")});
    for (int t = 1; t <= 10000; ++t)
        w.run(list, {qint64(10001 - t), QStringLiteral("Тип большой группы %1").arg(t), QStringLiteral("Т"),
                     QStringLiteral("2-%1").arg(t), QStringLiteral("1-1-1-0")});
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    PreferOffscreen();
    QApplication app(argc, argv);
    ParseBenchArgs(app.arguments(),
                   "usage: catalog_picker\n"
                   "  The object type picker over a catalog of 10,000 types against isql-fb running the\n"
                   "  same statements.\n",
                   {});
    const QString store = EnsureStore(QStringLiteral("catalog_10000.fdb"), fillCatalog);
    const QStringList macroLevel = ChildStatement(QStringLiteral("L_TYPEOBJ_MACRO"), {QStringLiteral("    ID_GRP ")},
                                                  QStringLiteral("1-2"));
    const QStringList grpLevel = ChildStatement(QStringLiteral("L_TYPEOBJ_GRP"), {QStringLiteral("    ID_GRP ")},
                                                QStringLiteral("1-2-1"));
    const QStringList bigList =
        ChildStatement(QStringLiteral("L_TYPEOBJ_LIST"),
                       {QStringLiteral("    ID_GRP, "), QStringLiteral("    ITS_ABSTRACT, "), QStringLiteral("    ID_KIND ")},
                       QStringLiteral("1-1-1-0"));
    const QString three = QStringList{macroLevel.join('\n') + ";", grpLevel.join('\n') + ";",
                                      ChildStatement(QStringLiteral("L_TYPEOBJ_LIST"), {QStringLiteral("    ID_GRP ")},
                                                     QStringLiteral("1-2-1-1")).join('\n')}
                              .join('\n');
    WarmFileCache(store, QStringLiteral("L_TYPEOBJ_LIST"));
    const double isqlSection = RunIsql(store, three) * 1000;
    const double isqlBig = RunIsql(store, bigList.join('\n')) * 1000;

    DbConnection conn;
    OpenBenchStore(conn, store);
    double open = 0, section = 0, group = 0, bigGroup = 0;
    int sectionMoves = 0;
    QElapsedTimer total;
    TDlg_TypeObj_Select window;
    window.resize(751, 541);
    // Measured once the picker is up with its first rows: a timer fires in
    // any event loop, the waits for the picker's own first statements too.
    std::function<void()> measure;
    measure = [&] {
        if (StoreCallWaiting() || !window.isVisible() || window.DataSource_Top->rowCount() == 0 ||
            window.DataSource_Grp->rowCount() < 2) {
            QTimer::singleShot(1, &window, measure);
            return;
        }
        window.grab();
        open = ms(total);
        for (int s = 1; s < 10; ++s, ++sectionMoves) {
            QElapsedTimer t;
            t.start();
            window.DBGrid1->setCurrentIndex(window.DataSource_Top->index(s % window.DataSource_Top->rowCount(), 1));
            window.grab();
            section += ms(t);
        }
        window.DBGrid1->setCurrentIndex(window.DataSource_Top->index(0, 1));
        QElapsedTimer g;
        g.start();
        window.DBGrid3->setCurrentIndex(window.DataSource_Grp->index(1, 1));
        window.grab();
        group = ms(g);
        QElapsedTimer b;
        b.start();
        window.DBGrid3->setCurrentIndex(window.DataSource_Grp->index(0, 1)); // the group of 10,000 (NUMPP 0)
        window.grab();
        bigGroup = ms(b);
        std::printf("big group shows %d of its %s rows fetched\n", window.DataSource_List->rowCount(),
                    window.pFIBDataSet_List->isAllFetched() ? "all" : "not all");
        window.reject();
    };
    QTimer::singleShot(0, &window, measure);
    total.start();
    window.Execute(&conn);
    std::printf("store: %s\n", qPrintable(store));
    std::printf("open, first screens drawn: %.1f ms\n", open);
    std::printf("next section (3 statements, drawn): %.1f ms; isql-fb the same 3 statements (whole run) %.1f ms; "
                "ratio %.2f\n",
                section / sectionMoves, isqlSection, section / sectionMoves / isqlSection);
    std::printf("next group (1 statement, drawn): %.1f ms\n", group);
    std::printf("group of 10,000 types (drawn): %.1f ms; isql-fb fetching all of them %.1f ms; ratio %.2f\n", bigGroup,
                isqlBig, bigGroup / isqlBig);
    return 0;
}
