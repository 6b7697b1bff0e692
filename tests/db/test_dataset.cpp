#include "common/test_store.h"
#include "db/db_connection.h"
#include "db/db_dataset.h"
#include "db/db_error.h"
#include "db/db_query.h"

#include <QElapsedTimer>
#include <QFile>
#include <ibase.h>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

void fillMisc(StoreWriter &w)
{
    w.exec("CREATE TABLE T_MISC (N INTEGER, C CHAR(10), V VARCHAR(20), D DATE, B BLOB SUB_TYPE 1, "
           "F DOUBLE PRECISION, S NUMERIC(9,2))");
    w.commit();
    w.exec("GRANT SELECT ON T_MISC TO PUBLIC");
    auto s = w.prepare("INSERT INTO T_MISC VALUES (?, ?, ?, ?, ?, ?, ?)");
    QString longText;
    for (int i = 0; i < 3000; ++i)
        longText += QStringLiteral("Строка %1 детального текста\n").arg(i);
    w.run(s, {qint64(1), QStringLiteral("Ёж"), QStringLiteral("Склад №1 «Север»"),
              QDateTime(QDate(2005, 2, 1), QTime(10, 30)), longText, 20.5, qint64(1250)});
    w.run(s, {qint64(2), StoreValue(), StoreValue(), StoreValue(), StoreValue(), StoreValue(), StoreValue()});
    w.run(s, {qint64(3), QStringLiteral("  a  "), QStringLiteral(" b  "), QDateTime(QDate(1582, 1, 1), QTime()),
              QStringLiteral("x"), -1e20, qint64(-5)});
    for (int i = 0; i < 997; ++i)
        AddObject(w, QStringLiteral("9-%1").arg(i, 4, 10, QChar('0')), QStringLiteral("Объект %1").arg(i));
    w.exec("CREATE PROCEDURE P_TOUCH RETURNS (R INTEGER) AS BEGIN "
           "UPDATE OBJECTS_TREE SET NAME_MAX = 'changed'; R = 1; SUSPEND; END");
    w.commit();
    // The procedure may write and anybody may call it: only the program's
    // read-only transaction stands in its way.
    w.exec("GRANT UPDATE ON OBJECTS_TREE TO PROCEDURE P_TOUCH");
    w.exec("GRANT EXECUTE ON PROCEDURE P_TOUCH TO PUBLIC");
    w.exec("GRANT UPDATE, DELETE ON OBJECTS_TREE TO PUBLIC");
    w.exec("CREATE SEQUENCE G_X");
    w.commit();
    w.exec("CREATE TABLE T_TEXTS (ID_THIS VARCHAR(10), NAME_MAX VARCHAR(60), NOTE VARCHAR(60), NUMPP INTEGER)");
    w.commit();
    w.exec("GRANT USAGE ON SEQUENCE G_X TO PUBLIC");
    w.exec("GRANT SELECT ON T_TEXTS TO PUBLIC");
    w.exec("INSERT INTO T_TEXTS VALUES ('8-1', 'gen_id(G_X, 1) и next value for G_X', 'GEN_ID (G_X, 5)', 0)");
    w.commit();
}

} // namespace

class TestDataSet : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString store_;
    DbConnection conn_;
    int sequenceRows_ = 0; // the values writers took from G_X so far

