// What the user reads when the engine refuses: the table by engine code, and
// the real engine's refusals (embedded and through the tests' server) read
// through it, with paths in Cyrillic letters handed over as the file system
// has them.

#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/engine_messages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <ibase.h>

namespace {

// The sentence the user reads first, or the error's whole text.
QString openError(const QString &name, const QString &user = "SYSDBA", const QString &password = "x")
{
    DbConnection conn;
    conn.setDatabaseName(name);
    conn.setUserName(user);
    conn.setPassword(password);
    try {
        conn.open();
    } catch (const DbError &e) {
        return e.message();
    }
    return QStringLiteral("<opened>");
}

} // namespace

class TestEngineMessages : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void table_data()
    {
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<int>("osError");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("advice");
        const QString missing = "Файл базы данных не найден";
        const QString rights = "Нет прав на файл базы данных или на его папку";
        const QString lock = "Встроенный сервер Firebird не может работать с папкой блокировок /run/x/lk: укажите в "
                             "переменной окружения FIREBIRD_LOCK";
        const QString server = "Сервер базы данных недоступен, отказал в подключении или не отвечает";
        const QString notDb = "Файл не является базой данных Firebird или повреждён";
        QTest::newRow("cancel") << QList<int>{isc_cancelled} << 0 << "" << "Запрос отменён.";
        QTest::newRow("missing file") << QList<int>{isc_io_error, isc_io_open_err} << ENOENT << "open" << missing;
        QTest::newRow("missing folder on the path") << QList<int>{isc_io_error, isc_io_open_err} << ENOTDIR << "" << missing;
        QTest::newRow("no folder to create in") << QList<int>{isc_io_error, isc_io_create_err} << ENOENT << ""
                                                << "Папка для нового файла базы данных не существует";
        QTest::newRow("file not readable") << QList<int>{isc_io_error, isc_io_open_err} << EACCES << "" << rights;
        QTest::newRow("read-only file system") << QList<int>{isc_io_error, isc_io_open_err} << EROFS << "" << rights;
        QTest::newRow("folder not writable") << QList<int>{isc_io_error, isc_io_create_err} << EACCES << "" << rights;
        QTest::newRow("file read-only") << QList<int>{isc_no_priv} << 0 << "read-write" << rights;
        QTest::newRow("no SELECT privilege") << QList<int>{isc_no_priv} << 0 << "SELECT" << "";
        QTest::newRow("lock folder refused") << QList<int>{isc_sys_request, isc_random} << EACCES << "access" << lock;
        QTest::newRow("lock folder missing") << QList<int>{isc_lock_dir_access} << 0 << "" << lock;
        QTest::newRow("held by a server") << QList<int>{isc_already_opened} << 0 << ""
                                          << "Файл базы данных занят другим процессом";
        QTest::newRow("unknown host") << QList<int>{isc_network_error, isc_net_lookup_err} << 0 << ""
                                      << "Компьютер с сервером базы данных не найден";
        QTest::newRow("port refused") << QList<int>{isc_network_error, isc_net_connect_err} << 0 << "" << server;
        QTest::newRow("rejected") << QList<int>{isc_connect_reject} << 0 << "" << server;
        QTest::newRow("connection broke") << QList<int>{isc_net_read_err} << 0 << ""
                                          << "Связь с сервером базы данных прервалась";
        QTest::newRow("wrong password") << QList<int>{isc_login} << 0 << "" << "Неверное имя пользователя или пароль";
        QTest::newRow("not a database") << QList<int>{isc_bad_db_format} << 0 << "" << notDb;
        QTest::newRow("damaged") << QList<int>{isc_db_corrupt} << 0 << "" << notDb;
        QTest::newRow("short file") << QList<int>{isc_io_error, isc_random} << 0 << "read" << notDb;
        QTest::newRow("other I/O error") << QList<int>{isc_io_error, isc_io_open_err} << EIO << "open" << "";
        QTest::newRow("another engine version") << QList<int>{isc_wrong_ods} << 0 << ""
                                                << "Файл базы данных создан другой версией Firebird";
        QTest::newRow("faulty statement") << QList<int>{isc_dsql_error, isc_sqlerr} << 0 << "" << "";
    }
    void table()
    {
        QFETCH(QList<int>, codes);
        QFETCH(int, osError);
        QFETCH(QString, argument);
        QFETCH(QString, advice);
        EngineStatus status;
        for (int c : codes)
            status.codes << c;
        status.osError = osError;
        status.arguments << argument;
        const QString said = EngineAdvice(status, "/run/x/lk");
        QVERIFY2(advice.isEmpty() ? said.isEmpty() : said.startsWith(advice), qPrintable(said));
        // One sentence: the engine's text follows it after a blank line; a
        // cancel says nothing else.
        const QString message = EngineMessage(status, "engine text", "/run/x/lk");
        if (status.codes.contains(isc_cancelled))
            QCOMPARE(message, kQueryCancelled);
        else
            QCOMPARE(message, said.isEmpty() ? QString("engine text") : said + "\n\nengine text");
    }

    // The real engine's refusals, read through the table; the path in the
    // message reads as the file system has it.
    void embeddedRefusals()
    {
        const QString folder = dir_.filePath("Документы");
        QVERIFY(QDir().mkpath(folder));
        const QString missing = openError(folder + "/нет такой.gdb");
        QVERIFY2(missing.startsWith("Файл базы данных не найден: "), qPrintable(missing));
        QVERIFY2(missing.contains(folder + "/нет такой.gdb"), qPrintable(missing));
        QVERIFY2(missing.contains("I/O error"), qPrintable(missing)); // the engine's text stays

        QFile junk(folder + "/мусор.gdb");
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(65536, 'x'));
        junk.close();
        const QString notDb = openError(junk.fileName());
        QVERIFY2(notDb.startsWith("Файл не является базой данных Firebird"), qPrintable(notDb));

        const QString noFolder = [&] {
            try {
                StoreWriter::create(folder + "/нет/база.gdb");
            } catch (const DbError &e) {
                return e.message();
            }
            return QString();
        }();
        QVERIFY2(noFolder.startsWith("Папка для нового файла базы данных не существует"), qPrintable(noFolder));
    }

    // A store with Cyrillic letters in its folder and file name is made and
    // read embedded and through the server; the user name and password go
    // over as UTF-8 too.
    void cyrillicPaths()
    {
        const QString folder = dir_.filePath("Документы/Склад №1");
        QVERIFY(QDir().mkpath(folder));
        const QString local = MakeTestStore(folder, "база ёж.gdb", [](StoreWriter &w) { AddObject(w, "1", "Ёлка"); });
        QVERIFY(QFile::exists(folder + "/база ёж.gdb"));
        const auto read = [](const QString &name, const QString &user, const QString &password) {
            DbConnection conn;
            conn.setDatabaseName(name);
            conn.setUserName(user);
            conn.setPassword(password);
            conn.open();
            DbDataSet ds;
            ds.setConnection(&conn);
            ds.sql() << "SELECT NAME_MAX FROM OBJECTS_TREE";
            ds.open();
            return ds.fieldByName("NAME_MAX")->asString();
        };
        QCOMPARE(read(local, "Пользователь", "пароль"), QStringLiteral("Ёлка"));

        std::optional<TestServer> server;
        VRKX_TEST_SERVER_OR_SKIP(server);
        const QString remote = server->dir + "/Документы ёж";
        QVERIFY(QDir().mkpath(remote));
        QFile::setPermissions(remote, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                          | QFile::WriteOther | QFile::ExeOther);
        const QString remoteStore = server->host + ":" + remote + "/склад.fdb";
        auto w = StoreWriter::create(remoteStore, server->user, server->password);
        AddObject(*w, "1", "Через сервер");
        w->close();
        QCOMPARE(read(remoteStore, server->user, server->password), QStringLiteral("Через сервер"));
        QFile::remove(remote + "/склад.fdb");
    }

    void serverRefusals()
    {
        std::optional<TestServer> server;
        VRKX_TEST_SERVER_OR_SKIP(server);
        const QString store = server->dir + QStringLiteral("/refusals_%1.fdb").arg(QCoreApplication::applicationPid());
        StoreWriter::create(server->host + ":" + store, server->user, server->password)->close();
        const QString password = openError(server->host + ":" + store, server->user, server->password + "x");
        QVERIFY2(password.startsWith("Неверное имя пользователя или пароль"), qPrintable(password));
        const QString missing = openError(server->host + ":" + server->dir + "/нет.fdb", server->user, server->password);
        QVERIFY2(missing.startsWith("Файл базы данных не найден"), qPrintable(missing));
        const QString refused = openError("127.0.0.1/1:" + store, server->user, server->password);
        QVERIFY2(refused.startsWith("Сервер базы данных недоступен"), qPrintable(refused));
        QFile::remove(store);
    }
};

QTEST_GUILESS_MAIN(TestEngineMessages)
#include "test_engine_messages.moc"
