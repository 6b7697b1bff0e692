// The wait routine without a store: tasks on the worker, the window's thread
// kept running, the wait window shown for long calls, and every way a call
// can be stopped.

#include "db/db_error.h"
#include "db/store_wait.h"
#include "db/store_worker.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <thread>

namespace {

// The wait window as the routine sees it: records, and may press Cancel.
struct FakeWindow : StoreWaitWindow {
    static inline int begun = 0;
    static inline int cancelling_ = 0;
    static inline bool pressCancel = false;
    void begin(std::function<void()> cancel) override
    {
        ++begun;
        if (pressCancel)
            QTimer::singleShot(0, cancel);
    }
    void cancelling() override { ++cancelling_; }
    void progress(const QString &text) override { lastProgress = text; }
    static inline QString lastProgress;
};

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

class TestStoreWait : public QObject {
    Q_OBJECT
    StoreWorker worker_;

private slots:
    void init()
    {
        FakeWindow::begun = FakeWindow::cancelling_ = 0;
        FakeWindow::pressCancel = false;
        SetStoreWaitWindow([] { return std::make_unique<FakeWindow>(); });
    }

    void quickCallShowsNothing()
    {
        int value = 0;
        auto result = std::make_shared<int>(0);
        QCOMPARE(WaitOnStore(worker_, [result] { *result = 42; }, {}), StoreCallEnd::Finished);
        value = *result;
        QCOMPARE(value, 42);
        QCOMPARE(FakeWindow::begun, 0);
    }

    void slowCallKeepsTheThreadRunning()
    {
        int ticks = 0;
        QTimer clock;
        connect(&clock, &QTimer::timeout, [&] { ++ticks; });
        clock.start(10);
        QCOMPARE(WaitOnStore(worker_, [] { sleepMs(800); }, {}), StoreCallEnd::Finished);
        QCOMPARE(FakeWindow::begun, 1);
        QVERIFY2(ticks > 30, qPrintable(QString::number(ticks)));
    }

    void errorsReachTheCaller()
    {
        QVERIFY_THROWS_EXCEPTION(DbError, WaitOnStore(worker_, [] { throw DbError("x"); }, {}));
    }

    // Nothing to ask the engine (attaching): Cancel leaves the task at once.
    void cancelWithoutRaiseLeavesTheTask()
    {
        FakeWindow::pressCancel = true;
        StoreWorker worker;
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(WaitOnStore(worker, [] { sleepMs(2000); }, {}), StoreCallEnd::Abandoned);
        QVERIFY(clock.elapsed() < 1500);
        worker.abandon();
    }

    // Raise stops the task: a cancelled call. Raise unanswered: abort after
    // the time given, and the call counts as aborted.
    void raiseThenAbort_data()
    {
        QTest::addColumn<bool>("raiseAnswered");
        QTest::addColumn<int>("end");
        QTest::newRow("answered") << true << int(StoreCallEnd::Cancelled);
        QTest::newRow("unanswered") << false << int(StoreCallEnd::Aborted);
    }
    void raiseThenAbort()
    {
        QFETCH(bool, raiseAnswered);
        QFETCH(int, end);
        FakeWindow::pressCancel = true;
        auto stopNow = std::make_shared<std::atomic<bool>>(false);
        StoreCallStop stop;
        stop.raise = [=] {
            if (raiseAnswered)
                *stopNow = true;
        };
        stop.abort = [=] { *stopNow = true; };
        StoreCallTiming timing;
        timing.abortAfterMs = 300;
        QElapsedTimer clock;
        clock.start();
        const StoreCallEnd ended = WaitOnStore(worker_, [stopNow] {
            while (!*stopNow)
                sleepMs(5);
            throw DbError("cancelled");
        }, stop, timing);
        QCOMPARE(int(ended), end);
        QCOMPARE(FakeWindow::cancelling_, 1);
        QVERIFY(clock.elapsed() < 2000);
    }

    // Long work in steps: the thread runs between steps, the window shows
    // how far it came, and Cancel stops it after the step in hand.
    void longWork_data()
    {
        QTest::addColumn<bool>("pressCancel");
        QTest::addColumn<bool>("cancelFromCode"); // as the program's end does
        QTest::newRow("to the end") << false << false;
        QTest::newRow("cancelled") << true << false;
        QTest::newRow("cancelled from code") << false << true;
    }
    void longWork()
    {
        QFETCH(bool, pressCancel);
        QFETCH(bool, cancelFromCode);
        FakeWindow::pressCancel = pressCancel;
        int steps = 0, ticks = 0;
        QTimer clock;
        connect(&clock, &QTimer::timeout, [&] { ++ticks; });
        clock.start(10);
        const bool finished = RunLongWork(
            [&] {
                sleepMs(10);
                if (cancelFromCode && steps == 60)
                    CancelWaitingCall();
                return ++steps < 80;
            },
            [&] { return QStringLiteral("%1").arg(steps); }, 200);
        const bool cancelled = pressCancel || cancelFromCode;
        QCOMPARE(finished, !cancelled);
        QCOMPARE(FakeWindow::begun, 1);
        QVERIFY(cancelled ? steps < 80 : steps == 80);
        QVERIFY(!StoreCallWaiting());
        QVERIFY(ticks > 10);
        QVERIFY(!FakeWindow::lastProgress.isEmpty());
    }

    void longWorkErrorReachesTheCaller()
    {
        QVERIFY_THROWS_EXCEPTION(DbError, RunLongWork([]() -> bool { throw DbError("x"); }, {}));
    }

    // A call queued behind another and cancelled before it began never runs.
    void cancelledBeforeItBegan()
    {
        FakeWindow::pressCancel = true;
        auto ran = std::make_shared<std::atomic<bool>>(false);
        worker_.post([] { sleepMs(700); });
        StoreCallStop stop;
        stop.raise = [] {};
        stop.abort = [] {};
        StoreCallTiming timing;
        timing.abortAfterMs = 5000;
        QCOMPARE(WaitOnStore(worker_, [ran] { *ran = true; }, stop, timing), StoreCallEnd::Cancelled);
        QVERIFY(!*ran);
    }
};

QTEST_GUILESS_MAIN(TestStoreWait)
#include "test_store_wait.moc"
