#include "exports/work_folder.h"

#include "db/engine_lock_folder.h"
#include "support/app_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kPrefix = QStringLiteral("book-");

int openFolder(const QString &path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
}

// The root held for as long as an export folder is made or swept there, so
// that a sweep never takes a folder between its making and its lock.
class RootLock {
public:
    explicit RootLock(const QString &root) : fd_(openFolder(root))
    {
        if (fd_ >= 0)
            ::flock(fd_, LOCK_EX);
    }
    ~RootLock()
    {
        if (fd_ >= 0)
            ::close(fd_); // and the lock with it
    }
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

} // namespace

QString WorkFolder::root(const QString &runtimeDir, const QString &tempDir)
{
    const QString folder = QDir::isAbsolutePath(runtimeDir) && QFileInfo(runtimeDir).isDir()
                               ? QDir(runtimeDir).filePath(QStringLiteral("vrkx-query"))
                               : QDir(tempDir).filePath(QStringLiteral("vrkx-query-%1").arg(::geteuid()));
    return MakePrivateFolder(folder) ? folder : QString();
}

int WorkFolder::sweep(const QString &root)
{
    RootLock lock(root);
    if (!lock.held())
        return 0;
    int removed = 0;
    const QStringList names = QDir(root).entryList({kPrefix + QChar('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString &name : names) {
        const QString path = QDir(root).filePath(name);
        struct stat st = {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        const int fd = openFolder(path);
        if (fd < 0)
            continue;
        // Held by a running export (ours included): left alone.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && QDir(path).removeRecursively())
            ++removed;
        ::close(fd);
    }
    return removed;
}

std::unique_ptr<WorkFolder> WorkFolder::make()
{
    const QString temp = QDir::tempPath();
    QString base = root(qEnvironmentVariable("XDG_RUNTIME_DIR"), temp);
    if (base.isEmpty()) {
        // The name is taken by another user: a folder nobody can foresee,
        // for this export alone (what a kill leaves there is not swept).
        QByteArray name = QFile::encodeName(QDir(temp).filePath(QStringLiteral("vrkx-query-%1-XXXXXX").arg(::geteuid())));
        if (!::mkdtemp(name.data()))
            throw AppError(QStringLiteral("Не удалось создать временную папку в %1").arg(QDir::toNativeSeparators(temp)));
        base = QFile::decodeName(name);
    }
    sweep(base);
    RootLock lock(base);
    QByteArray name = QFile::encodeName(QDir(base).filePath(kPrefix + QStringLiteral("XXXXXX")));
    if (!::mkdtemp(name.data()))
        throw AppError(QStringLiteral("Не удалось создать временную папку в %1").arg(QDir::toNativeSeparators(base)));
    const QString path = QFile::decodeName(name);
    const int fd = openFolder(path);
    if (fd < 0 || ::flock(fd, LOCK_SH) != 0) {
        if (fd >= 0)
            ::close(fd);
        QDir(path).removeRecursively();
        throw AppError(QStringLiteral("Не удалось создать временную папку в %1").arg(QDir::toNativeSeparators(base)));
    }
    return std::unique_ptr<WorkFolder>(new WorkFolder(path, fd));
}

WorkFolder::~WorkFolder()
{
    if (kept_)
        return; // the lock stays with the process
    QDir(path_).removeRecursively();
    ::close(lock_);
}

QString WorkFolder::filePath(const QString &name) const
{
    return QDir(path_).filePath(name);
}

void WorkFolder::keepWhileRunning()
{
    kept_ = true;
}
