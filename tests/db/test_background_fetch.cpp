// Reading a result in the background over many slices, held back while the
// window's thread takes nothing and going on when it does; and the server
// side of a result ending on the store's thread wherever its last reference
// drops.

#include "common/test_store.h"
#include "db/background_fetch.h"
#include "db/db_connection.h"
#include "db/db_cursor.h"
#include "db/db_dataset.h"
#include "db/db_error.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

namespace {

constexpr int kObjects = 1000;
constexpr int kSlice = 50;

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

class TestBackgroundFetch : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    DbConnection conn_;

    // The cursor of all objects, opened on the store's thread.
    std::shared_ptr<DbCursor> openCursor(const QByteArray &sql = "SELECT ID_THIS FROM OBJECTS_TREE ORDER BY ID_THIS")
    {
        DbTransaction *tra = conn_.defaultTransaction();
        tra->start();
        auto cursor = conn_.share(std::make_unique<DbCursor>());
        Firebird::IAttachment *attachment = conn_.attachment();
        Firebird::ITransaction *transaction = tra->handle();
        conn_.call([cursor, attachment, transaction, sql] { OpenCursor(*cursor, attachment, transaction, sql); });
        return cursor;
    }

    // Keeps the store's thread busy for a while, so that a call waits.
    void holdStoreThread(int ms)
    {
        conn_.storePoster()([ms] { sleepMs(ms); });
    }

private slots:
    void initTestCase()
    {
        conn_.setDatabaseName(MakeTestStore(dir_.path(), "fetch.fdb", [](StoreWriter &w) {
            for (int i = 0; i < kObjects; ++i)
                AddObject(w, QStringLiteral("1-%1").arg(i, 4, 10, QChar('0')), QStringLiteral("Объект %1").arg(i));
        }));
        conn_.setUserName("VeldaRunKX");
        conn_.open();
    }

    // While the window's thread takes nothing, the reading goes kAhead
    // slices ahead and waits; as it takes them, the reading goes on to the
    // end, every row once and in order. Stopped, it delivers nothing more.
    void slicesPausedAndResumed_data()
    {
        QTest::addColumn<int>("stopAfter"); // slices taken before stop(); -1 never
        QTest::newRow("to the end") << -1;
        QTest::newRow("stopped") << 6;
    }
    void slicesPausedAndResumed()
    {
        QFETCH(int, stopAfter);
        auto cursor = openCursor();
        std::atomic<int> steps{0};
        const auto poster = conn_.storePoster();
        QStringList ids;
        int slices = 0;
        std::shared_ptr<BackgroundFetch> fetch;
        fetch = BackgroundFetch::start(cursor, kSlice, 0,
                                       [&](std::function<void()> task) {
                                           ++steps;
                                           poster(std::move(task));
                                       },
                                       [&](const std::shared_ptr<FetchedRows> &rows) {
                                           QVERIFY(!rows->error);
                                           for (int i = 0; i < rows->count; ++i)
                                               ids << QString::fromLatin1(reinterpret_cast<const char *>(
                                                                              rows->row(i, cursor->messageLength))
                                                                              + cursor->columns[0].offset + 2,
                                                                          6);
                                           ++slices;
                                           fetch->taken();
                                           if (slices == stopAfter)
                                               fetch->stop();
                                       });
        sleepMs(500); // nothing taken: the reading holds after kAhead slices
        QCOMPARE(steps.load(), BackgroundFetch::kAhead);
        QVERIFY(!fetch->finished());
        QCOMPARE(slices, 0);
        if (stopAfter < 0) {
            QTRY_VERIFY(fetch->finished());
            QTest::qWait(50);
            QCOMPARE(ids.size(), kObjects);
            QCOMPARE(slices, kObjects / kSlice + 1); // the last one finds the end: no slice twice, none more
            QCOMPARE(ids.value(0), "1-0000");
            QCOMPARE(ids.value(kObjects - 1), QStringLiteral("1-%1").arg(kObjects - 1, 4, 10, QChar('0')));
            for (int i = 1; i < ids.size(); ++i)
                QVERIFY2(ids[i - 1] < ids[i], qPrintable(ids[i]));
        } else {
            QTRY_COMPARE(slices, stopAfter);
            QTest::qWait(300);
            QCOMPARE(slices, stopAfter);
            QVERIFY(fetch->finished());
        }
        fetch.reset();
        cursor.reset();
        QTRY_COMPARE(DbCursor::alive(), 0);
    }

