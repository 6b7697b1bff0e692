// Connections through the Firebird server on loopback ("host:path").

#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/db_error.h"
#include "db/lookups.h"

#include <QElapsedTimer>
#include <QTest>

class TestServerConnection : public QObject {
    Q_OBJECT
    std::optional<TestServer> server_;
    QString path_;

    QString remoteName() const { return server_->host + ":" + path_; }

private slots:
    void initTestCase()
    {
        VRKX_TEST_SERVER_OR_SKIP(server_);
        path_ = server_->dir + QStringLiteral("/server_%1.fdb").arg(QCoreApplication::applicationPid());
        // The server creates the file, so that it owns it.
        auto w = StoreWriter::create(remoteName(), server_->user, server_->password);
        AddType(*w, "10", "Насос центробежный", "Насос Ц", "PUMP_K");
        AddObject(*w, "0!1-0_0_15", "Насос Н-1", "10", "", "", "", "Многострочный\nтекст");
        w->close();
    }

    void rightPasswordWorks()
    {
        DbConnection conn;
        conn.setDatabaseName(remoteName());
        conn.setUserName(server_->user);
        conn.setPassword(server_->password);
        conn.open();
        QCOMPARE(GetObjectCaption(&conn, "0!1-0_0_15", 1, true), QStringLiteral("Насос центробежный: Насос Н-1"));
        DbDataSet ds;
        ds.setConnection(&conn);
        ds.sql() << "SELECT NAME_MAX, INFO FROM OBJECTS_TREE";
        ds.open();
        QCOMPARE(ds.fieldByName("INFO")->asString(), QStringLiteral("Многострочный\nтекст"));
    }

    void wrongPasswordRaises()
    {
        DbConnection conn;
        conn.setDatabaseName(remoteName());
        conn.setUserName(server_->user);
        conn.setPassword(server_->password + "x");
        try {
            conn.open();
            QFAIL("no error");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains("password", Qt::CaseInsensitive), qPrintable(e.message()));
        }
        QVERIFY(!conn.isOpen());
    }

    void unreachablePortRaises()
    {
        DbConnection conn;
        conn.setDatabaseName("127.0.0.1/1:" + path_);
        conn.setUserName(server_->user);
        conn.setPassword(server_->password);
        QVERIFY_THROWS_EXCEPTION(DbError, conn.open());
    }

    // A server that stops answering while the program is attached (as an
    // engine stuck on a damaged store would): closing gives up after a few
    // seconds, and the next connection works once the server is back.
    void stoppedServerIsAbandoned()
    {
        DbConnection conn;
        conn.setDatabaseName(remoteName());
        conn.setUserName(server_->user);
        conn.setPassword(server_->password);
        conn.open();
        DbDataSet ds;
        ds.setConnection(&conn);
        ds.sql() << "SELECT NAME_MAX FROM OBJECTS_TREE";
        ds.open();
        QVERIFY(server_->process->pause());
        struct Resume {
            PrivateServer *server;
            ~Resume() { server->resume(); }
        } resume{server_->process};
        const int before = StoreWorker::abandonedCount();
        QElapsedTimer timer;
        timer.start();
        conn.close();
        QVERIFY(timer.elapsed() < (DbConnection::kDisconnectSeconds + 5) * 1000);
        QCOMPARE(StoreWorker::abandonedCount(), before + 1);
        QVERIFY(!conn.isOpen() && !ds.isOpen());
        server_->process->resume();
        conn.open();
        QCOMPARE(GetObjectName(&conn, "0!1-0_0_15"), QStringLiteral("Насос Н-1"));
    }

    void cleanupTestCase()
    {
        if (server_)
            QFile::remove(path_);
    }
};

QTEST_MAIN(TestServerConnection)
#include "test_server.moc"
