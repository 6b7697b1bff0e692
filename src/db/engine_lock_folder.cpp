#include "db/engine_lock_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

bool LockFolderUsable(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    struct stat st = {};
    if (::stat(path.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) && ::access(path.constData(), R_OK | W_OK | X_OK) == 0;
    const QByteArray parent = QFile::encodeName(QFileInfo(folder).absolutePath());
    return ::access(parent.constData(), W_OK | X_OK) == 0;
}

QString OwnLockFolder(const QString &runtimeDir, const QString &tempDir, unsigned uid)
{
    const QString base = !runtimeDir.isEmpty() && QDir::isAbsolutePath(runtimeDir) ? runtimeDir : tempDir;
    return QDir(base).filePath(QStringLiteral("vrkx-firebird-%1").arg(uid));
}

bool MakePrivateFolder(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) == 0)
        return true;
    if (errno != EEXIST)
        return false;
    // Somebody may have made it first (the temporary folder is everybody's):
    // only a real folder of this user will do.
    struct stat st = {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 077) != 0 && ::chmod(path.constData(), 0700) != 0)
        return false;
    return true;
}

QString PrepareEngineLockFolder()
{
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK") || LockFolderUsable(kDefaultEngineLockFolder))
        return QString();
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    // The runtime folder first, then the temporary folder; a name taken by
    // somebody else: the next free variant.
    for (const QString &base : {runtime, QString()}) {
        const QString own = OwnLockFolder(base, QDir::tempPath(), ::geteuid());
        for (int i = 0; i < 10; ++i) {
            const QString folder = i == 0 ? own : own + QStringLiteral("-%1").arg(i);
            if (MakePrivateFolder(folder)) {
                qputenv("FIREBIRD_LOCK", QFile::encodeName(folder));
                return folder;
            }
        }
    }
    return QString();
}
