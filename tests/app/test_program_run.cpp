// The real program, started as users start it: signals end it as a close
// does, and an ordinary user opens a local store while a Firebird server runs
// on the machine; a store that the server holds stays refused.

#include "app/settings.h"
#include "common/ordinary_user.h"
#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/db_error.h"
#include "db/engine_lock_folder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kExportObjects = 400000; // an export long enough to be caught writing

} // namespace

class TestProgramRun : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString bigStore_; // enough objects for an export to take a few seconds

    // A portable folder with the program and a store in it.
    QString prepareFolder(const QString &name)
    {
        const QString folder = dir_.filePath(name);
        QDir().mkpath(folder);
        QFile::copy(QCoreApplication::applicationDirPath() + "/VRKX_Query", folder + "/VRKX_Query");
        MakeTestStore(folder, "s.fdb", [](StoreWriter &w) { AddObject(w, "1", "Объект"); });
        return folder;
    }

    // A temporary folder of the test's own: the program's single-instance
    // lock, its own lock folder and its workbooks stay out of the way of a
    // program the user runs on this machine, and of the other tests.
    QString temporaryFolder()
    {
        const QString tmp = dir_.filePath("tmp");
        QDir().mkpath(tmp);
        ::chmod(QFile::encodeName(tmp).constData(), 01777);
        return tmp;
    }

    // Starts the program of the folder with the arguments; the driver
    // library goes the way drive says (see program_driver.cpp).
    bool launch(QProcess &p, const QString &folder, const QStringList &arguments, const QStringList &prefix = {},
                const QString &drive = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", folder);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.remove("FIREBIRD_LOCK");
        env.remove("XDG_RUNTIME_DIR");
        env.insert("TMPDIR", temporaryFolder());
        if (!drive.isEmpty()) {
            env.insert("LD_PRELOAD", PROGRAM_DRIVER);
            env.insert("VRKX_TEST_DRIVE", drive);
        }
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(folder);
        const QStringList all = QStringList{folder + "/VRKX_Query"} + arguments;
        p.start(prefix.isEmpty() ? all[0] : prefix[0], prefix.mid(1) + (prefix.isEmpty() ? all.mid(1) : all));
        return p.waitForStarted();
    }

    // Waits until the program says the line on its standard output.
    static bool says(QProcess &p, const QByteArray &line, int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            while (p.canReadLine())
                if (p.readLine().trimmed() == line)
                    return true;
            if (p.state() != QProcess::Running || !p.waitForReadyRead(200))
                if (p.state() != QProcess::Running)
                    return false;
        }
        return false;
    }

    // Starts the program on the folder's store and waits until it holds it.
    bool start(QProcess &p, const QString &folder, const QStringList &prefix = {}, const QString &drive = QString())
    {
        if (!launch(p, folder, {folder + "/s.fdb"}, prefix, drive))
            return false;
        // Open and switched to: the store held, the settings file naming it.
        for (int i = 0; i < 300; ++i) {
            if (ProcessHolds(p.processId(), folder + "/s.fdb")
                && ReadCurrentDb(folder + "/").FullFileNameGDB == folder + "/s.fdb")
                return true;
            if (p.waitForFinished(100))
                return false;
        }
        return false;
    }

    // Ends the program with the signal; true when it ended within 5 s with
    // status 0 and wrote the settings file as it closed.
    void endsAsAClose(QProcess &p, const QString &folder, int signalNumber, QString store = QString())
    {
        if (store.isEmpty())
            store = folder + "/s.fdb";
        const QString ini = folder + "/" + AppFiles::Settings;
        QFile::remove(ini); // written when the store opened: it must come again
        QElapsedTimer clock;
        clock.start();
        ::kill(pid_t(p.processId()), signalNumber);
        QVERIFY2(p.waitForFinished(10000), "the program did not end");
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(ReadCurrentDb(folder + "/").FullFileNameGDB, store);
    }

