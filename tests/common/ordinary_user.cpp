#include "ordinary_user.h"

#include "db/db_dataset.h"
#include "db/engine_lock_folder.h"

#include <QDir>
#include <QFileInfo>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

OrdinaryUser PrepareOrdinaryUser()
{
    OrdinaryUser user;
    if (::geteuid() != 0) {
        user.skip = QStringLiteral("needs root to run the program as another user");
        return user;
    }
    const passwd *nobody = ::getpwnam("nobody");
    const group *nogroup = ::getgrnam("nogroup");
    if (!nobody || !nogroup) {
        user.skip = QStringLiteral("no user nobody");
        return user;
    }
    user.uid = nobody->pw_uid; // the next lookup reuses the record
    user.gid = nogroup->gr_gid;
    // What a server leaves behind, when none has run here yet.
    if (const passwd *firebird = ::getpwnam("firebird"); firebird && !QFileInfo::exists(kDefaultEngineLockFolder)) {
        QDir().mkpath(kDefaultEngineLockFolder);
        const QByteArray path = QFile::encodeName(kDefaultEngineLockFolder);
        if (::chown(path.constData(), firebird->pw_uid, firebird->pw_gid) != 0 || ::chmod(path.constData(), 0770) != 0)
            user.error = QStringLiteral("cannot give %1 to firebird").arg(kDefaultEngineLockFolder);
    }
    const QFileInfo lock(kDefaultEngineLockFolder);
    if (lock.exists() && lock.ownerId() == 0)
        user.skip = QStringLiteral("/tmp/firebird is root's here: nothing stands in an ordinary user's way");
    return user;
}

bool ProcessHolds(qint64 pid, const QString &file)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::System | QDir::Files))
        if (QFile::symLinkTarget(fds.filePath(fd)) == file)
            return true;
    return false;
}

int ObjectCount(DbConnection *connection)
{
    DbDataSet ds;
    ds.setConnection(connection);
    ds.sql() << "SELECT COUNT(*) AS N FROM OBJECTS_TREE";
    ds.open();
    return ds.fieldByName("N")->asString().toInt();
}
