#include "support/app_error.h"
#include "support/codec_1251.h"
#include "support/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

void writeBytes(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path(const QString &name) const { return dir_.filePath(name); }

private slots:
    void iniRead_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        const QByteArray crlf = "[DB_CURRENT]\r\nAbout_DB=Demo\r\nUSER_NAME=  Veda  \r\n";
        QTest::newRow("crlf") << crlf << "DB_CURRENT" << "About_DB" << "Demo";
        QTest::newRow("lf") << QByteArray("[DB_CURRENT]\nAbout_DB=Demo\n") << "DB_CURRENT"
                            << "About_DB" << "Demo";
        QTest::newRow("odd case") << QByteArray("[db_Current]\r\nabout_db=Demo\r\n") << "DB_CURRENT"
                                  << "ABOUT_DB" << "Demo";
        QTest::newRow("blanks trimmed") << crlf << "DB_CURRENT" << "USER_NAME" << "Veda";
        QTest::newRow("blanks around key and section")
            << QByteArray("  [ DB_CURRENT ]  \r\n  About_DB  =Demo\r\n") << "DB_CURRENT" << "About_DB"
            << "Demo";
        QTest::newRow("missing key") << crlf << "DB_CURRENT" << "PASSWORD" << "dflt";
        QTest::newRow("missing section") << QByteArray("[OTHER]\r\nPASSWORD=x\r\n") << "DB_CURRENT"
                                         << "PASSWORD" << "dflt";
        QTest::newRow("key of next section not taken")
            << QByteArray("[DB_CURRENT]\r\nA=1\r\n[OTHER]\r\nPASSWORD=x\r\n") << "DB_CURRENT"
            << "PASSWORD" << "dflt";
        QTest::newRow("cyrillic") << Cp1251::encode(QStringLiteral("[DB_CURRENT]\r\nAbout_DB=Склад №1\r\n"))
                                  << "DB_CURRENT" << "About_DB" << QStringLiteral("Склад №1");
        QTest::newRow("empty value") << QByteArray("[S]\r\nK=\r\n") << "S" << "K" << "";
        QTest::newRow("first of duplicates") << QByteArray("[S]\r\nK=1\r\nK=2\r\n") << "S" << "K" << "1";
        QTest::newRow("binary junk") << QByteArray("\x00\xff[S\x01\r\n\x80=\x81\r\n", 12) << "S" << "K"
                                     << "dflt";
        QTest::newRow("long value cut") << QByteArray("[S]\r\nK=") + QByteArray(5000, 'v') << "S" << "K"
                                        << QString(2047, QChar('v'));
    }
    void iniRead()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString file = path(QStringLiteral("read.ini"));
        writeBytes(file, content);
        QCOMPARE(IniReadString(QStringLiteral(" ") + file + QStringLiteral(" "), section, key,
                               QStringLiteral("  dflt  "), true),
                 value);
    }

    void iniReadDefaults()
    {
        // A missing file gives the default as it is, even with trimming asked for.
        QCOMPARE(IniReadString(path("none.ini"), "S", "K", "  d  ", true), QStringLiteral("  d  "));
        QCOMPARE(IniReadString(QString(), "S", "K", "d", true), QStringLiteral("d"));
        QCOMPARE(IniReadString(path("none.ini"), " ", "K", "d", true), QStringLiteral("d"));
    }

    void iniReadInteger_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("result");
        QTest::newRow("hex") << "0x1F" << 31;
        QTest::newRow("decimal") << "42" << 42;
        QTest::newRow("negative") << "-7" << -7;
        QTest::newRow("letters") << "abc" << -1;
        QTest::newRow("bare 0x") << "0x" << -1;
        QTest::newRow("huge") << "2000000000000" << -1;
        QTest::newRow("empty") << "" << -1;
    }
    void iniReadInteger()
    {
        QFETCH(QString, value);
        QFETCH(int, result);
        const QString file = path(QStringLiteral("int.ini"));
        writeBytes(file, "[S]\r\nK=" + value.toLatin1() + "\r\n");
        QCOMPARE(IniReadInteger(file, "S", "K", -1), result);
        QCOMPARE(IniReadInteger(file, "S", "Missing", -1), -1);
    }

    void iniWriteCreatesAndKeepsLines()
    {
        const QString file = path(QStringLiteral("w.ini"));
        QFile::remove(file);
        QVERIFY(IniWriteString(file, "DB_CURRENT", "About_DB", "  Склад  ", true));
        QCOMPARE(readBytes(file), Cp1251::encode(QStringLiteral("[DB_CURRENT]\r\nAbout_DB=Склад\r\n")));
        QCOMPARE(QFile::permissions(file),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                     | QFileDevice::WriteUser);

        writeBytes(file, "; note\n[other]\nX=1\n\n[db_current]\nabout_db=old\nUSER_NAME=u\n\n[Z]\nQ=2\n");
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                        | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        QVERIFY(IniWriteString(file, "DB_CURRENT", "ABOUT_DB", "new", true));
        QVERIFY(IniWriteString(file, "DB_CURRENT", "PASSWORD", " p ", false));
        QVERIFY(IniWriteString(file, "NEW", "K", "v", true));
        QCOMPARE(readBytes(file),
                 QByteArray("; note\r\n[other]\r\nX=1\r\n\r\n[db_current]\r\nABOUT_DB=new\r\nUSER_NAME=u\r\n"
                            "PASSWORD= p \r\n\r\n[Z]\r\nQ=2\r\n\r\n[NEW]\r\nK=v\r\n"));
        QVERIFY(QFile::permissions(file) & QFileDevice::ReadOther);
        QCOMPARE(IniReadString(file, "db_current", "password", "", false), QStringLiteral(" p "));
    }

    void iniWriteRefused()
    {
        QVERIFY(!IniWriteString(path("x.ini"), "", "K", "v", true));
        QVERIFY(!IniWriteString(path("x.ini"), "S", " ", "v", true));
        QVERIFY(!IniWriteString("\\\\server\\share\\x.ini", "S", "K", "v", true));
        QVERIFY(!QFile::exists(path("x.ini")));

        // A settings file that cannot be replaced (here a folder stands in its
        // place) raises the error and leaves what was there.
        const QString blocked = path("blocked.ini");
        QVERIFY(QDir().mkpath(blocked));
        try {
            IniWriteString(blocked, "S", "K", "v", true);
            QFAIL("no error raised");
        } catch (const AppError &e) {
            QCOMPARE(e.message(), QStringLiteral("Unable to write to ") + blocked);
        }
        QVERIFY(QFileInfo(blocked).isDir());
    }

    void atomicWriteKeepsOldFileOnFailure()
    {
        const QString file = path("keep.txt");
        writeBytes(file, "old content");
        QString error;
        // A path whose folder does not exist cannot be written.
        QVERIFY(!WriteFileAtomically(path("nodir/keep.txt"), "new", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(WriteFileAtomically(file, "new content", &error));
        QCOMPARE(readBytes(file), QByteArray("new content"));
        const QStringList leftovers = QDir(dir_.path()).entryList({"keep.txt*"}, QDir::Files);
        QCOMPARE(leftovers, QStringList{"keep.txt"});
    }

    void uniqueFileName()
    {
        const QString report = path("report.htm");
        QCOMPARE(UniqueFileName(report), report);
        writeBytes(report, "x");
        writeBytes(path("report-1.htm"), "x");
        QCOMPARE(UniqueFileName(QStringLiteral("  ") + report), path("report-2.htm"));
        writeBytes(path("log"), "x");
        QCOMPARE(UniqueFileName(path("log")), path("log-1"));
        QCOMPARE(UniqueFileName("   "), QString());
        writeBytes(path("a.b.txt"), "x");
        QCOMPARE(UniqueFileName(path("a.b.txt")), path("a.b-1.txt"));
    }

    void driveProbe()
    {
        QVERIFY(IsDriveWritable(dir_.path()));
        QVERIFY(IsDriveWritable(path("missing/deeper/file.ini")));
        QVERIFY(!IsDriveWritable(QString()));
        QVERIFY(!IsDriveWritable("\\\\server\\share\\x"));
        // An existing probe file is left alone: the probe takes the next name.
        const QString probe = path("~!789.~~~");
        writeBytes(probe, "mine");
        QVERIFY(IsDriveWritable(path("settings.ini")));
        QCOMPARE(readBytes(probe), QByteArray("mine"));
        QVERIFY(!QFile::exists(path("~!789-1.~~~")));
        QFile::remove(probe);
        // A folder where no file can be created, even by root.
        QVERIFY(!IsDriveWritable("/proc/self/nonexistent/x.ini"));
        QVERIFY(!MakeDir("/proc/self/newfolder"));
    }

    void driveProbeReadOnlyFolder()
    {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders; /proc covers the refusal");
        const QString ro = path("ro");
        QVERIFY(QDir().mkpath(ro));
        QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QVERIFY(!IsDriveWritable(ro + "/x.ini"));
        QVERIFY(!IniWriteString(ro + "/x.ini", "S", "K", "v", true));
        QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void forceDir()
    {
        const QString deep = path("a/b/c");
        QVERIFY(ForceDir(deep));
        QVERIFY(QFileInfo(deep).isDir());
        QVERIFY(ForceDir(deep + "/"));
        QVERIFY(!ForceDir("  "));
        QVERIFY(MakeDir(path("Export")));
        QVERIFY(QFileInfo(path("Export")).isDir());
        writeBytes(path("afile"), "x");
        QVERIFY(!ForceDir(path("afile")));
    }
};

QTEST_APPLESS_MAIN(TestFiles)
#include "test_files.moc"
