// Database triggers that move a sequence (on connect, on transaction start
// and commit): the engine switches them off for the program where it allows
// that (SYSDBA, the store's owner); anyone else is told once per store, by
// name, that the engine runs them and the program cannot prevent it.

#include "app/form_logo.h"
#include "app/main_window.h"
#include "app/welcome_dialog.h"
#include "common/modal_answerer.h"
#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/fb_api.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

using namespace Firebird;

class TestDatabaseTriggers : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString store_;

    // The sequence, read without firing the triggers.
    qint64 sequence()
    {
        fb::Handle<IAttachment> attachment = fb::attach(store_, "SYSDBA", "masterkey", QString(), false, true);
        fb::Status st;
        return fb::check([&] {
            fb::Handle<ITransaction> tra(attachment->startTransaction(st.get(), 0, nullptr));
            fb::Handle<IStatement> s(
                attachment->prepare(st.get(), tra.get(), 0, "SELECT GEN_ID(G_X, 0) FROM RDB$DATABASE", 1, 0));
            fb::Handle<IMessageMetadata> meta(s->getOutputMetadata(st.get()));
            std::vector<unsigned char> buf(meta->getMessageLength(st.get()));
            s->execute(st.get(), tra.get(), nullptr, nullptr, meta.get(), buf.data());
            ISC_INT64 value = 0;
            std::memcpy(&value, buf.data() + meta->getOffset(st.get(), 0), sizeof value);
            return qint64(value);
        });
    }

    // Opens the store as the program does, reads from it and closes.
    static QString useStore(DbConnection &conn)
    {
        conn.open();
        DbDataSet ds;
        ds.setConnection(&conn);
        ds.sql() << "SELECT COUNT(*) N FROM OBJECTS_TREE";
        ds.open();
        const QString count = ds.fieldByName("N")->asString();
        ds.close();
        conn.close();
        return count;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        store_ = MakeTestStore(dir_.path(), "triggers.fdb", [](StoreWriter &w) {
            AddObject(w, "1-1", QStringLiteral("Объект"));
            w.exec("CREATE SEQUENCE G_X");
            w.exec("CREATE PROCEDURE P_NEXT RETURNS (R INTEGER) AS BEGIN R = GEN_ID(G_X, 100); SUSPEND; END");
            w.commit();
            w.exec("CREATE TRIGGER TR_CONNECT ON CONNECT AS BEGIN IF (GEN_ID(G_X, 1) < 0) THEN EXIT; END");
            w.exec("CREATE TRIGGER TR_START ON TRANSACTION START AS BEGIN IF (GEN_ID(G_X, 10) < 0) THEN EXIT; END");
            w.exec("CREATE TRIGGER TR_COMMIT ON TRANSACTION COMMIT AS DECLARE R INTEGER; BEGIN "
                   "SELECT R FROM P_NEXT INTO :R; END");
            w.exec("CREATE TRIGGER TR_BYE ON DISCONNECT AS BEGIN IF (GEN_ID(G_X, 1000) < 0) THEN EXIT; END");
            w.exec("CREATE TRIGGER TR_UNDO ON TRANSACTION ROLLBACK AS BEGIN IF (GEN_ID(G_X, 1) < 0) THEN EXIT; END");
            w.exec("CREATE TRIGGER TR_QUIET ON CONNECT AS DECLARE R INTEGER; BEGIN R = 1; END");
            // Dynamic SQL cannot be checked, whatever it runs.
            w.exec("CREATE TRIGGER TR_DYN ON TRANSACTION START AS DECLARE R INTEGER; BEGIN "
                   "EXECUTE STATEMENT 'SELECT 1 FROM RDB$DATABASE' INTO :R; END");
            w.exec("CREATE TRIGGER TR_OFF INACTIVE ON CONNECT AS BEGIN IF (GEN_ID(G_X, 1000) < 0) THEN EXIT; END");
            w.exec("GRANT SELECT ON OBJECTS_TREE TO PUBLIC");
            w.exec("GRANT USAGE ON SEQUENCE G_X TO PUBLIC");
            w.exec("GRANT EXECUTE ON PROCEDURE P_NEXT TO PUBLIC");
        });
    }

    // The owner and SYSDBA attach with the triggers switched off: nothing
    // moves, nothing is told. Attached past the program, they fire.
    void ownerAttachesWithoutThem()
    {
        const qint64 before = sequence();
        DbConnection conn;
        conn.setDatabaseName(store_);
        conn.setUserName("SYSDBA");
        conn.setPassword("masterkey");
        QCOMPARE(useStore(conn), QStringLiteral("1"));
        QCOMPARE(conn.takeDatabaseTriggerNotice(), QString());
        QCOMPARE(sequence(), before);

        {
            fb::Handle<IAttachment> unguarded = fb::attach(store_, "SYSDBA", "masterkey", QString(), false);
            fb::Status st;
            fb::check([&] {
                fb::Handle<ITransaction> tra(unguarded->startTransaction(st.get(), 0, nullptr));
                fb::end(tra, [](ITransaction *t, ThrowStatusWrapper *w) { t->commit(w); });
            });
        }
        QCOMPARE(sequence(), before + 1 + 10 + 100 + 1000);
    }

    // Anyone else: the engine refuses to switch them off, the program
    // attaches with them and says so once per store, naming those that move
    // the sequence, through the main window.
    void othersAreToldOncePerStore()
    {
        const QString startupDir = dir_.filePath("prog/");
        QDir().mkpath(startupDir);
        WriteDatabaseList(startupDir + "VRKX_LocalList_DB.txt", {{"Склад", "S1", store_, "IVAN", "pw"}});
        for (int start = 0; start < 2; ++start) {
            const qint64 before = sequence();
            auto *logo = new TForm_Logo;
            logo->show();
            TDlg_Enter_In_Application welcome;
            ModalAnswerer answerer;
            TForm1 form(startupDir, logo);
            form.setWelcomeDialog(&welcome);
            form.setStoreArgument(store_);
            form.show();
            QTRY_VERIFY_WITH_TIMEOUT(!form.FirstTick() && form.Timer1->isActive(), 10000);
            QVERIFY(form.Database()->isOpen());
            QCOMPARE(form.Database()->userName(), QStringLiteral("IVAN"));
            if (start == 0) {
                QCOMPARE(answerer.seen.size(), 2);
                const QString notice = answerer.seen.first();
                for (const char *part :
                     {"В базе данных есть триггеры базы данных, которые сервер выполняет сам, и программа не может "
                      "этому помешать (отключить их при подключении может только владелец базы данных или SYSDBA):",
                      "TR_CONNECT (при каждом подключении): изменяет счётчик (генератор) G_X базы данных",
                      "TR_START (в начале каждой транзакции): изменяет счётчик (генератор) G_X базы данных",
                      "TR_COMMIT (при подтверждении каждой транзакции): изменяет счётчик (генератор) G_X",
                      "TR_BYE (при каждом отключении)", "TR_UNDO (при откате каждой транзакции)",
                      "TR_DYN (в начале каждой транзакции): выполняется динамический SQL (EXECUTE STATEMENT в "
                      "триггере TR_DYN)"})
                    QVERIFY2(notice.contains(QString::fromUtf8(part)), qPrintable(notice));
                QVERIFY(!notice.contains("TR_QUIET"));
                QVERIFY(!notice.contains("TR_OFF"));
            } else {
                QCOMPARE(answerer.seen, QStringList{"Dlg_Enter_In_Application"});
            }
            // The engine ran them: on connect, and for the transaction the
            // program read them in.
            QVERIFY(sequence() >= before + 11);
            form.Database()->close();
        }
    }
};

QTEST_MAIN(TestDatabaseTriggers)
#include "test_database_triggers.moc"
