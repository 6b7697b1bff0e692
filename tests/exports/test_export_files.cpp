// What the exports leave on disk when they do not end well: nothing of a
// page whose export was killed, and where a disk fills up, a message that
// says so and names the file.

#include "exports/html_export.h"
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

// export_child with TMPDIR set; when `full` is given, that folder is a file
// system of 64 KB for the child (in a mount namespace of its own, as an
// ordinary user may have one).
void startChild(QProcess &child, const QString &tmpdir, const QStringList &args, const QString &full = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmpdir);
    child.setProcessEnvironment(env);
    if (full.isEmpty())
        child.start(EXPORT_CHILD, args);
    else
        // What is left in the full file system is listed on stdout.
        child.start("unshare", QStringList{"-rm", "sh", "-c",
                                           "mount -t tmpfs -o size=64k none \"$0\" || exit 97; \"$@\"; s=$?; ls -A \"$0\"; exit $s",
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
        QCOMPARE(entries(temp.path()), QStringList());
        QCOMPARE(entries(chosen.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestExportFiles)
#include "test_export_files.moc"