private slots:
    void initTestCase()
    {
        store_ = MakeTestStore(dir_.path(), "misc.fdb", fillMisc);
        conn_.setDatabaseName(store_);
        conn_.setUserName("VeldaRunKX");
        conn_.setPassword("qzmt");
        conn_.open();
        QVERIFY(conn_.isOpen());
    }

    void valuesOfEveryKind()
    {
        DbDataSet ds;
        ds.setConnection(&conn_);
        ds.sql() << "SELECT N, C, V, D, B, F, S" << "FROM T_MISC ORDER BY N";
        ds.addField({"N", FieldKind::Integer, "Номер", 3});
        ds.addField({"C", FieldKind::Text, "Char", 10});
        ds.addField({"V", FieldKind::Text, "Var", 20});
        ds.addField({"D", FieldKind::DateTime, "Дата", 10, true, 0, "dd.mm.yyyy"});
        ds.addField({"B", FieldKind::Memo, "Детально", 3});
        ds.addField({"F", FieldKind::Float, "F", 10});
        ds.addField({"S", FieldKind::Float, "S", 10});
        ds.open();
        QCOMPARE(ds.currentRow(), 0);
        QCOMPARE(ds.fetchedCount(), 1); // rows come as they are needed
        QCOMPARE(ds.fieldByName("c")->asString(), QStringLiteral("Ёж")); // CHAR blanks removed
        QCOMPARE(ds.fieldByName("V")->asString(), QStringLiteral("Склад №1 «Север»"));
        QCOMPARE(ds.fieldByName("D")->asString(), QStringLiteral("01.02.2005"));
        QCOMPARE(ds.fieldByName("D")->value().toDateTime(), QDateTime(QDate(2005, 2, 1), QTime(10, 30)));
        const QString blob = ds.fieldByName("B")->asString();
        QCOMPARE(blob.count('\n'), 3000);
        QVERIFY(blob.endsWith(QStringLiteral("Строка 2999 детального текста\n")));
        QCOMPARE(ds.fieldByName("F")->asString(), QStringLiteral("20.5"));
        QCOMPARE(ds.fieldByName("F")->asInteger(), 21);
        QCOMPARE(ds.fieldByName("S")->asString(), QStringLiteral("12.50"));
        QCOMPARE(ds.fieldByName("N")->asInteger(), 1);
        QCOMPARE(ds.fieldByName("N")->value().toInt(), 1);

        ds.next();
        for (int i = 1; i < ds.fieldCount(); ++i) {
            QVERIFY(ds.field(i)->isNull());
            QCOMPARE(ds.field(i)->asString(), QString());
            QCOMPARE(ds.field(i)->asInteger(), 0);
            QVERIFY(!ds.field(i)->value().isValid());
        }

        ds.next();
        QCOMPARE(ds.fieldByName("C")->asString(), QStringLiteral("  a")); // leading blanks stay
        QCOMPARE(ds.fieldByName("V")->asString(), QStringLiteral(" b  ")); // VARCHAR untouched
        QCOMPARE(ds.fieldByName("D")->asString(), QStringLiteral("01.01.1582"));
        QCOMPARE(ds.fieldByName("F")->asString(), QStringLiteral("-1E20"));
        QCOMPARE(ds.fieldByName("S")->asString(), QStringLiteral("-0.05"));
        ds.next();
        QVERIFY(ds.eof());
        QCOMPARE(ds.currentRow(), 2);
        QVERIFY(ds.isAllFetched());
    }

    void walksEveryRowAndScrollsBack()
    {
        DbDataSet ds;
        ds.setConnection(&conn_);
        ds.sql() << "SELECT ID_THIS, NAME_MAX FROM OBJECTS_TREE ORDER BY ID_THIS";
        QSignalSpy scrolls(&ds, &DbDataSet::afterScroll);
        ds.open();
        QCOMPARE(scrolls.count(), 1);
        int rows = 0;
        for (ds.first(); !ds.eof(); ds.next())
            ++rows;
        QCOMPARE(rows, 997);
        QCOMPARE(ds.fetchedCount(), 997);
        ds.setCurrentRow(10);
        QCOMPARE(ds.fieldByName("ID_THIS")->asString(), QStringLiteral("9-0010"));
        ds.prior();
        QCOMPARE(ds.fieldByName("NAME_MAX")->asString(), QStringLiteral("Объект 9"));
        QCOMPARE(ds.text(1, 500), QStringLiteral("Объект 500"));
        const int before = scrolls.count();
        ds.setCurrentRow(9); // no move, no event
        QCOMPARE(scrolls.count(), before);
        ds.last();
        QCOMPARE(ds.currentRow(), 996);
    }

    void emptyResultFiresNoScroll()
    {
        DbDataSet ds;
        ds.setConnection(&conn_);
        ds.sql() << "SELECT ID_THIS FROM OBJECTS_TREE WHERE ID_THIS = 'none'";
        QSignalSpy scrolls(&ds, &DbDataSet::afterScroll);
        QSignalSpy opened(&ds, &DbDataSet::afterOpen);
        ds.open();
        QVERIFY(ds.isOpen());
        QVERIFY(ds.isEmpty());
        QVERIFY(ds.eof());
        QCOMPARE(opened.count(), 1);
        QCOMPARE(scrolls.count(), 0);
        QCOMPARE(ds.fieldByName("ID_THIS")->asString(), QString());
        ds.next();
        QCOMPARE(scrolls.count(), 0);
        QSignalSpy closed(&ds, &DbDataSet::afterClose);
        ds.close();
        QCOMPARE(closed.count(), 1);
    }

    void openErrors_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing column") << "SELECT ID_THIS FROM OBJECTS_TREE" << "NAME_MAX" << "NAME_MAX";
        QTest::newRow("empty statement") << "   " << "" << "SQL";
        QTest::newRow("bad table") << "SELECT X FROM NO_SUCH_TABLE" << "" << "NO_SUCH_TABLE";
        QTest::newRow("delete") << "DELETE FROM OBJECTS_TREE" << "" << "Разрешены только запросы SELECT";
        QTest::newRow("update") << "UPDATE OBJECTS_TREE SET NOTE = 'x'" << "" << "Разрешены только запросы SELECT";
        QTest::newRow("updating procedure") << "SELECT R FROM P_TOUCH" << "" << "read-only";
    }
    void openErrors()
    {
        QFETCH(QString, sql);
        QFETCH(QString, field);
        QFETCH(QString, message);
        DbDataSet ds;
        ds.setConnection(&conn_);
        ds.sql() << sql;
        if (!field.isEmpty())
            ds.addField({field, FieldKind::Text, field, 10});
        try {
            ds.open();
            QFAIL("no error");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
            // The engine's errors carry its code; the program's own carry none.
            QCOMPARE(e.gdsCode() != 0, QTest::currentDataTag() == QByteArray("bad table")
                                           || QTest::currentDataTag() == QByteArray("updating procedure"));
            QVERIFY(!e.isConnectionLost());
        }
        QVERIFY(!ds.isOpen());
        // Nothing was changed and the connection still works.
        DbQuery q;
        q.setConnection(&conn_);
        q.sql() << "SELECT COUNT(*) FROM OBJECTS_TREE WHERE NAME_MAX = 'changed' OR NOTE = 'x'";
        q.execQuery();
        QCOMPARE(q.fieldAsString(0), QStringLiteral("0"));
    }

    void calculatedFields()
    {
        DbDataSet ds;
        ds.setConnection(&conn_);
        ds.sql() << "SELECT N, V FROM T_MISC ORDER BY N";
        ds.addField({"N", FieldKind::Integer, "N", 3});
        DbField *calc = ds.addField({"KIND_NAME", FieldKind::Calculated, "Вид", 10});
        connect(&ds, &DbDataSet::calcFields, &ds,
                [&] { calc->setAsString(QStringLiteral("№%1").arg(ds.fieldByName("N")->asInteger())); });
        ds.open();
        QCOMPARE(calc->asString(), QStringLiteral("№1"));
        ds.next();
        QCOMPARE(calc->asString(), QStringLiteral("№2"));
        QCOMPARE(ds.text(1, 2), QStringLiteral("№3"));
    }

    void readCommittedSeesNewRows()
    {
        DbQuery q;
        q.setConnection(&conn_);
        q.sql() << "SELECT COUNT(*) FROM OBJECTS_TREE";
        q.execQuery();
        const int before = q.fieldAsString(0).toInt();
        {
            auto writer = StoreWriter::attach(store_);
            AddObject(*writer, "9-new", "Добавлен другой программой");
            writer->close();
        }
        q.execQuery();
        QCOMPARE(q.fieldAsString(0).toInt(), before + 1);
    }

    void closingConnectionClosesRowSets()
    {
        DbConnection conn;
        conn.setDatabaseName(store_);
        conn.setUserName("u");
        conn.open();
        DbDataSet ds;
        ds.setConnection(&conn);
        ds.sql() << "SELECT ID_THIS FROM OBJECTS_TREE";
        ds.open();
        QVERIFY(conn.defaultTransaction()->isActive());
        conn.close();
        QVERIFY(!ds.isOpen());
        QVERIFY(!conn.defaultTransaction()->isActive());
        conn.close(); // closing a closed connection does nothing
        conn.open();
        QVERIFY(!conn.defaultTransaction()->isActive());
        ds.open(); // starts a new transaction on demand
        QVERIFY(conn.defaultTransaction()->isActive());
        conn.open(); // opening an open connection does nothing
        QVERIFY(ds.isOpen());
    }

    void silentServerTimesOut()
    {
        // A listener that never answers: the attach gives up instead of hanging.
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
        QCOMPARE(::listen(fd, 4), 0);
        socklen_t len = sizeof addr;
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
        DbConnection conn;
        conn.setDatabaseName(QStringLiteral("127.0.0.1/%1:/x.fdb").arg(ntohs(addr.sin_port)));
        conn.setUserName("u");
        QElapsedTimer timer;
        timer.start();
        QVERIFY_THROWS_EXCEPTION(DbError, conn.open());
        QVERIFY(timer.elapsed() < 60000);
        ::close(fd);
    }

    void failedAttach()
    {
        DbConnection conn;
        conn.setDatabaseName(dir_.filePath("missing.fdb"));
        conn.setUserName("u");
        try {
            conn.open();
            QFAIL("no error");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains("missing.fdb"), qPrintable(e.message()));
        }
        QVERIFY(!conn.isOpen());
        DbDataSet ds;
        ds.setConnection(&conn);
        ds.sql() << "SELECT 1 FROM RDB$DATABASE";
        QVERIFY_THROWS_EXCEPTION(DbError, ds.open());
        QVERIFY_THROWS_EXCEPTION(DbError, conn.defaultTransaction()->start());
    }

    // Nothing the program sends may move a sequence of the store; texts that
    // merely hold the words are still searched.
    void sequenceCalls_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("word");
        QTest::newRow("gen_id") << "GEN_ID(G_X, 1000) > 0" << "GEN_ID";
        QTest::newRow("lower case, blanks, comment") << "gen_id  /* x */ (G_X, 1) > 0" << "GEN_ID";
        QTest::newRow("next value for") << "(NEXT VALUE FOR G_X) > 0" << "NEXT VALUE FOR";
        QTest::newRow("split over lines") << "(next\r\n  value -- c\n for G_X) > 0" << "NEXT VALUE FOR";
        QTest::newRow("in a sub-select") << "ID_THIS IN (SELECT GEN_ID(G_X, 1) FROM RDB$DATABASE)" << "GEN_ID";
        QTest::newRow("after a literal") << "NOTE <> 'it''s' AND GEN_ID(G_X,1) > 0" << "GEN_ID";
        QTest::newRow("in a literal") << "NAME_MAX CONTAINING 'gen_id(G_X'" << "";
        QTest::newRow("in a double-quoted literal") << "NAME_MAX CONTAINING \"next value for\"" << "";
        QTest::newRow("note holding a call") << "NOTE = 'GEN_ID (G_X, 5)'" << "";
        QTest::newRow("in a comment") << "ID_THIS = '8-1' /* GEN_ID(G_X, 1) */" << "";
        QTest::newRow("in a line comment") << "ID_THIS = '8-1' -- NEXT VALUE FOR G_X\n" << "";
        QTest::newRow("a column, no call") << "ID_THIS = '8-1' AND 'GEN_ID' <> ''" << "";
    }
    void sequenceCalls()
    {
        QFETCH(QString, condition);
        QFETCH(QString, word);
        DbDataSet ds;
        ds.setConnection(&conn_);
        ds.sql() << "SELECT ID_THIS FROM T_TEXTS WHERE" << condition;
        if (word.isEmpty()) {
            ds.open();
            QCOMPARE(ds.fieldByName("ID_THIS")->asString(), QStringLiteral("8-1"));
        } else {
            try {
                ds.open();
                QFAIL("sent");
            } catch (const DbError &e) {
                QVERIFY2(e.message().contains(word), qPrintable(e.message()));
            }
        }
        // The sequence never moved: a writer's first value is still 1.
        auto writer = StoreWriter::attach(store_);
        writer->exec("UPDATE T_TEXTS SET NUMPP = NEXT VALUE FOR G_X");
        writer->close();
        DbQuery q;
        q.setConnection(&conn_);
        q.sql() << "SELECT NUMPP FROM T_TEXTS";
        q.execQuery();
        QCOMPARE(q.fieldAsString(0), QString::number(++sequenceRows_));
    }

    // A store damaged on disk: the query fails with the engine's code, the
    // connection closes at once, and another store opens after it.
    void damagedStore()
    {
        const QString damaged = MakeTestStore(dir_.path(), "damaged.fdb", [](StoreWriter &w) {
            for (int i = 0; i < 3000; ++i)
                AddObject(w, QStringLiteral("7-%1").arg(i, 4, 10, QChar('0')),
                          QStringLiteral("Объект с длинным именем номер %1").arg(i));
        });
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 pages = file.size() / 8192;
        QVERIFY(pages > 60);
        QByteArray junk(8192 * 20, '\0');
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char((i * 37 + 11) % 256);
        file.seek(8192 * (pages / 2));
        file.write(junk);
        file.close();

        DbConnection conn;
        conn.setDatabaseName(damaged);
        conn.setUserName("VeldaRunKX");
        conn.open();
        DbDataSet ds;
        ds.setConnection(&conn);
        ds.sql() << "SELECT ID_THIS, NAME_MAX FROM OBJECTS_TREE";
        try {
            ds.open();
            while (!ds.isAllFetched())
                ds.fetchRows(500);
            QFAIL("the damage was not seen");
        } catch (const DbError &e) {
            QVERIFY2(e.gdsCode() == isc_bad_db_format || e.gdsCode() == isc_db_corrupt || e.gdsCode() == isc_bug_check,
                     qPrintable(e.message()));
        }
        const int before = StoreWorker::abandonedCount();
        conn.close();
        QCOMPARE(StoreWorker::abandonedCount(), before);
        conn.setDatabaseName(store_);
        conn.open();
        DbQuery q;
        q.setConnection(&conn);
        q.sql() << "SELECT COUNT(*) FROM T_MISC";
        q.execQuery();
        QCOMPARE(q.fieldAsString(0), QStringLiteral("3"));
    }
};

QTEST_MAIN(TestDataSet)
#include "test_dataset.moc"
