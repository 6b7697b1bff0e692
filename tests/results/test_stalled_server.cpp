// A server that stops answering while the windows wait on it (the loopback
// server SIGSTOPped): the windows keep running, the wait window appears, its
// Cancel gives control back with a message within seconds, and once the
// server goes on the same window works again. An attach to a host that
// accepts and never answers ends with a message too.

#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/db_error.h"
#include "pickers/object_picker.h"
#include "query/filter_page.h"
#include "results/result_window.h"
#include "widgets/wait_window.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kExportRows = 30000;

// The tests' server, stopped for one test and always let go again.
class StoppedServer {
public:
    explicit StoppedServer(PrivateServer *server) : server_(server) {}
    ~StoppedServer() { resume(); }
    bool stop() { return server_->pause(); }
    void resume() { server_->resume(); }

private:
    PrivateServer *server_;
};

// Presses Cancel in the wait window when it shows and says OK to messages.
struct Canceller {
    bool waitShown = false;
    QElapsedTimer sinceCancel;
    ModalAnswerer answerer{[this](QWidget *modal) {
        if (auto *wait = qobject_cast<StoreWaitDialog *>(modal)) {
            waitShown = true;
            sinceCancel.start();
            wait->cancelButton->click();
        } else {
            ModalAnswerer::accept(modal);
        }
    }};
    QString said() const { return answerer.seen.join('\n'); }
};

} // namespace

class TestStalledServer : public QObject {
    Q_OBJECT
    std::optional<TestServer> server_;
    QString path_;
    DbConnection conn_;

