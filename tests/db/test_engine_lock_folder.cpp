// The lock folder of the user's own: where it goes, that nobody else's
// folder (or a link) standing under its name is ever taken for it, that a
// name taken beforehand by another user leads to one nobody can foresee
// (the same for every later run), and that where no folder can be had, or
// FIREBIRD_LOCK names a bad one, a local store's attach says so in Russian.
// The choice as the program makes it runs as an ordinary user too.

#include "common/test_store.h"
#include "db/engine_lock_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

class TestEngineLockFolder : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    static int mode(const QString &path)
    {
        struct stat st = {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        return int(st.st_mode & 0777);
    }

private slots:
    void place()
    {
        QCOMPARE(OwnLockFolder("/run/user/1000", "/tmp", 1000), QStringLiteral("/run/user/1000/vrkx-firebird-1000"));
        QCOMPARE(OwnLockFolder("", "/var/tmp", 7), QStringLiteral("/var/tmp/vrkx-firebird-7"));
        QCOMPARE(OwnLockFolder("relative", "/tmp", 7), QStringLiteral("/tmp/vrkx-firebird-7"));
    }

    void privateFolder()
    {
        const QString made = dir_.filePath("made");
        QVERIFY(MakePrivateFolder(made));
        QCOMPARE(mode(made), 0700);
        // Ours with a wider mode: narrowed.
        ::chmod(QFile::encodeName(made).constData(), 0777);
        QVERIFY(MakePrivateFolder(made));
        QCOMPARE(mode(made), 0700);
        // A link or a file under the name: never.
        const QString link = dir_.filePath("link");
        QVERIFY(QFile::link(made, link));
        QVERIFY(!MakePrivateFolder(link));
        QFile file(dir_.filePath("file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(!MakePrivateFolder(file.fileName()));
        // Somebody else's folder.
        if (::geteuid() == 0) {
            const QString other = dir_.filePath("other");
            QVERIFY(QDir().mkdir(other));
            QVERIFY(::chown(QFile::encodeName(other).constData(), 65534, 65534) == 0);
            QVERIFY(!MakePrivateFolder(other));
        }
    }

    void usable()
    {
        QVERIFY(LockFolderUsable(dir_.filePath("not-yet"))); // can be made
        QVERIFY(!LockFolderUsable(dir_.filePath("missing/deeper")));
        QVERIFY(LockFolderUsable(dir_.path()));
        QFile file(dir_.filePath("a-file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(!LockFolderUsable(file.fileName()));
    }

    // The choice, step by step: FIREBIRD_LOCK kept (or said to be bad), the
    // default, the runtime folder, the foreseeable name, and a name nobody
    // can foresee when that one is another user's, recorded for the next
    // runs; with nowhere to go, the folders tried are named.
    void choice_data()
    {
        QTest::addColumn<QString>("lock");     // FIREBIRD_LOCK
        QTest::addColumn<bool>("defaultUsable");
        QTest::addColumn<bool>("runtime");
        QTest::addColumn<bool>("squatted");    // the foreseeable name is another user's
        QTest::addColumn<bool>("tempMissing");
        QTest::addColumn<QString>("record");   // what the record file says beforehand
        QTest::addColumn<QString>("expected"); // "", "runtime", "own", "unforeseeable", "problem"
        QTest::newRow("FIREBIRD_LOCK kept") << "LOCK" << false << true << false << false << "" << "";
        QTest::newRow("FIREBIRD_LOCK bad") << "missing/deeper" << true << true << false << false << "" << "problem";
        QTest::newRow("default") << "" << true << true << false << false << "" << "";
        QTest::newRow("runtime folder") << "" << false << true << false << false << "" << "runtime";
        QTest::newRow("temporary folder") << "" << false << false << false << false << "" << "own";
        QTest::newRow("relative record") << "" << false << false << false << false << "recorded" << "own";
        QTest::newRow("name taken") << "" << false << false << true << false << "" << "unforeseeable";
        QTest::newRow("nowhere") << "" << false << false << false << true << "" << "problem";
    }
    void choice()
    {
        QFETCH(QString, lock);
        QFETCH(bool, defaultUsable);
        QFETCH(bool, runtime);
        QFETCH(bool, squatted);
        QFETCH(bool, tempMissing);
        QFETCH(QString, record);
        QFETCH(QString, expected);
        QTemporaryDir root;
        LockFolderPlaces places;
        places.lockVariable = lock.isEmpty() ? QString() : root.filePath(lock);
        places.defaultFolder = defaultUsable ? root.filePath("default") : root.filePath("no/default");
        places.runtimeDir = root.filePath(runtime ? "run" : "no/run"); // a missing one is no place
        places.tempDir = root.filePath(tempMissing ? "no/temp" : "temp");
        places.recordFile = root.filePath("home/.local/share/VRKX_Query/firebird-lock-folder");
        places.uid = ::geteuid();
        QDir().mkpath(root.filePath("run"));
        QDir().mkpath(root.filePath("temp"));
        QDir().mkpath(root.filePath("LOCK"));
        const QString own = OwnLockFolder(QString(), places.tempDir, places.uid);
        if (!record.isEmpty()) { // a record that names no absolute path is not taken
            QDir().mkpath(QFileInfo(places.recordFile).absolutePath());
            QFile out(places.recordFile);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(record.toUtf8() + '\n');
        }
        if (squatted) {
            if (::geteuid() != 0)
                QSKIP("needs root to make a folder of another user");
            QVERIFY(QDir().mkdir(own));
            QVERIFY(::chown(QFile::encodeName(own).constData(), 65534, 65534) == 0);
        }
        const LockFolderChoice choice = ChooseEngineLockFolder(places);
        if (expected == "problem") {
            QCOMPARE(choice.folder, QString());
            QVERIFY2(choice.problem.contains("FIREBIRD_LOCK"), qPrintable(choice.problem));
            for (const QString &tried : choice.tried) // the folders tried are named
                QVERIFY2(choice.problem.contains(tried.section('/', 0, -2)), qPrintable(choice.problem));
            if (lock.isEmpty())
                QVERIFY2(choice.problem.contains(own) && !choice.problem.contains("no/run"), qPrintable(choice.problem));
            return;
        }
        QCOMPARE(choice.problem, QString());
        if (expected.isEmpty()) {
            QCOMPARE(choice.folder, QString());
            return;
        }
        if (expected == "runtime")
            QCOMPARE(choice.folder, OwnLockFolder(places.runtimeDir, places.tempDir, places.uid));
        else if (expected == "own")
            QCOMPARE(choice.folder, own);
        else
            QVERIFY2(choice.folder.startsWith(own + "-") && choice.folder != own + "-XXXXXX", qPrintable(choice.folder));
        QCOMPARE(FileMode(choice.folder), 0700);
        // The next run takes the same folder: the one recorded, when the
        // foreseeable name was taken.
        QCOMPARE(ChooseEngineLockFolder(places).folder, choice.folder);
        QCOMPARE(QFile::exists(places.recordFile), expected == "unforeseeable" || !record.isEmpty());
    }

    // The choice as the program makes it, before the client library is
    // used: FIREBIRD_LOCK is never overridden; a bad one is said in Russian
    // when a local store is opened, never for a server's.
    void preparedFromTheEnvironment()
    {
        qputenv("FIREBIRD_LOCK", QFile::encodeName(dir_.filePath("no/such/folder")));
        QCOMPARE(PrepareEngineLockFolder(), QString());
        QCOMPARE(qgetenv("FIREBIRD_LOCK"), QFile::encodeName(dir_.filePath("no/such/folder")));
        QVERIFY(EngineLockFolderProblem().contains("FIREBIRD_LOCK"));
        const DbError engine("I/O error", 335544344);
        const DbError local = LockFolderError("/data/store.fdb", engine);
        QVERIFY(local.message().startsWith(EngineLockFolderProblem()));
        QVERIFY(local.message().endsWith("I/O error"));
        QCOMPARE(local.gdsCode(), 335544344);
        QCOMPARE(LockFolderError("localhost/3051:/data/store.fdb", engine).message(), QString("I/O error"));
        QVERIFY(LockFolderError("./a:b.fdb", engine).message().startsWith(EngineLockFolderProblem()));
        QVERIFY(LockFolderError("/data/a:b.fdb", engine).message().startsWith(EngineLockFolderProblem()));
        qunsetenv("FIREBIRD_LOCK");
        PrepareEngineLockFolder();
        if (::geteuid() == 0) { // root may use the default: nothing to say
            QCOMPARE(EngineLockFolderProblem(), QString());
            QCOMPARE(LockFolderError("/data/store.fdb", engine).message(), QString("I/O error"));
        }
    }

    // An ordinary user, with no runtime folder (as in su or cron), on a
    // machine where a server made /tmp/firebird its own: another user took
    // every foreseeable name beforehand, yet the store opens, in the same
    // folder on every run; with nowhere to go, or a bad FIREBIRD_LOCK, the
    // attach says why in Russian. Paths with Cyrillic letters.
    void ordinaryUser_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::newRow("runtime folder") << "runtime";
        QTest::newRow("names taken") << "squatted";
        QTest::newRow("nowhere to go") << "nowhere";
        QTest::newRow("bad FIREBIRD_LOCK") << "bad";
        QTest::newRow("FIREBIRD_LOCK not to be entered") << "closed";
    }
    void ordinaryUser()
    {
        QFETCH(QString, setup);
        if (::geteuid() != 0)
            QSKIP("needs root to run the choice as another user");
        const passwd *nobody = ::getpwnam("nobody");
        if (!nobody || !::getgrnam("nogroup"))
            QSKIP("no user nobody");
        const uid_t uid = nobody->pw_uid;
        const QFileInfo fb(kDefaultEngineLockFolder);
        if (!fb.isDir() || fb.ownerId() == 0 || (fb.permissions() & QFile::WriteOther))
            QSKIP("/tmp/firebird is not a server's here: the default serves every user");
        QTemporaryDir root;
        ::chmod(QFile::encodeName(root.path()).constData(), 0755);
        const QString home = root.filePath("дом"), temp = root.filePath("Временная");
        QDir().mkpath(home);
        QDir().mkpath(temp);
        ::chown(QFile::encodeName(home).constData(), uid, uid_t(-1));
        ::chmod(QFile::encodeName(temp).constData(), setup == "nowhere" ? 0755 : 01777);
        // The store's own path in Latin letters: the engine takes it as text
        // of the connection's character set.
        QDir().mkpath(root.filePath("store"));
        ::chown(QFile::encodeName(root.filePath("store")).constData(), uid, uid_t(-1));
        const QString store = MakeTestStore(root.filePath("store"), "s.fdb", [](StoreWriter &w) { AddObject(w, "1", "Объект"); });
        ::chown(QFile::encodeName(store).constData(), uid, uid_t(-1));
        for (int i = 0; setup == "squatted" && i < 10; ++i) {
            const QString taken = OwnLockFolder(QString(), temp, uid) + (i ? QStringLiteral("-%1").arg(i) : QString());
            QVERIFY(QDir().mkdir(taken));
        }
        if (setup == "nowhere")
            ::chmod(QFile::encodeName(home).constData(), 0555); // nothing recorded either
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_RUNTIME_DIR");
        env.remove("XDG_DATA_HOME");
        env.remove("FIREBIRD_LOCK");
        if (setup == "bad")
            env.insert("FIREBIRD_LOCK", root.filePath("нет/такой"));
        if (setup == "closed") { // the user's own, writable, not to be entered
            QDir().mkpath(root.filePath("закрыта"));
            ::chown(QFile::encodeName(root.filePath("закрыта")).constData(), uid, uid_t(-1));
            ::chmod(QFile::encodeName(root.filePath("закрыта")).constData(), 0600);
            env.insert("FIREBIRD_LOCK", root.filePath("закрыта"));
        }
        const QString runtime = root.filePath("run");
        if (setup == "runtime") {
            QDir().mkpath(runtime);
            ::chown(QFile::encodeName(runtime).constData(), uid, uid_t(-1));
            ::chmod(QFile::encodeName(runtime).constData(), 0700);
            env.insert("XDG_RUNTIME_DIR", runtime);
        }
        env.insert("HOME", home);
        env.insert("TMPDIR", temp);
        const auto run = [&] {
            QProcess probe;
            probe.setProcessEnvironment(env);
            probe.start("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", LOCK_FOLDER_PROBE, store});
            probe.waitForFinished(60000);
            return QString::fromUtf8(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        };
        const QStringList said = run();
        if (setup == "runtime") {
            QCOMPARE(said, (QStringList{"FIREBIRD_LOCK=" + OwnLockFolder(runtime, temp, uid), "opened"}));
            return;
        }
        if (setup == "squatted") {
            QCOMPARE(said.value(1), "opened");
            const QString folder = said.value(0).mid(QStringLiteral("FIREBIRD_LOCK=").size());
            QVERIFY2(folder.startsWith(OwnLockFolder(QString(), temp, uid) + "-"), qPrintable(folder));
            QCOMPARE(FileMode(folder), 0700);
            QCOMPARE(QFileInfo(folder).ownerId(), uid);
            QCOMPARE(run(), said); // the same folder again
            return;
        }
        // The Russian sentence first, the engine's text kept below it.
        QVERIFY(said.size() > 2);
        const QString named = setup == "bad" ? root.filePath("нет/такой") : setup == "closed" ? root.filePath("закрыта") : temp;
        QVERIFY2(said[1].contains("FIREBIRD_LOCK") && said[1].contains(named), qPrintable(said[1]));
        QVERIFY2(said[1].startsWith(setup == "nowhere" ? "Для встроенного сервера Firebird" : "Переменная окружения FIREBIRD_LOCK"),
                 qPrintable(said[1]));
    }
};

QTEST_GUILESS_MAIN(TestEngineLockFolder)
#include "test_engine_lock_folder.moc"
