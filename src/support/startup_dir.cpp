#include "support/startup_dir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kUserFolderName = QStringLiteral("VRKX_Query");

bool permitsWriting(const QString &dir)
{
    const QByteArray path = QFile::encodeName(dir);
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    if (::access(path.constData(), W_OK | X_OK) != 0)
        return false;
    // access() lets root write anywhere; a folder that grants nobody write
    // access was made read-only on purpose.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

QString canonical(const QString &path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(path) : c;
}

} // namespace

bool IsPortableFolder(const QString &programDir, const InstallLayout &install)
{
    if (!install.binDir.isEmpty() && canonical(programDir) == canonical(install.binDir))
        return false;
    if (!install.metainfoFromBin.isEmpty() && QFileInfo::exists(QDir(programDir).filePath(install.metainfoFromBin)))
        return false;
    return permitsWriting(programDir);
}

QString ChooseStartupDir(const QString &programDir, const InstallLayout &install, const QString &dataHome)
{
    const QString dir = IsPortableFolder(programDir, install) ? programDir : QDir(dataHome).filePath(kUserFolderName);
    return dir.endsWith(QChar('/')) ? dir : dir + QChar('/');
}

QString ProgramDir()
{
    // The application object is not needed: --help names the folder before
    // there is one.
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

QString ProgramStartupDir()
{
    const InstallLayout install{QStringLiteral(VRKX_INSTALL_BINDIR), QStringLiteral(VRKX_METAINFO_FROM_BIN)};
    return ChooseStartupDir(ProgramDir(), install,
                            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

bool MakeStartupDir(const QString &dir)
{
    if (QFileInfo(dir).isDir())
        return true;
    const QString clean = QDir::cleanPath(dir);
    QDir().mkpath(QFileInfo(clean).path());
    QDir().mkdir(clean, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return QFileInfo(clean).isDir();
}
