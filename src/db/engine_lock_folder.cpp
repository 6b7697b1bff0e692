#include "db/engine_lock_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString problemFound; // set by PrepareEngineLockFolder

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The folder recorded in the file, when it names an absolute path.
QString readRecord(const QString &file)
{
    QFile in(file);
    if (file.isEmpty() || !in.open(QIODevice::ReadOnly))
        return QString();
    const QString folder = QFile::decodeName(in.readLine(4096).trimmed());
    return QDir::isAbsolutePath(folder) ? folder : QString();
}

void writeRecord(const QString &file, const QString &folder)
{
    if (file.isEmpty())
        return;
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(QFile::encodeName(folder) + '\n');
        out.commit();
    }
}

// A folder nobody could have made beforehand.
QString makeUnforeseeable(const QString &pattern)
{
    QByteArray name = QFile::encodeName(pattern);
    return ::mkdtemp(name.data()) ? QFile::decodeName(name) : QString();
}

bool isServerPath(const QString &database)
{
    // As the client reads it: a colon makes the text before it a server,
    // unless the path is plainly a file's.
    return database.contains(QChar(':')) && !database.startsWith(QChar('/')) && !database.startsWith(QChar('.'));
}

} // namespace

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

LockFolderPlaces LockFolderPlaces::fromEnvironment()
{
    LockFolderPlaces p;
    p.lockVariable = qEnvironmentVariable("FIREBIRD_LOCK");
    p.runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    p.tempDir = QDir::tempPath();
    p.uid = ::geteuid();
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(data) && QDir::isAbsolutePath(qEnvironmentVariable("HOME")))
        data = QDir(qEnvironmentVariable("HOME")).filePath(QStringLiteral(".local/share"));
    if (QDir::isAbsolutePath(data))
        p.recordFile = QDir(data).filePath(QStringLiteral("VRKX_Query/firebird-lock-folder"));
    return p;
}

LockFolderChoice ChooseEngineLockFolder(const LockFolderPlaces &places)
{
    LockFolderChoice choice;
    if (!places.lockVariable.isEmpty()) {
        choice.tried << places.lockVariable;
        if (!LockFolderUsable(places.lockVariable))
            choice.problem = QStringLiteral(
                "Переменная окружения FIREBIRD_LOCK называет папку %1, в которой встроенный сервер Firebird не "
                "может хранить файлы блокировок: её нет и её нельзя создать, или в неё нельзя писать. Без такой "
                "папки локальная база данных не открывается. Укажите в FIREBIRD_LOCK папку, доступную этому "
                "пользователю на запись, или уберите эту переменную.").arg(native(places.lockVariable));
        return choice;
    }
    choice.tried << places.defaultFolder;
    if (LockFolderUsable(places.defaultFolder))
        return choice;
    const auto take = [&](const QString &folder) {
        if (folder.isEmpty())
            return false;
        choice.tried << folder;
        if (!MakePrivateFolder(folder))
            return false;
        choice.folder = folder;
        return true;
    };
    // The runtime folder is the user's alone; then the folder recorded for
    // the user, the foreseeable name, and a name nobody can foresee.
    const QString runtime = QDir::isAbsolutePath(places.runtimeDir) && QFileInfo(places.runtimeDir).isDir()
                                ? OwnLockFolder(places.runtimeDir, places.tempDir, places.uid)
                                : QString();
    const QString predictable = OwnLockFolder(QString(), places.tempDir, places.uid);
    if (take(runtime) || take(readRecord(places.recordFile)) || take(predictable))
        return choice;
    const QString pattern = predictable + QStringLiteral("-XXXXXX");
    choice.tried << pattern;
    choice.folder = makeUnforeseeable(pattern);
    if (!choice.folder.isEmpty()) {
        writeRecord(places.recordFile, choice.folder);
        return choice;
    }
    QStringList tried;
    for (const QString &t : std::as_const(choice.tried))
        tried << native(t);
    choice.problem = QStringLiteral(
        "Для встроенного сервера Firebird нет папки файлов блокировок, доступной этому пользователю, поэтому "
        "локальная база данных не открывается. Испробованы папки: %1. Укажите папку, доступную на запись, в "
        "переменной окружения FIREBIRD_LOCK или откройте базу данных через сервер (сервер:путь).")
                         .arg(tried.join(QStringLiteral(", ")));
    return choice;
}

QString PrepareEngineLockFolder()
{
    const LockFolderChoice choice = ChooseEngineLockFolder(LockFolderPlaces::fromEnvironment());
    problemFound = choice.problem;
    if (!choice.folder.isEmpty())
        qputenv("FIREBIRD_LOCK", QFile::encodeName(choice.folder));
    return choice.folder;
}

QString EngineLockFolderProblem()
{
    return problemFound;
}

DbError LockFolderError(const QString &database, const DbError &error)
{
    if (problemFound.isEmpty() || isServerPath(database))
        return error;
    return DbError(problemFound + QStringLiteral("\n\n") + error.message(), error.gdsCode(), error.sqlState());
}
