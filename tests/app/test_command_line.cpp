#include "app/command_line.h"
#include "app/settings.h"
#include "common/test_store.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using Action = CommandLine::Action;

class TestCommandLine : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path(const QString &name) const { return dir_.filePath(name); }

    // The program copied into a folder without write bits: an installed
    // program, which must keep its files in the user's folder under HOME.
    QString program_;
    QProcessEnvironment env_;

    int run(const QStringList &arguments, QByteArray *out, QByteArray *err,
            const QProcessEnvironment &env = QProcessEnvironment())
    {
        QProcess p;
        p.setProcessEnvironment(env.isEmpty() ? env_ : env);
        p.start(program_, arguments);
        if (!p.waitForFinished(10000))
            return -1;
        *out = p.readAllStandardOutput();
        *err = p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QString userFolder() const { return path("home/.local/share/VRKX_Query/"); }

private slots:
    void initTestCase()
    {
        QDir().mkpath(path("prog"));
        QDir().mkpath(path("home"));
        QDir().mkpath(path("run"));
        QFile::setPermissions(path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        program_ = path("prog/VRKX_Query");
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/VRKX_Query", program_));
        QVERIFY(QFile::setPermissions(path("prog"), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("HOME", path("home"));
        env_.remove("XDG_DATA_HOME");
        // A lock folder of its own: a program running elsewhere does not refuse this one.
        env_.insert("XDG_RUNTIME_DIR", path("run"));
        env_.insert("QT_QPA_PLATFORM", "offscreen");
    }

    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("result"); // the store, or a part of the text
        const int run = int(Action::Run), help = int(Action::Help), version = int(Action::Version),
                  error = int(Action::Error);
        QTest::newRow("nothing") << QStringList{} << run << "";
        QTest::newRow("relative path") << QStringList{"db/s.gdb"} << run << "/work/db/s.gdb";
        QTest::newRow("path cleaned") << QStringList{"/data/../s.gdb"} << run << "/s.gdb";
        QTest::newRow("server path") << QStringList{"localhost:/data/s.gdb"} << run << "localhost:/data/s.gdb";
        QTest::newRow("server and port") << QStringList{"srv/3051:/d/s.gdb"} << run << "srv/3051:/d/s.gdb";
        QTest::newRow("colon in a file name") << QStringList{"./a:b.gdb"} << run << "/work/a:b.gdb";
        QTest::newRow("after --") << QStringList{"--", "-s.gdb"} << run << "/work/-s.gdb";
        // The toolkit's options are left to the application object.
        QTest::newRow("toolkit options")
            << QStringList{"-platform", "offscreen", "-style=fusion", "-reverse", "s.gdb"} << run << "/work/s.gdb";
        QTest::newRow("-h") << QStringList{"-h", "s.gdb"} << help << "/home/u/.local/share/VRKX_Query/";
        QTest::newRow("-v") << QStringList{"-v"} << version << "VRKX_Query 1.07 (12.08.2009)\n";
        QTest::newRow("unknown option") << QStringList{"s.gdb", "--bogus=1"} << error << "неизвестный параметр: --bogus";
        QTest::newRow("two stores") << QStringList{"a.gdb", "b.gdb"} << error << "лишний аргумент: b.gdb";
        QTest::newRow("value missing") << QStringList{"-platform"} << error << "platform";
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, result);
        const CommandLine c =
            ParseCommandLine(QStringList{"VRKX_Query"} + arguments, "/home/u/.local/share/VRKX_Query/", "/work");
        QCOMPARE(int(c.action), action);
        if (c.action == Action::Run)
            QCOMPARE(c.store, result);
        else
            QVERIFY2(c.text.contains(result), qPrintable(c.text));
    }

    void answersWithoutADisplay()
    {
        // Without a display the toolkit could not even start: these must not need it.
        QProcessEnvironment noDisplay = env_;
        noDisplay.remove("DISPLAY");
        noDisplay.remove("WAYLAND_DISPLAY");
        noDisplay.insert("QT_QPA_PLATFORM", "xcb");
        QByteArray out, err;
        QCOMPARE(run({"--version"}, &out, &err, noDisplay), 0);
        QCOMPARE(out, QByteArray("VRKX_Query 1.07 (12.08.2009)\n"));
        QCOMPARE(err, QByteArray());

        QCOMPARE(run({"--help"}, &out, &err, noDisplay), 0);
        QVERIFY2(QString::fromUtf8(out).contains(userFolder()), out.constData());
        QVERIFY(!QFileInfo::exists(userFolder())); // named, not made

        QCOMPARE(run({"--no-such-option"}, &out, &err, noDisplay), 2);
        QCOMPARE(out, QByteArray());
        QVERIFY2(QString::fromUtf8(err).contains("--no-such-option"), err.constData());
    }

    void storeOpenedAndRemembered()
    {
        const QString store = MakeTestStore(dir_.path(), "s.fdb", [](StoreWriter &w) { AddObject(w, "1", "A"); });
        QProcess p;
        p.setProcessEnvironment(env_);
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(program_, {store});
        QVERIFY(p.waitForStarted());
        // Opening it is a switch to it: remembered at once, in the user's folder.
        QTRY_COMPARE_WITH_TIMEOUT(ReadCurrentDb(userFolder()).FullFileNameGDB, store, 30000);
        QCOMPARE(ReadCurrentDb(userFolder()).USER_NAME, QStringLiteral("VeldaRunKX"));
        QCOMPARE(QDir(path("prog")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"VRKX_Query"});
        for (const char *sub : {"Export", "Import", "Tree_Images"})
            QVERIFY(QFileInfo(userFolder() + sub).isDir());
        QVERIFY(!(QFile::permissions(userFolder()) & (QFile::ReadOther | QFile::ReadGroup)));
        p.kill();
        QVERIFY(p.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
