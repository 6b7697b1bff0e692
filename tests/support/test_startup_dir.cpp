#include "support/startup_dir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestStartupDir : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path(const QString &name) const { return dir_.filePath(name); }

    QString folder(const QString &name, QFile::Permissions permissions = QFile::Permissions())
    {
        QDir().mkpath(path(name));
        if (permissions)
            QFile::setPermissions(path(name), permissions);
        return path(name);
    }

private slots:
    void choice_data()
    {
        const QFile::Permissions readOnly =
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("binDir");
        QTest::addColumn<bool>("portable");
        QTest::newRow("writable folder") << folder("portable") << "/usr/bin" << true;
        // Root could write there; the folder says it is not to be written.
        QTest::newRow("folder without write bits") << folder("readonly", readOnly) << "/usr/bin" << false;
        QTest::newRow("missing folder") << path("missing") << "/usr/bin" << false;
        QTest::newRow("the install prefix's bin folder") << folder("prefix/bin") << path("prefix/bin") << false;
        QFile::link(path("prefix"), path("prefix-link"));
        QTest::newRow("the same, through a link") << folder("prefix/bin") << path("prefix-link/bin/") << false;
        // Installed under another prefix: the metainfo lies where an installation puts it.
        folder("other/share/metainfo");
        QFile(path("other/share/metainfo/app.metainfo.xml")).open(QIODevice::WriteOnly);
        QTest::newRow("an installed tree elsewhere") << folder("other/bin") << "/usr/bin" << false;
    }

    void choice()
    {
        QFETCH(QString, programDir);
        QFETCH(QString, binDir);
        QFETCH(bool, portable);
        const InstallLayout install{binDir, QStringLiteral("../share/metainfo/app.metainfo.xml")};
        QCOMPARE(ChooseStartupDir(programDir, install, path("data")),
                 portable ? programDir + "/" : path("data/VRKX_Query/"));
    }

    void userFolderMadeForItsOwner()
    {
        const QString dir = path("home/.local/share/VRKX_Query/");
        QVERIFY(MakeStartupDir(dir));
        const QFile::Permissions others =
            QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QVERIFY(QFile::permissions(dir) & QFile::WriteOwner);
        QVERIFY(!(QFile::permissions(dir) & others));
        QVERIFY(MakeStartupDir(dir));
        QVERIFY(!MakeStartupDir("/proc/none/VRKX_Query/"));
    }
};

QTEST_GUILESS_MAIN(TestStartupDir)
#include "test_startup_dir.moc"
