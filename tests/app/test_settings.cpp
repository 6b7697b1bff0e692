#include "app/settings.h"
#include "app/store_entry.h"
#include "common/test_store.h"
#include "support/codec_1251.h"

#include "support/files.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

void write(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

} // namespace

Q_DECLARE_METATYPE(DatabaseEntry)

class TestSettings : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString startup() const { return dir_.path() + "/"; }
    QString iniPath() const { return startup() + "VRKX_Query.ini"; }

private slots:
    void init() { QFile::remove(iniPath()); }

    void missingFileGivesDefaults()
    {
        const DatabaseEntry e = ReadCurrentDb(startup());
        QCOMPARE(e, (DatabaseEntry{"VRKX_DB_01.GDB", "VRKX_DB_001", "VRKX_DB_01.GDB", "VeldaRunKX", "qzmt"}));
    }

    void noSectionIsLikeNoFile()
    {
        write(iniPath(), "[OTHER]\r\nFullFileNameGDB=/x.gdb\r\n");
        QCOMPARE(ReadCurrentDb(startup()).FullFileNameGDB, QStringLiteral("VRKX_DB_01.GDB"));
    }

    void valuesReadTrimmedInAnyCase()
    {
        write(iniPath(), Cp1251::encode(QStringLiteral("[db_current]\nabout_db=  Склад  \nFULLFILENAMEGDB= /data/q.gdb \n"
                                                       "USER_NAME=\tivan\r\n")));
        const DatabaseEntry e = ReadCurrentDb(startup());
        QCOMPARE(e.About_DB, QStringLiteral("Склад"));
        QCOMPARE(e.FullFileNameGDB, QStringLiteral("/data/q.gdb"));
        QCOMPARE(e.USER_NAME, QStringLiteral("ivan"));
        QCOMPARE(e.PASSWORD, QStringLiteral("qzmt"));
        QCOMPARE(e.AliasBDE5, QStringLiteral("VRKX_DB_001"));
    }

    void saveWritesTheFiveKeys()
    {
        SaveCurrentDb(startup(), {" Склад ", "A1", "\\DB\\Q.GDB", "ivan", "p w"});
        QFile f(iniPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(Cp1251::decode(f.readAll()),
                 QStringLiteral("[DB_CURRENT]\r\nAbout_DB=Склад\r\nAliasBDE5_DB=A1\r\nFullFileNameGDB=\\DB\\Q.GDB\r\n"
                                "USER_NAME=ivan\r\nPASSWORD=p w\r\n"));
        QCOMPARE(ReadCurrentDb(startup()), (DatabaseEntry{"Склад", "A1", "\\DB\\Q.GDB", "ivan", "p w"}));
    }

    void defaultDatabase_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("isDefault");
        QTest::newRow("exact") << startup() + "VRKX_DB_01.GDB" << true;
        QTest::newRow("lower case") << startup() + "vrkx_db_01.gdb" << true;
        QTest::newRow("blanks") << "  " + startup() + "VRKX_DB_01.GDB \t" << true;
        QTest::newRow("bare name") << "VRKX_DB_01.GDB" << false;
        QTest::newRow("other") << startup() + "OTHER.GDB" << false;
    }
    void defaultDatabase()
    {
        QFETCH(QString, path);
        QFETCH(bool, isDefault);
        DatabaseEntry e = DefaultDatabaseEntry(startup());
        e.FullFileNameGDB = path;
        QCOMPARE(IsDefaultDatabase(startup(), e), isDefault);
    }

    void connectionPathKeepsWhatWasTyped()
    {
        QCOMPARE(ConnectionPath("\\DB\\Q.GDB"), QStringLiteral("\\DB\\Q.GDB"));
        QCOMPARE(ConnectionPath("srv:/db/q.gdb"), QStringLiteral("srv:/db/q.gdb"));
    }

    // The credentials that go with a store named on the command line.
    void entryForStore_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<DatabaseEntry>("entry");
        // Relative paths of the list are taken in the working folder, /work.
        QTest::newRow("list, relative path") << "/work/other.gdb" << DatabaseEntry{"Склад", "S1", "/work/other.gdb", "ivan", "pw1"};
        QTest::newRow("list, first row that matches")
            << "/work/stores/s.gdb" << DatabaseEntry{"Склад ещё раз", "S2", "/work/stores/s.gdb", "petr", "pw2"};
        QTest::newRow("list, empty credentials")
            << "/data/a.gdb" << DatabaseEntry{"Архив", "A1", "/data/a.gdb", "VELDARUNKX", "qzmt"};
        QTest::newRow("list, server") << "srv:/d/q.gdb" << DatabaseEntry{"Сервер", "", "srv:/d/q.gdb", "olga", "pw3"};
        QTest::newRow("remembered") << "/data/r.gdb" << DatabaseEntry{"Помнится", "R1", "/data/r.gdb", "anna", "pw4"};
        QTest::newRow("unknown") << "/data/new.gdb" << DatabaseEntry{"new.gdb", "", "/data/new.gdb", "VeldaRunKX", "qzmt"};
        QTest::newRow("server path is not a file path")
            << "srv:/data/r.gdb" << DatabaseEntry{"r.gdb", "", "srv:/data/r.gdb", "VeldaRunKX", "qzmt"};
    }
    void entryForStore()
    {
        QFETCH(QString, store);
        QFETCH(DatabaseEntry, entry);
        const QString list = startup() + "VRKX_LocalList_DB.txt";
        QFile::remove(list);
        WriteDatabaseList(list, {{"Склад", "S1", "other.gdb", "ivan", "pw1"},
                                 {"Склад ещё раз", "S2", "/work/./stores/s.gdb", "petr", "pw2"},
                                 {"Архив", "A1", "/data/a.gdb", "", ""},
                                 {"Сервер", "", "srv:/d/q.gdb", "olga", "pw3"},
                                 {"Дубль", "D1", "/work/stores/s.gdb", "x", "y"}});
        SaveCurrentDb(startup(), {"Помнится", "R1", "/data/r.gdb", "anna", "pw4"});
        QCOMPARE(EntryForStore(store, startup(), "/work"), entry);
    }

    // A save killed at any moment leaves one whole entry, the old or the new,
    // never the path of one with the user of the other; the next save removes
    // what the killed one left behind.
    void killedSavesLeaveWholeEntries()
    {
        const DatabaseEntry a{"Склад", "S1", "/data/s.gdb", "ivan", "pw1"};
        const DatabaseEntry b{"Архив", "A2", "/data/a.gdb", "petr", "pw2"};
        for (int round = 0; round < 15; ++round) {
            QProcess writer;
            writer.start(QCoreApplication::applicationDirPath() + "/settings_writer", {dir_.path()});
            QVERIFY2(writer.waitForReadyRead(5000), qPrintable(writer.errorString() + writer.readAllStandardError()));
            QTest::qSleep(5 + QRandomGenerator::global()->bounded(40));
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(5000));
            const DatabaseEntry e = ReadCurrentDb(startup());
            QVERIFY2(e == a || e == b, qPrintable(e.FullFileNameGDB + " " + e.USER_NAME));
        }
        SaveCurrentDb(startup(), a);
        QVERIFY(!QFile::exists(TemporaryNameFor(iniPath())));
        QCOMPARE(ReadCurrentDb(startup()), a);
    }

    // A damaged settings file of any size is read only up to a bound: the
    // start never waits for it, and a save keeps it aside whole.
    void hugeFileReadUpToABound()
    {
        const QByteArray damaged = "[DB_CURRENT]\r\nUSER_NAME=ivan\r\n" + QByteArray(int(kMaxSettingsBytes) * 3, '\n')
                                   + "[DB_CURRENT]\r\nPASSWORD=far\r\n";
        write(iniPath(), damaged);
        const DatabaseEntry e = ReadCurrentDb(startup());
        QCOMPARE(e.USER_NAME, QStringLiteral("ivan"));
        QCOMPARE(e.PASSWORD, QStringLiteral("qzmt")); // beyond the bound: the default
        SaveCurrentDb(startup(), e);
        QCOMPARE(QFileInfo(iniPath() + ".bak").size(), qint64(damaged.size()));
        QCOMPARE(ReadCurrentDb(startup()), e);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
