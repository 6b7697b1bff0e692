#include "widgets/sys.h"

#include "widgets/messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString SingleInstanceMessage(const QString &executableFileName)
{
    return QStringLiteral("Одна копия приложения : \"%1\" - уже работает").arg(executableFileName);
}

bool CheckSingleInstance(const QString &name, const QString &lockFolder, bool showMessages)
{
    QDir().mkpath(lockFolder);
    const QByteArray path = QFile::encodeName(QDir(lockFolder).filePath(name + QStringLiteral(".lock")));
    // The descriptor stays open for the life of the process; the system drops
    // the lock when the process ends, also when it is killed. Children do not
    // inherit it.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (showMessages)
            ShowInfo(QStringLiteral("Ошибка выделения памяти"));
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(fd);
        if (showMessages)
            ShowInfo(taken ? SingleInstanceMessage(QFileInfo(QCoreApplication::applicationFilePath()).fileName())
                           : QStringLiteral("Ошибка выделения памяти"));
        return false;
    }
    return true;
}

bool CheckSingleInstance(bool showMessages)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return CheckSingleInstance(name, folder, showMessages);
}