    // Stopped before its first slice was read: the slice waiting on the
    // store's thread reads nothing, the cursor stays where it was.
    void stoppedBeforeItsFirstSlice()
    {
        auto cursor = openCursor();
        std::vector<std::function<void()>> held;
        int delivered = 0;
        auto fetch = BackgroundFetch::start(cursor, kSlice, 0, [&](std::function<void()> task) { held.push_back(std::move(task)); },
                                            [&](const std::shared_ptr<FetchedRows> &) { ++delivered; });
        fetch->stop();
        QCOMPARE(held.size(), size_t(1));
        FetchedRows next;
        conn_.call([&] {
            held.front()();
            FetchCursor(*cursor, 1, 0, next);
        });
        QTest::qWait(50);
        QCOMPARE(delivered, 0);
        QCOMPARE(next.count, 1);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(next.row(0, cursor->messageLength)) + cursor->columns[0].offset + 2, 6),
                 QByteArray("1-0000"));
        held.clear();
        fetch.reset();
        cursor.reset();
        QTRY_COMPARE(DbCursor::alive(), 0);
    }

    // A slice that fails ends the reading: it is delivered with its error,
    // and nothing is read after it.
    void failureEndsTheReading()
    {
        // Row 500 divides by zero (no ORDER BY: rows are computed as fetched).
        auto cursor = openCursor("SELECT 1 / (CAST(SUBSTRING(ID_THIS FROM 3) AS INTEGER) - 500) FROM OBJECTS_TREE");
        int slices = 0, afterError = 0;
        bool failed = false;
        std::shared_ptr<BackgroundFetch> fetch;
        fetch = BackgroundFetch::start(cursor, kSlice, 0, conn_.storePoster(), [&](const std::shared_ptr<FetchedRows> &rows) {
            ++slices;
            if (failed)
                ++afterError;
            failed = failed || bool(rows->error);
            fetch->taken();
        });
        QTRY_VERIFY(failed);
        QTRY_VERIFY(fetch->finished());
        QTest::qWait(300);
        QCOMPARE(afterError, 0);
        QVERIFY(slices <= kObjects / kSlice);
        fetch.reset();
        cursor.reset();
        QTRY_COMPARE(DbCursor::alive(), 0);
    }

    // A reader going down the rows of a result of many slices gets every row
    // once and in order, from the reading ahead of it, also when the count
    // starts or a grid asks for rows while it reads.
    void readerGoingDown_data()
    {
        QTest::addColumn<QString>("midway");
        QTest::newRow("alone") << "";
        QTest::newRow("the count starts") << "count";
        QTest::newRow("a grid asks") << "request";
    }
    void readerGoingDown()
    {
        QFETCH(QString, midway);
        constexpr int kPairs = 13; // 13,000 rows: several slices of the row set
        DbDataSet ds;
        ds.setConnection(&conn_);
        ds.sql() << "SELECT A.ID_THIS || '/' || B.ID_THIS FROM OBJECTS_TREE A, OBJECTS_TREE B"
                 << "WHERE B.ID_THIS < '1-0013' ORDER BY A.ID_THIS, B.ID_THIS";
        ds.open();
        int rows = 0;
        QString previous;
        for (ds.first(); !ds.eof(); ds.next(), ++rows) {
            const QString text = ds.text(0, ds.currentRow());
            QVERIFY2(previous < text, qPrintable(text));
            previous = text;
            if (rows == 3000 && midway == "count")
                ds.fetchAllInBackground();
            if (rows == 3000 && midway == "request")
                ds.requestRows(100);
        }
        QCOMPARE(rows, kObjects * kPairs);
        QCOMPARE(ds.fetchedCount(), kObjects * kPairs);
        QVERIFY(ds.isAllFetched());
        QTest::qWait(50); // nothing comes twice after the end
        QCOMPARE(ds.fetchedCount(), kObjects * kPairs);
        ds.close();
        QTRY_COMPARE(DbCursor::alive(), 0);
    }

    // The last reference to a result's server side dropped on the window's
    // thread, in the three ways it can happen there: it ends on the store's
    // thread all the same, and it ends.
    void cursorEndsOnTheStoreThread_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("completion of a fetch asked for") << "completion";
        QTest::newRow("held across a wait") << "wait";
        QTest::newRow("background delivery") << "delivery";
    }
    void cursorEndsOnTheStoreThread()
    {
        QFETCH(QString, how);
        const int away = DbCursor::endedAwayFromStore();
        const int alive = DbCursor::alive();
        {
            DbDataSet ds;
            ds.setConnection(&conn_);
            ds.sql() << "SELECT ID_THIS FROM OBJECTS_TREE";
            ds.setFirstFetch(10);
            ds.open();
            if (how == "completion") {
                ds.requestRows(100); // its completion holds the cursor
                ds.close();
            } else if (how == "wait") {
                holdStoreThread(300);
                QTimer::singleShot(50, &ds, &DbDataSet::close);
                ds.fetchRows(100); // holds the cursor while it waits
            } else {
                connect(&ds, &DbDataSet::rowsFetched, &ds, &DbDataSet::close); // from inside the delivery
                ds.fetchAllInBackground();
            }
            QTRY_VERIFY(!ds.isOpen());
            QTRY_COMPARE(DbCursor::alive(), alive);
        }
        QCOMPARE(DbCursor::endedAwayFromStore(), away);
    }

    // A cursor whose last reference drops while its connection closes ends
    // behind the disconnect: only released, as its store is detached.
    void cursorEndingAfterItsStore()
    {
        const int alive = DbCursor::alive();
        auto cursor = openCursor();
        holdStoreThread(300); // the disconnect waits behind this
        QTimer::singleShot(100, [&] { cursor.reset(); });
        conn_.close();
        QVERIFY(!cursor);
        QCOMPARE(DbCursor::alive(), alive);
        conn_.open();
    }

    // The connection closes while a row set's open waits: the row set does
    // not open on it.
    void noOpenOnAClosedConnection()
    {
        const int alive = DbCursor::alive();
        DbDataSet ds;
        ds.setConnection(&conn_);
        ds.sql() << "SELECT ID_THIS FROM OBJECTS_TREE";
        conn_.defaultTransaction()->start();
        holdStoreThread(300);
        QTimer::singleShot(50, &conn_, &DbConnection::close);
        QVERIFY_THROWS_EXCEPTION(DbError, ds.open());
        QVERIFY(!ds.isOpen());
        QVERIFY(!conn_.isOpen());
        QTRY_COMPARE(DbCursor::alive(), alive);
        conn_.open();
    }
};

QTEST_GUILESS_MAIN(TestBackgroundFetch)
#include "test_background_fetch.moc"