private slots:
    void initTestCase()
    {
        bigStore_ = MakeTestStore(dir_.path(), "big.fdb", [](StoreWriter &w) {
            AddType(w, "10", "Задвижка", "Задв", "VALVE");
            w.exec(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
                                  "INSERT INTO OBJECTS_TREE (ID_THIS, NUMPP, NAME_MAX, NOTE, ID_TYPE, ITS_BASE, ITS_GLOBAL) "
                                  "VALUES ('1-' || LPAD(:I, 6, '0'), :I, 'Задвижка ' || :I, 'Примечание ' || :I, '10', 1, 0); "
                                  "I = I + 1; END END")
                       .arg(kExportObjects));
        });
    }

    void signalsEndAsAClose_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void signalsEndAsAClose()
    {
        QFETCH(int, signalNumber);
        const QString folder = prepareFolder(QString::number(signalNumber));
        QProcess p;
        QVERIFY(start(p, folder));
        endsAsAClose(p, folder, signalNumber);
    }

    // A signal while the wait window is up over a stopped server (the
    // program attaching to the store it remembers), or while an export
    // writes its rows: the program ends all the same, within 5 s, with
    // status 0, the settings written, nothing of the export left.
    void signalsEndEveryState_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("stopped server, SIGTERM") << "server" << int(SIGTERM);
        QTest::newRow("stopped server, SIGINT") << "server" << int(SIGINT);
        QTest::newRow("stopped server, SIGHUP") << "server" << int(SIGHUP);
        QTest::newRow("workbook export, SIGTERM") << "export-xlsx" << int(SIGTERM);
        QTest::newRow("page export, SIGINT") << "export-html" << int(SIGINT);
        QTest::newRow("workbook export, SIGHUP") << "export-xlsx" << int(SIGHUP);
    }
    void signalsEndEveryState()
    {
        QFETCH(QString, state);
        QFETCH(int, signalNumber);
        const QString folder = dir_.filePath(state + QString::number(signalNumber));
        QDir().mkpath(folder);
        QFile::copy(QCoreApplication::applicationDirPath() + "/VRKX_Query", folder + "/VRKX_Query");
        QProcess p;
        if (state == "server") {
            std::optional<TestServer> server;
            VRKX_TEST_SERVER_OR_SKIP(server);
            const QString path = server->dir + QStringLiteral("/signal_%1.fdb").arg(signalNumber);
            StoreWriter::create(server->host + ":" + path, server->user, server->password)->close();
            const QString store = server->host + ":" + path;
            SaveCurrentDb(folder + "/", {"", "", store, server->user, server->password});
            QVERIFY(server->process->pause());
            struct Resume {
                PrivateServer *server;
                ~Resume() { server->resume(); }
            } resume{server->process};
            QVERIFY(launch(p, folder, {}, {}, "watch"));
            QVERIFY2(says(p, "wait", 30000), "no wait window");
            endsAsAClose(p, folder, signalNumber, store);
            return;
        }
        QVERIFY(QFile::copy(bigStore_, folder + "/s.fdb"));
        QVERIFY(start(p, folder, {}, state));
        QVERIFY2(says(p, "exporting", 60000), "no export");
        endsAsAClose(p, folder, signalNumber);
        // The export stopped and took what it had begun with it.
        const QString own = QDir(temporaryFolder()).filePath(QStringLiteral("vrkx-query-%1").arg(::geteuid()));
        QCOMPARE(QDir(own).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(QDir(temporaryFolder()).entryList({"VRKX_Query_page*"}, QDir::Files), QStringList());
    }

    // The server made /tmp/firebird its own: an ordinary user gets a lock
    // folder of their own and opens the store; the settings come at close.
    void ordinaryUserOpensALocalStore()
    {
        const OrdinaryUser user = PrepareOrdinaryUser();
        QVERIFY2(user.error.isEmpty(), qPrintable(user.error));
        if (!user.skip.isEmpty())
            QSKIP(qPrintable(user.skip));
        const uid_t uid = user.uid;
        const gid_t gid = user.gid;
        const QString folder = prepareFolder("nobody");
        QDir().mkpath(dir_.path()); // the temporary folder must be enterable
        ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
        for (const QString &f : {folder, folder + "/VRKX_Query", folder + "/s.fdb"})
            QVERIFY(::chown(QFile::encodeName(f).constData(), uid, gid) == 0);
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        QVERIFY2(start(p, folder, {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"}),
                 "the store did not open");
        endsAsAClose(p, folder, SIGTERM);
    }

    // A store that the server holds is refused to the embedded engine, also
    // with a lock folder of the program's own, and stays whole.
    void storeHeldByTheServerIsRefused()
    {
        std::optional<TestServer> server;
        VRKX_TEST_SERVER_OR_SKIP(server);
        const QString path = server->dir + QStringLiteral("/held_%1.fdb").arg(QCoreApplication::applicationPid());
        auto w = StoreWriter::create(server->host + ":" + path, server->user, server->password);
        for (int i = 0; i < 50; ++i)
            AddObject(*w, QString::number(i), QStringLiteral("Объект %1").arg(i));
        w->commit();
        // The writer stays attached: the server holds the file.
        DbConnection local;
        local.setDatabaseName(path);
        local.setUserName("SYSDBA");
        try {
            local.open();
            QFAIL("opened twice");
        } catch (const DbError &e) {
            qInfo("refused: %s", qPrintable(e.message()));
            QVERIFY2(e.message().contains(QStringLiteral("занят другим процессом")), qPrintable(e.message()));
        }
        QVERIFY(!local.isOpen());
        w->close();
        DbConnection remote;
        remote.setDatabaseName(server->host + ":" + path);
        remote.setUserName(server->user);
        remote.setPassword(server->password);
        remote.open();
        DbDataSet ds;
        ds.setConnection(&remote);
        ds.sql() << "SELECT ID_THIS, NAME_MAX FROM OBJECTS_TREE ORDER BY NAME_MAX";
        ds.open();
        ds.last();
        QCOMPARE(ds.fetchedCount(), 50);
        remote.close();
        QFile::remove(path);
    }
};

int main(int argc, char **argv)
{
    // This process uses a lock folder of its own, as the program does for an
    // ordinary user.
    QTemporaryDir lockDir;
    qputenv("FIREBIRD_LOCK", QFile::encodeName(lockDir.path()));
    QCoreApplication app(argc, argv);
    TestProgramRun test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_program_run.moc"
