#include "test_store.h"

#include <sys/stat.h>

#include "db/database_list.h"
#include "support/grid_layout_file.h"

#include <QDir>

QString MakeTestStore(const QString &dir, const QString &name, const std::function<void(StoreWriter &)> &fill)
{
    const QString path = QDir(dir).filePath(name);
    QFile::remove(path);
    auto w = StoreWriter::create(path);
    if (fill)
        fill(*w);
    w->close();
    return path;
}

void AddObject(StoreWriter &w, const QString &id, const QString &name, const QString &type, const QString &parent,
               const QString &parentsPath, const QString &note, const QString &info, int base, const QDate &date1,
               const QDate &date2, const QString &mnemo)
{
    auto text = [](const QString &s) { return s.isEmpty() ? StoreValue() : StoreValue(s); };
    auto date = [](const QDate &d) { return d.isValid() ? StoreValue(QDateTime(d, QTime(0, 0))) : StoreValue(); };
    auto s = w.prepare(QStringLiteral(
        "INSERT INTO OBJECTS_TREE (ID_THIS, NUMPP, NAME_MAX, DATE_1, DATE_2, NOTE, INFO, ID_TYPE, ID_PARENT, "
        "PARENTS_ID, ITS_BASE, ITS_GLOBAL, MNEMO_CODE) VALUES (?, 1, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, ?)"));
    w.run(s, {id, text(name), date(date1), date(date2), text(note), text(info), text(type), text(parent),
              text(parentsPath), qint64(base), text(mnemo)});
}

void AddType(StoreWriter &w, const QString &id, const QString &name, const QString &shortName, const QString &mnemo,
             int kind, int abstract)
{
    auto s = w.prepare(QStringLiteral("INSERT INTO L_TYPEOBJ_LIST (NUMPP, NAME_MAX, NAME_MIN, ID_THIS, MNEMO_CODE, "
                                      "ID_GRP, ID_KIND, ITS_ABSTRACT) VALUES (1, ?, ?, ?, ?, 'G', ?, ?)"));
    w.run(s, {name, shortName, id, mnemo.isEmpty() ? StoreValue() : StoreValue(mnemo), qint64(kind), qint64(abstract)});
}

std::optional<TestServer> FindTestServer()
{
    static std::unique_ptr<PrivateServer> server = PrivateServer::start();
    if (!server)
        return std::nullopt;
    return TestServer{server->host(), server->user(), server->password(), server->databaseFolder(), server.get()};
}

bool ServerRequired()
{
    return !qEnvironmentVariableIsEmpty("VRKX_REQUIRE_SERVER");
}

void WriteDatabaseList(const QString &path, const QList<QStringList> &rows)
{
    WriteGridLayoutFile(DatabaseListLayout(rows), path);
}

QByteArray ReadBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void AddBookObjects(StoreWriter &w)
{
    AddType(w, "1", "Объект обычный", "Объект", "OBJ", 1, 0);
    AddObject(w, "01", "Первый", "1", "", "", "", "", 1, QDate(2005, 2, 1));
    AddObject(w, "02", "00123", "1", "01", "[01]", "", "", 1, QDate(1850, 3, 4));
}

int FileMode(const QString &path)
{
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 07777);
}
