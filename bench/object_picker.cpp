// bench/object_picker [--objects N] [--server]
// The object picker over N generated objects (default 1,000,000): the time
// from pressing the search button to the first screen of found objects
// painted, with the default filter (base objects) and with a name fragment,
// against isql-fb running SELECT FIRST 100 of the same statement in the same
// run. With --server (a Firebird server of the bench's own on loopback): typing a
// 40-character identifier into the filter page's parent line over the
// server, where every change looks the caption up.

#include "bench_common.h"

#include "common/private_server.h"

#include "db/db_connection.h"
#include "pickers/object_picker.h"
#include "pickers/object_search.h"
#include "query/filter_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QToolButton>
#include <cstdio>

namespace {

struct Search {
    const char *title;
    bool byName;
    QString fragment;
};

// isql-fb first: the embedded engine lets one process at a time hold the file.
double isqlFirst100(const QString &store, const Search &s)
{
    ObjectSearchCriteria c;
    c.byName = s.byName;
    c.fragment = s.fragment;
    return RunIsql(store, SelectFirst(ObjectSearchLines(ObjectSearchCondition(c)), 100).join('\n'));
}

void searchFirstScreen(DbConnection &conn, const Search &s, double isql)
{
    TDlg_Tree_Obj_Select window;
    window.resize(1000, 700);
    window.bind(&conn, QString());
    window.CB_Yes_NameObj->setChecked(s.byName);
    window.Edit_Substr->setText(s.fragment);
    window.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    window.SpeedButton1->click();
    window.grab(); // every visible cell is read and drawn
    const double ours = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%s: first screen %.3f s, isql-fb SELECT FIRST 100 (whole run) %.3f s, ratio %.2f\n", s.title, ours,
                isql, ours / isql);
}

void typingOverServer(const QString &store)
{
    // A server of the bench's own, on a free port; it opens a copy of the
    // store in its database folder.
    const std::unique_ptr<PrivateServer> server = PrivateServer::start();
    if (!server) {
        std::printf("typing over a server: no server (%s)\n", qPrintable(PrivateServer::lastError()));
        return;
    }
    const QString copy = server->databaseFolder() + QStringLiteral("/") + QFileInfo(store).fileName();
    QFile::copy(store, copy);
    DbConnection conn;
    conn.setDatabaseName(server->host() + QStringLiteral(":") + copy);
    conn.setUserName(QStringLiteral("SYSDBA"));
    conn.setPassword(server->sysdbaPassword());
    conn.open();
    FilterPage page;
    page.setConnection(&conn);
    page.show();
    const QString id = QStringLiteral("9-12345") + QString(33, QChar('7'));
    double total = 0, worst = 0;
    for (QChar c : id) {
        QElapsedTimer key;
        key.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(page.Edit_ID_Parent, &press);
        QCoreApplication::processEvents(); // the caption of the line as it stands
        const double s = double(key.nsecsElapsed()) / 1e9;
        total += s;
        worst = std::max(worst, s);
    }
    std::printf("typing %lld characters over localhost: %.1f ms per keystroke with its caption lookup, worst %.1f ms "
                "(a frame is 16.7 ms); last caption \"%s\"\n",
                qsizetype(id.size()), 1000 * total / double(id.size()), 1000 * worst,
                qPrintable(page.Label_Parent_Name->text()));
}

const char kUsage[] = "usage: object_picker [--objects N] [--server]\n"
                      "  The object search's first screen over N generated objects (default 1,000,000) against\n"
                      "  isql-fb. --server: typing a parent identifier over a server of the\n"
                      "  bench's own on loopback.\n";

} // namespace

int main(int argc, char **argv)
{
    PreferOffscreen();
    QApplication app(argc, argv);
    const BenchArgs args = ParseBenchArgs(app.arguments(), kUsage, {QStringLiteral("--objects")}, {QStringLiteral("--server")});
    const long long objects = args.objects;
    const QString store = EnsureBenchStore(objects);
    WarmFileCache(store);
    std::printf("store: %s (%lld objects)\n", qPrintable(store), objects);
    const Search searches[] = {{"default filter (base objects)", false, QString()},
                               {"name containing \"№777\"", true, QStringLiteral("№777")}};
    double isql[2];
    for (int i = 0; i < 2; ++i)
        isql[i] = isqlFirst100(store, searches[i]);
    {
        DbConnection conn;
        OpenBenchStore(conn, store);
        for (int i = 0; i < 2; ++i)
            searchFirstScreen(conn, searches[i], isql[i]);
    }
    if (args.flags.contains(QStringLiteral("--server")))
        typingOverServer(store);
    return 0;
}