    void reconnect()
    {
        QTest::qWait(50); // the dropped connection is closed after the caller heard of it
        QVERIFY(!conn_.isOpen());
        conn_.open();
    }

private slots:
    void initTestCase()
    {
        VRKX_TEST_SERVER_OR_SKIP(server_);
        path_ = server_->dir + QStringLiteral("/stalled_%1.fdb").arg(QCoreApplication::applicationPid());
        auto w = StoreWriter::create(server_->host + ":" + path_, server_->user, server_->password);
        AddType(*w, "10", "Насос", "Нас", "PUMP");
        for (int i = 0; i < 300; ++i)
            AddObject(*w, QStringLiteral("1-%1").arg(i, 3, 10, QChar('0')), QStringLiteral("Насос %1").arg(i), "10");
        // Many more for the exports: more than the background reads ahead.
        w->exec(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
                               "INSERT INTO OBJECTS_TREE (ID_THIS, NUMPP, NAME_MAX, ID_TYPE, ITS_BASE, ITS_GLOBAL) "
                               "VALUES ('0-' || LPAD(:I, 6, '0'), 1, 'Задвижка ' || :I, '10', 1, 0); I = I + 1; END END")
                    .arg(kExportRows));
        w->close();
        conn_.setDatabaseName(server_->host + ":" + path_);
        conn_.setUserName(server_->user);
        conn_.setPassword(server_->password);
        conn_.open();
    }

    void cleanupTestCase()
    {
        if (!server_)
            return;
        conn_.close();
        QFile::remove(path_);
    }

    void resultWindow()
    {
        TDlg_ViewQuery_Objects window;
        StoppedServer server(server_->process);
        QVERIFY(server.stop());
        // The window's thread goes on while the server stands still.
        int ticks = 0;
        QTimer clock;
        connect(&clock, &QTimer::timeout, [&] { ++ticks; });
        clock.start(20);
        Canceller cancel;
        QString error;
        try {
            window.bind("t", &conn_, "t_o.ID_THIS >= '1-'", "", "");
        } catch (const DbError &e) {
            error = e.message();
        }
        QVERIFY(cancel.waitShown);
        QVERIFY2(cancel.sinceCancel.elapsed() < 3000, qPrintable(QString::number(cancel.sinceCancel.elapsed())));
        QVERIFY2(error.startsWith(QStringLiteral("Запрос отменён")), qPrintable(error));
        QVERIFY2(ticks > 50, qPrintable(QString::number(ticks)));
        server.resume();
        reconnect();
        window.bind("t", &conn_, "t_o.ID_THIS >= '1-'", "", "");
        QTRY_COMPARE(window.Query1->isAllFetched() ? window.Query1->fetchedCount() : -1, 300);
    }

    // An export whose reading stalls behind the background read: Cancel in
    // the wait window gives the cancel message once, as every call does,
    // and nothing else is said; nothing of the export stays.
    void exportCancelled_data()
    {
        QTest::addColumn<bool>("workbook");
        QTest::newRow("page") << false;
        QTest::newRow("workbook") << true;
    }
    void exportCancelled()
    {
        QFETCH(bool, workbook);
        QTemporaryDir temp;
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        TDlg_ViewQuery_Objects window;
        window.bind("t", &conn_, "t_o.ID_THIS STARTING WITH '0-'", "", "");
        StoppedServer server(server_->process);
        QVERIFY(server.stop());
        Canceller cancel;
        ReportingErrors([&] { workbook ? window.SpeedButton2Click() : window.SpeedButton3Click(); });
        QTest::qWait(500); // anything still on its way is said by now
        QVERIFY(cancel.waitShown);
        const QStringList said = cancel.answerer.seen.filter(QRegularExpression("^(?!StoreWaitDialog)"));
        QCOMPARE(said, QStringList{QStringLiteral("Запрос отменён. Сервер не ответил, соединение с базой данных потеряно.")});
        server.resume();
        QTest::qWait(100);
        qunsetenv("TMPDIR");
        QStringList left;
        for (QDirIterator it(temp.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            left << it.next();
        QCOMPARE(left, QStringList());
        reconnect();
    }

    void captionLookup()
    {
        FilterPage page;
        page.setConnection(&conn_);
        page.show();
        StoppedServer server(server_->process);
        QVERIFY(server.stop());
        Canceller cancel;
        page.Edit_ID_Parent->setText("1-001");
        QTRY_VERIFY_WITH_TIMEOUT(cancel.said().contains(QStringLiteral("Запрос отменён")), 10000);
        QVERIFY(cancel.waitShown);
        QCOMPARE(page.Label_Parent_Name->text(), QStringLiteral("???"));
        server.resume();
        reconnect();
        page.Edit_ID_Parent->setText("1-002");
        QTRY_COMPARE(page.Label_Parent_Name->text(), QStringLiteral("Насос: Насос 2"));
    }

    void objectSearch()
    {
        TDlg_Tree_Obj_Select picker;
        QVERIFY(picker.bind(&conn_, QString()));
        StoppedServer server(server_->process);
        QVERIFY(server.stop());
        Canceller cancel;
        QVERIFY_THROWS_EXCEPTION(DbError, picker.SpeedButton1Click());
        QVERIFY(cancel.waitShown);
        QVERIFY(cancel.sinceCancel.elapsed() < 3000);
        server.resume();
        reconnect();
        picker.SpeedButton1Click();
        QVERIFY(picker.Query_Obj->fetchedCount() > 0);
    }

    // A host that takes the connection and never answers: the attach ends
    // with a message, the windows running meanwhile.
    void silentHost()
    {
        // Listening, never accepting: the system takes the connection.
        const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QVERIFY(::bind(silent, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0);
        QVERIFY(::listen(silent, 4) == 0);
        socklen_t len = sizeof addr;
        ::getsockname(silent, reinterpret_cast<sockaddr *>(&addr), &len);
        struct Close {
            int fd;
            ~Close() { ::close(fd); }
        } closeLater{silent};
        bool waitShown = false;
        ModalAnswerer answerer([&](QWidget *modal) {
            waitShown = waitShown || qobject_cast<StoreWaitDialog *>(modal);
            ModalAnswerer::accept(modal); // out of the way; the attach goes on
        });
        DbConnection conn;
        conn.setDatabaseName(QStringLiteral("127.0.0.1/%1:/silent.fdb").arg(ntohs(addr.sin_port)));
        conn.setUserName("u");
        conn.setPassword("p");
        QElapsedTimer clock;
        clock.start();
        QVERIFY_THROWS_EXCEPTION(DbError, conn.open());
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(waitShown);
        QVERIFY(!conn.isOpen());
    }
};

QTEST_MAIN(TestStalledServer)
#include "test_stalled_server.moc"
