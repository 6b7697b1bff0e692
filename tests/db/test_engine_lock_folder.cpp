// The lock folder of the user's own: where it goes, and that nobody else's
// folder (or a link) standing under its name is ever taken for it.

#include "db/engine_lock_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
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
    }
};

QTEST_APPLESS_MAIN(TestEngineLockFolder)
#include "test_engine_lock_folder.moc"
