// The wait routine without a store: tasks on the worker, the window's thread
// kept running, the wait window shown for long calls, and every way a call
// can be stopped.

#include "db/db_error.h"
#include "db/store_wait.h"
#include "db/store_worker.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

// The wait window as the routine sees it: records, and may press Cancel
// (twice, as an impatient user does).
struct FakeWindow : StoreWaitWindow {
    static inline int begun = 0;
    static inline int cancelling_ = 0;
    static inline bool pressCancel = false;
    QObject alive; // the presses go with the window
    void begin(std::function<void()> cancel) override
    {
        ++begun;
        if (pressCancel) {
            QTimer::singleShot(0, &alive, cancel);
            QTimer::singleShot(50, &alive, cancel);
        }
    }
    void cancelling() override { ++cancelling_; }
    void progress(const QString &text) override { lastProgress = text; }
    static inline QString lastProgress;
};

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Says on which thread it ended.
struct Ends {
    explicit Ends(std::shared_ptr<std::thread::id> w) : where(std::move(w)) {}
    Ends(const Ends &) = delete;
    ~Ends() { *where = std::this_thread::get_id(); }
    std::shared_ptr<std::thread::id> where;
};

// The modes the test runs itself in, in a process of its own: see
// withoutEventLoop. Returns the process's status.
int runWithoutEventLoop(const QString &mode)
{
    int failures = 0;
    StoreWorker worker;
    QTimer::singleShot(0, [&] {
        if (mode == QLatin1String("--from-worker")) {
            WaitOnStore(worker, [&] { WaitOnStore(worker, [] {}, {}); }, {});
            return;
        }
        const auto check = [&](bool ok, const char *what) {
            if (!ok) {
                std::fprintf(stderr, "%s\n", what);
                ++failures;
            }
        };
        auto release = std::make_shared<std::atomic<bool>>(false);
        auto raised = std::make_shared<std::atomic<int>>(0);
        StoreCallStop stop;
        stop.raise = [raised] { ++*raised; };
        // The program quits while a call runs that ends within its grace:
        // its result stands.
        QTimer::singleShot(100, [] { QCoreApplication::exit(0); });
        check(WaitOnStore(worker, [] { sleepMs(300); }, stop) == StoreCallEnd::Finished, "a call ending within its grace");
        StoreWorker stuck;
        *raised = 0;
        QElapsedTimer clock;
        clock.start();
        // Left, or stopped before it began: either way not waited for.
        check(WaitOnStore(stuck, [release] {
                  while (!*release)
                      sleepMs(5);
              }, stop) != StoreCallEnd::Finished, "stalled call");
        check(*raised == 1 && clock.elapsed() < 1500, "stalled call asked and left at once");
        stuck.abandon();
        *release = true;
        int steps = 0;
        check(!RunLongWork([&] { return ++steps < 1000; }, {}) && steps <= 1, "long work");
        std::atomic<bool> stopped{false};
        check(!RunLongWorkAside([&] {
                  while (!stopped)
                      sleepMs(5);
                  return false;
              }, [&] { stopped = true; }, {}),
              "long work aside");
    });
    QCoreApplication::exec();
    return failures;
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

    // Away from the window's thread (tools, benchmarks) the caller blocks:
    // a call ends as it ends, however long it takes, with its error; long
    // work runs every step.
    void awayFromTheWindowsThread()
    {
        StoreCallEnd slow = StoreCallEnd::Abandoned;
        bool thrown = false;
        int steps = 0;
        bool aside = false;
        std::thread([&] {
            slow = WaitOnStore(worker_, [] { sleepMs(600); }, {});
            try {
                WaitOnStore(worker_, [] { throw DbError("x"); }, {});
            } catch (const DbError &) {
                thrown = true;
            }
            RunLongWork([&] { return ++steps < 3; }, {});
            aside = !RunLongWorkAside([] { return false; }, {}, {}); // the task's own answer
        }).join();
        QCOMPARE(slow, StoreCallEnd::Finished);
        QVERIFY(thrown);
        QCOMPARE(steps, 3);
        QVERIFY(aside);
        QCOMPARE(FakeWindow::begun, 0);
    }

    // What a stopped call tells its caller: the one cancel message, which
    // says too when the connection was dropped.
    void cancelMessage_data()
    {
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("text");
        const QString lost = QStringLiteral("Запрос отменён. Сервер не ответил, соединение с базой данных потеряно.");
        QTest::newRow("cancelled") << int(StoreCallEnd::Cancelled) << QStringLiteral("Запрос отменён.");
        QTest::newRow("aborted") << int(StoreCallEnd::Aborted) << lost;
        QTest::newRow("abandoned") << int(StoreCallEnd::Abandoned) << lost;
    }
    void cancelMessage()
    {
        QFETCH(int, end);
        QFETCH(QString, text);
        const DbError e = StoreCallCancelled(StoreCallEnd(end));
        QCOMPARE(e.message(), text);
        QVERIFY(e.isCancelled());
    }

    // The program has quit (no event loop runs any more): a quick call
    // still ends well, a stalled one is asked to stop and left at once,
    // long work stops, long work aside is stopped and waited for. A call
    // made from a task of the store's own thread would wait for itself: the
    // program stops there instead of hanging. (In a process of their own.)
    void withoutEventLoop_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("crashes");
        QTest::newRow("after the program quit") << "--after-quit" << false;
        QTest::newRow("from a task of the store's thread") << "--from-worker" << true;
    }
    void withoutEventLoop()
    {
        QFETCH(QString, mode);
        QFETCH(bool, crashes);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {mode});
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus() == QProcess::CrashExit, crashes);
        if (!crashes)
            QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
    }

    // CancelWaitingCall stops the innermost wait: a call inside long work,
    // which goes on.
    void cancelWaitingCallStopsTheInnermost()
    {
        auto stopNow = std::make_shared<std::atomic<bool>>(false);
        StoreCallStop stop;
        stop.raise = [stopNow] { *stopNow = true; };
        stop.abort = [] {};
        int steps = 0;
        QList<StoreCallEnd> ends;
        QTimer::singleShot(200, [] { CancelWaitingCall(); });
        const bool finished = RunLongWork([&] {
            if (steps == 0) {
                ends << WaitOnStore(worker_, [stopNow] {
                    while (!*stopNow)
                        sleepMs(5);
                    throw DbError("cancelled");
                }, stop);
            }
            return ++steps < 3;
        }, {});
        QVERIFY(finished);
        QCOMPARE(steps, 3);
        QCOMPARE(ends, QList<StoreCallEnd>{StoreCallEnd::Cancelled});
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
    // An abort unanswered too: the call is left after abandonAfterMs, and
    // its worker with it.
    void raiseThenAbort_data()
    {
        QTest::addColumn<bool>("raiseAnswered");
        QTest::addColumn<bool>("abortAnswered");
        QTest::addColumn<int>("end");
        QTest::newRow("answered") << true << true << int(StoreCallEnd::Cancelled);
        QTest::newRow("unanswered") << false << true << int(StoreCallEnd::Aborted);
        QTest::newRow("abort unanswered") << false << false << int(StoreCallEnd::Abandoned);
    }
    void raiseThenAbort()
    {
        QFETCH(bool, raiseAnswered);
        QFETCH(bool, abortAnswered);
        QFETCH(int, end);
        FakeWindow::pressCancel = true;
        auto stopNow = std::make_shared<std::atomic<bool>>(false);
        StoreCallStop stop;
        stop.raise = [=] {
            if (raiseAnswered)
                *stopNow = true;
        };
        stop.abort = [=] {
            if (abortAnswered)
                *stopNow = true;
        };
        StoreCallTiming timing;
        timing.abortAfterMs = 300;
        timing.abandonAfterMs = 300;
        StoreWorker worker;
        QElapsedTimer clock;
        clock.start();
        const StoreCallEnd ended = WaitOnStore(worker, [stopNow] {
            while (!*stopNow)
                sleepMs(5);
            throw DbError("cancelled");
        }, stop, timing);
        QCOMPARE(int(ended), end);
        QCOMPARE(FakeWindow::cancelling_, 1);
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        if (ended == StoreCallEnd::Abandoned)
            worker.abandon();
        *stopNow = true;
    }

    // A call that may be left after a while is left then, nobody asking it
    // to stop, on the window's thread as away from it.
    void giveUp_data()
    {
        QTest::addColumn<bool>("windowThread");
        QTest::newRow("window's thread") << true;
        QTest::newRow("another thread") << false;
    }
    void giveUp()
    {
        QFETCH(bool, windowThread);
        auto release = std::make_shared<std::atomic<bool>>(false);
        StoreWorker worker;
        StoreCallTiming timing;
        timing.giveUpAfterMs = 300;
        const auto call = [&] {
            return WaitOnStore(worker, [release] {
                while (!*release)
                    sleepMs(5);
            }, {}, timing);
        };
        QElapsedTimer clock;
        clock.start();
        StoreCallEnd ended = StoreCallEnd::Finished;
        if (windowThread)
            ended = call();
        else
            std::thread([&] { ended = call(); }).join();
        QCOMPARE(ended, StoreCallEnd::Abandoned);
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        worker.abandon();
        *release = true;
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
        // Progress said as the work went on, not only when the window came.
        QVERIFY2(FakeWindow::lastProgress.toInt() > (cancelled ? 0 : 50), qPrintable(FakeWindow::lastProgress));
    }

    // Cancel of long work stops the call a step of it waits for.
    void cancellingLongWorkStopsItsCall()
    {
        FakeWindow::pressCancel = true;
        auto stopNow = std::make_shared<std::atomic<bool>>(false);
        StoreCallStop stop;
        stop.raise = [stopNow] { *stopNow = true; };
        stop.abort = [] {};
        StoreCallTiming slowWindow;
        slowWindow.showAfterMs = 60000; // only the long work's window shows
        StoreCallEnd inner = StoreCallEnd::Finished;
        const bool finished = RunLongWork([&] {
            inner = WaitOnStore(worker_, [stopNow] {
                while (!*stopNow)
                    sleepMs(5);
                throw DbError("cancelled");
            }, stop, slowWindow);
            return false;
        }, {}, 100);
        QVERIFY(!finished);
        QCOMPARE(inner, StoreCallEnd::Cancelled);
    }

    void longWorkErrorReachesTheCaller()
    {
        QVERIFY_THROWS_EXCEPTION(DbError, RunLongWork([]() -> bool { throw DbError("x"); }, {}));
        QVERIFY_THROWS_EXCEPTION(DbError, RunLongWorkAside([]() -> bool { throw DbError("x"); }, {}, {}));
    }

    // Long work on a thread of its own: the window's thread runs meanwhile,
    // the window shows how far it came; Cancel asks the task to stop and
    // waits for it, and the task's own answer is the result.
    void longWorkAside_data()
    {
        QTest::addColumn<bool>("pressCancel");
        QTest::newRow("to the end") << false;
        QTest::newRow("cancelled") << true;
    }
    void longWorkAside()
    {
        QFETCH(bool, pressCancel);
        FakeWindow::pressCancel = pressCancel;
        FakeWindow::lastProgress.clear();
        std::atomic<bool> stop{false};
        std::atomic<int> done{0};
        int ticks = 0;
        QTimer clock;
        connect(&clock, &QTimer::timeout, [&] { ++ticks; });
        clock.start(10);
        const bool result = RunLongWorkAside(
            [&] {
                for (; done < 60; ++done) {
                    if (stop) {
                        sleepMs(150); // slow to answer: a second Cancel comes meanwhile
                        return false;
                    }
                    sleepMs(10);
                }
                return true;
            },
            [&] { stop = true; }, [&] { return QStringLiteral("%1").arg(done.load()); }, 200);
        QCOMPARE(result, !pressCancel);
        QCOMPARE(done.load() < 60, pressCancel);
        QCOMPARE(int(stop), int(pressCancel));
        QCOMPARE(FakeWindow::begun, 1);
        QCOMPARE(FakeWindow::cancelling_, int(pressCancel));
        // Progress said as the task went on, not only when the window came.
        QVERIFY2(FakeWindow::lastProgress.toInt() >= (pressCancel ? 0 : 40), qPrintable(FakeWindow::lastProgress));
        QVERIFY2(ticks > 10, qPrintable(QString::number(ticks)));
        QVERIFY(!StoreCallWaiting());
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

    // A worker left to itself still runs what post() gives it once its stuck
    // task returns, but takes nothing from a poster; it is counted.
    void abandonedWorker()
    {
        auto release = std::make_shared<std::atomic<bool>>(false);
        auto posted = std::make_shared<std::atomic<int>>(0);
        auto fromPoster = std::make_shared<std::atomic<int>>(0);
        auto ended = std::make_shared<std::thread::id>();
        const int before = StoreWorker::abandonedCount();
        {
            StoreWorker worker;
            const auto poster = worker.poster();
            worker.post([release] {
                while (!*release)
                    sleepMs(5);
            });
            poster([fromPoster] { ++*fromPoster; }); // queued before the abandon: runs
            auto shared = worker.share(std::make_unique<Ends>(ended));
            QVERIFY(!worker.isAbandoned());
            worker.abandon();
            QVERIFY(worker.isAbandoned());
            worker.post([posted] { ++*posted; });
            poster([fromPoster] { ++*fromPoster; });
            shared.reset(); // not here, beside the stuck call: behind it
        }
        QCOMPARE(*ended, std::thread::id());
        QCOMPARE(StoreWorker::abandonedCount(), before + 1);
        *release = true;
        QTRY_COMPARE(posted->load(), 1);
        QTRY_VERIFY(*ended != std::thread::id());
        QVERIFY(*ended != std::this_thread::get_id());
        sleepMs(50);
        QCOMPARE(fromPoster->load(), 1);
    }

    // Tasks still queued when a worker ends run before its thread goes.
    void workerEndsAfterItsTasks()
    {
        auto ran = std::make_shared<std::atomic<int>>(0);
        {
            StoreWorker worker;
            for (int i = 0; i < 3; ++i)
                worker.post([ran] {
                    sleepMs(20);
                    ++*ran;
                });
        }
        QCOMPARE(ran->load(), 3);
    }

    // An object shared with share() ends on the worker's thread wherever its
    // last reference drops, after the tasks posted before; in place when no
    // worker is left.
    void sharedObjectsEndOnTheWorker()
    {
        auto droppedHere = std::make_shared<std::thread::id>(), droppedThere = std::make_shared<std::thread::id>(),
             droppedLast = std::make_shared<std::thread::id>(), noWorker = std::make_shared<std::thread::id>(),
             captured = std::make_shared<std::thread::id>();
        std::thread::id workerThread;
        auto order = std::make_shared<QStringList>();
        {
            StoreWorker worker;
            WaitOnStore(worker, [&] { workerThread = std::this_thread::get_id(); }, {});
            // What a task holds ends with it, on the store's thread.
            WaitOnStore(worker, [held = std::make_shared<Ends>(captured)] {}, {});
            QCOMPARE(*captured, workerThread);
            auto here = worker.share(std::make_unique<Ends>(droppedHere));
            worker.post([order] {
                sleepMs(50);
                *order << "task";
            });
            here.reset(); // on this thread: ended there, after the task
            worker.post([order, droppedHere] { *order << (*droppedHere == std::thread::id() ? "not yet" : "ended"); });
            auto there = worker.share(std::make_unique<Ends>(droppedThere));
            // Dropped on the store's thread: ended there and then.
            WaitOnStore(worker, [moved = std::move(there), order, droppedThere]() mutable {
                moved.reset();
                *order << (*droppedThere == std::thread::id() ? "later" : "in place");
            }, {});
            QCOMPARE(*order, (QStringList{"task", "ended", "in place"}));
            auto last = worker.share(std::make_unique<Ends>(droppedLast));
            last.reset(); // just before the worker ends: it still runs that
        }
        QCOMPARE(*droppedHere, workerThread);
        QCOMPARE(*droppedThere, workerThread);
        QCOMPARE(*droppedLast, workerThread);
        auto worker = std::make_unique<StoreWorker>();
        auto lasting = worker->share(std::make_unique<Ends>(noWorker));
        worker.reset();
        lasting.reset(); // no worker left: ended in place
        QCOMPARE(*noWorker, std::this_thread::get_id());
    }

    // The program's end: a call the window's thread waits for is asked to
    // stop and left at once, the long work around it stops, and from then
    // on no wait window shows. (Last: the end cannot be taken back.)
    void zEndWaiting()
    {
        FakeWindow::pressCancel = false;
        auto release = std::make_shared<std::atomic<bool>>(false);
        auto raised = std::make_shared<std::atomic<int>>(0);
        StoreWorker worker;
        StoreCallStop stop;
        stop.raise = [raised] { ++*raised; };
        stop.abort = [] {};
        StoreCallEnd inner = StoreCallEnd::Finished;
        auto ran = std::make_shared<std::atomic<bool>>(false);
        worker.post([release] { // the call waits behind this
            while (!*release)
                sleepMs(5);
        });
        QTimer::singleShot(300, [] { EndWaiting(); });
        QElapsedTimer clock;
        clock.start();
        const bool finished = RunLongWork([&] {
            inner = WaitOnStore(worker, [ran] { *ran = true; }, stop);
            return true;
        }, {}, 100);
        QVERIFY(!finished);
        QCOMPARE(inner, StoreCallEnd::Abandoned);
        QCOMPARE(raised->load(), 1);
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(WaitingEnded());
        worker.abandon();
        *release = true;
        sleepMs(100);
        QVERIFY(!*ran); // stopped before it began: never runs
        // Afterwards: no window however long a call takes.
        const int shown = FakeWindow::begun;
        QCOMPARE(WaitOnStore(worker_, [] { sleepMs(300); }, {}, StoreCallTiming{50}), StoreCallEnd::Finished);
        QCOMPARE(FakeWindow::begun, shown);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString mode = app.arguments().value(1);
    if (mode == QLatin1String("--after-quit") || mode == QLatin1String("--from-worker"))
        return runWithoutEventLoop(mode);
    TestStoreWait test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_store_wait.moc"
