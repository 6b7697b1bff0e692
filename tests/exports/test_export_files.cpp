// What the exports leave on disk when they do not end well: nothing of a
// page whose export was killed, and where a disk fills up, a message that
// says so and names the file.

#include "common/test_store.h"
#include "exports/html_export.h"
#include "exports/work_folder.h"
#include "support/app_error.h"
#include "support/files.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// What is left in a temporary folder: an empty folder of the user's own
// that the workbooks are built in does not count.
QStringList leftovers(const QString &dir)
{
    QStringList left = entries(dir);
    left.removeIf([&](const QString &name) {
        return name.startsWith("vrkx-query-") && entries(QDir(dir).filePath(name)).isEmpty();
    });
    return left;
}

// export_child with TMPDIR set; when `full` is given, that folder is a file
// system of 64 KB for the child (in a mount namespace of its own, as an
// ordinary user may have one).
void startChild(QProcess &child, const QString &tmpdir, const QStringList &args, const QString &full = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmpdir);
    env.remove("XDG_RUNTIME_DIR"); // the user's own folder under TMPDIR
    child.setProcessEnvironment(env);
    if (full.isEmpty())
        child.start(EXPORT_CHILD, args);
    else
        // What is left in the full file system is listed on stdout.
        child.start("unshare", QStringList{"-rm", "sh", "-c",
                                           "mount -t tmpfs -o size=64k none \"$0\" || exit 97; \"$@\"; s=$?; "
                                           "rmdir \"$0\"/vrkx-query-* 2>/dev/null; ls -A \"$0\"; exit $s",
                                           full, EXPORT_CHILD} + args);
}

} // namespace

class TestExportFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    // A page export killed while it writes leaves no file, neither in the
    // temporary folder nor in the folder the program runs in: the page has
    // no name until it is saved.
    void killedPageExport()
    {
        const QString temp = dir_.filePath("temp"), work = dir_.filePath("work");
        QVERIFY(QDir().mkpath(temp) && QDir().mkpath(work));
        QProcess child;
        child.setWorkingDirectory(work);
        startChild(child, temp, {"page"});
        QVERIFY(child.waitForReadyRead(60000));
        QCOMPARE(child.readAllStandardOutput(), QByteArray("writing\n"));
        // Several megabytes are written into a file the child holds open.
        const QString fds = QStringLiteral("/proc/%1/fd").arg(child.processId());
        QStringList open;
        for (const QString &fd : QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            open << QFile::symLinkTarget(fds + "/" + fd);
        QCOMPARE(open.filter(QRegularExpression("^" + QRegularExpression::escape(temp)
                                                + "/VRKX_Query_page_\\w+ \\(deleted\\)$")).size(), 1);
        QCOMPARE(entries(temp), QStringList());
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(entries(temp), QStringList());
        QCOMPARE(entries(work), QStringList());
    }

    // Without a temporary folder the page is written, as nameless, in the
    // folder offered for it.
    void noTemporaryFolder()
    {
        const QByteArray tmpdir = qEnvironmentVariableIsSet("TMPDIR") ? qgetenv("TMPDIR") : QByteArray();
        qputenv("TMPDIR", QFile::encodeName(dir_.filePath("missing")));
        QTemporaryDir offered(dir_.filePath("offered-XXXXXX"));
        {
            TemporaryPage page(offered.path());
            QCOMPARE(page.device().write("<html>"), 6);
            QCOMPARE(entries(offered.path()), QStringList());
            page.saveAs(offered.filePath("page.htm"));
        }
        QVERIFY_THROWS_EXCEPTION(AppError, TemporaryPage(dir_.filePath("missing")));
        tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpdir);
        QCOMPARE(entries(offered.path()), QStringList{"page.htm"});
        QCOMPARE(ReadWholeFile(offered.filePath("page.htm")), QByteArray("<html>"));
    }

    // A full disk is said as such, naming the file (or, for the temporary
    // file, the folder it was in), and nothing is left in the temporary
    // folder.
    void fullDisk_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("tempFull"); // else the chosen file's folder
        QTest::newRow("page, temporary folder full") << "page" << true;
        QTest::newRow("page, chosen folder full") << "page" << false;
        QTest::newRow("workbook, temporary folder full") << "book" << true;
        QTest::newRow("workbook, chosen folder full") << "book" << false;
    }
    void fullDisk()
    {
        QFETCH(QString, kind);
        QFETCH(bool, tempFull);
        QTemporaryDir temp(dir_.filePath("temp-XXXXXX")), chosen(dir_.filePath("chosen-XXXXXX"));
        const QString full = tempFull ? temp.path() : chosen.path();
        QProcess probe;
        probe.start("unshare", {"-rm", "sh", "-c", "mount -t tmpfs -o size=64k none \"$0\"", full});
        if (!probe.waitForFinished() || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
            QSKIP("no mount namespace of the test's own here (unshare -rm)");

        const QString file = chosen.filePath(kind == "page" ? "page.htm" : "book.xlsx");
        QProcess child;
        startChild(child, temp.path(), {kind, file}, full);
        QVERIFY(child.waitForFinished(120000));
        const QString said = QString::fromUtf8(child.readAllStandardError());
        QCOMPARE(child.exitCode(), 1);
        QVERIFY2(said.contains(tempFull ? NoSpaceText(full + "/") : NoSpaceText(file)), qPrintable(said));
        QCOMPARE(child.readAllStandardOutput(), QByteArray());
        QCOMPARE(leftovers(temp.path()), QStringList());
        QCOMPARE(entries(chosen.path()), QStringList());
    }

    // A workbook export killed while its rows are written, or while the
    // finished workbook waits for the save dialog: while it lives, the
    // workbook is the user's alone (folders 0700, file 0600); once it is
    // killed, the next export sweeps what it left, and nothing stays.
    void killedWorkbookExport_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("writing the rows") << "rows";
        QTest::newRow("at the save dialog") << "finished";
    }
    void killedWorkbookExport()
    {
        QFETCH(QString, when);
        QTemporaryDir temp(dir_.filePath("temp-XXXXXX")), chosen(dir_.filePath("chosen-XXXXXX"));
        QProcess child;
        startChild(child, temp.path(), {"book-wait", when});
        QVERIFY(child.waitForReadyRead(60000));
        const QString said = QString::fromUtf8(child.readAllStandardOutput()).trimmed();
        QVERIFY2(said.startsWith("waiting "), qPrintable(said));
        const QString own = WorkFolder::root(QString(), temp.path());
        QCOMPARE(FileMode(own), 0700);
        const QStringList books = entries(own);
        QCOMPARE(books.size(), 1);
        const QString folder = QDir(own).filePath(books.value(0));
        QCOMPARE(FileMode(folder), 0700);
        QCOMPARE(FileMode(folder + "/VRKX_Query_Result.xlsx"), 0600);
        if (when == "finished")
            QCOMPARE(said.mid(8), folder + "/VRKX_Query_Result.xlsx");
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        QCOMPARE(entries(own), books); // left by the killed run

        QProcess next;
        startChild(next, temp.path(), {"book", chosen.filePath("next.xlsx")});
        QVERIFY(next.waitForFinished(60000));
        QCOMPARE(next.exitCode(), 0);
        QCOMPARE(leftovers(temp.path()), QStringList());
        QCOMPARE(entries(chosen.path()), QStringList{"next.xlsx"});
    }
};

QTEST_GUILESS_MAIN(TestExportFiles)
#include "test_export_files.moc"
