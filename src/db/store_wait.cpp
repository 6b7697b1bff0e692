#include "db/store_wait.h"

#include "db/store_worker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

StoreWaitWindowFactory &windowFactory()
{
    static StoreWaitWindowFactory factory;
    return factory;
}

// One call: the task's outcome, shared with the store's thread.
struct Job {
    std::function<void()> task;
    std::exception_ptr error;
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;                   // guarded by mutex
    bool skip = false;                       // guarded by mutex: stopped before it began
    bool skipped = false;                    // guarded by mutex: it never ran
    QEventLoop *loop = nullptr;              // window's thread only
    bool noticed = false;                    // window's thread only: the end reached the loop
};

// The calls the window's thread waits for, innermost last.
struct Waiting {
    std::function<void()> cancel;
};
std::vector<Waiting *> &waitingCalls()
{
    static std::vector<Waiting *> calls;
    return calls;
}

bool waitBlocking(Job &job, int ms)
{
    std::unique_lock lock(job.mutex);
    return job.ended.wait_for(lock, std::chrono::milliseconds(ms), [&] { return job.finished; });
}

} // namespace

void SetStoreWaitWindow(StoreWaitWindowFactory factory)
{
    windowFactory() = std::move(factory);
}

bool StoreCallWaiting()
{
    return !waitingCalls().empty();
}

bool CancelWaitingCall()
{
    if (waitingCalls().empty())
        return false;
    waitingCalls().back()->cancel();
    return true;
}

StoreCallEnd WaitOnStore(StoreWorker &worker, std::function<void()> task, const StoreCallStop &stop,
                         const StoreCallTiming &timing)
{
    auto job = std::make_shared<Job>();
    job->task = std::move(task);
    worker.post([job] {
        bool skip = false;
        {
            std::lock_guard lock(job->mutex);
            skip = job->skip;
        }
        if (!skip) {
            try {
                job->task();
            } catch (...) {
                job->error = std::current_exception();
            }
        }
        job->task = nullptr; // what it holds ends here, on the store's thread
        {
            std::lock_guard lock(job->mutex);
            job->finished = true;
            job->skipped = skip;
        }
        job->ended.notify_all();
        if (QCoreApplication *app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(app, [job] {
                job->noticed = true;
                if (job->loop)
                    job->loop->quit();
            }, Qt::QueuedConnection);
        }
    });

    auto outcome = [&](StoreCallEnd end) {
        if (end == StoreCallEnd::Finished && job->error)
            std::rethrow_exception(job->error);
        return end;
    };

    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        if (!waitBlocking(*job, timing.giveUpAfterMs > 0 ? timing.giveUpAfterMs : INT_MAX))
            return StoreCallEnd::Abandoned;
        return outcome(StoreCallEnd::Finished);
    }

    // The window's thread: wait in a local loop.
    enum Stage { Running, Raised, AbortedStage } stage = Running;
    bool abandoned = false;
    std::unique_ptr<StoreWaitWindow> window;
    QEventLoop loop;
    job->loop = &loop;
    QTimer showTimer;
    QTimer abortTimer;
    QTimer abandonTimer;
    showTimer.setSingleShot(true);
    abortTimer.setSingleShot(true);
    abandonTimer.setSingleShot(true);
    QEventLoop::ProcessEventsFlags flags = QEventLoop::ExcludeUserInputEvents;

    auto abandon = [&] {
        abandoned = true;
        loop.quit();
    };
    auto escalate = [&] {
        if (stage != Raised)
            return;
        stage = AbortedStage;
        if (stop.abort)
            stop.abort();
        abandonTimer.start(timing.abandonAfterMs);
    };
    Waiting waiting;
    waiting.cancel = [&] {
        if (stage != Running)
            return;
        {
            std::lock_guard lock(job->mutex);
            job->skip = true; // not begun yet: it never will
        }
        if (!stop.raise) {
            abandon();
            return;
        }
        stage = Raised;
        stop.raise();
        if (window)
            window->cancelling();
        abortTimer.start(timing.abortAfterMs);
    };
    QObject::connect(&showTimer, &QTimer::timeout, &loop, [&] {
        if (windowFactory())
            window = windowFactory()();
        if (window)
            window->begin([&] { waiting.cancel(); });
        flags = QEventLoop::AllEvents;
        loop.quit(); // again, now with the user's input
    });
    QObject::connect(&abortTimer, &QTimer::timeout, &loop, escalate);
    QObject::connect(&abandonTimer, &QTimer::timeout, &loop, abandon);
    QTimer giveUpTimer;
    giveUpTimer.setSingleShot(true);
    QObject::connect(&giveUpTimer, &QTimer::timeout, &loop, abandon);
    if (timing.giveUpAfterMs > 0)
        giveUpTimer.start(timing.giveUpAfterMs);

    waitingCalls().push_back(&waiting);
    struct Pop {
        Job &job;
        ~Pop()
        {
            waitingCalls().pop_back();
            job.loop = nullptr;
        }
    } pop{*job};

    showTimer.start(timing.showAfterMs);
    while (!job->noticed && !abandoned) {
        if (loop.exec(flags) == -1) {
            // The program is ending and no event loop runs any more: stop
            // the call and wait for it without one.
            waiting.cancel();
            if (abandoned || waitBlocking(*job, timing.abortAfterMs))
                break;
            stage = Raised;
            escalate();
            if (!waitBlocking(*job, timing.abandonAfterMs))
                abandoned = true;
            break;
        }
    }
    window.reset();
    bool finished = false;
    bool skipped = false;
    {
        std::lock_guard lock(job->mutex);
        finished = job->finished;
        skipped = job->skipped;
    }
    if (!finished)
        return StoreCallEnd::Abandoned;
    if (stage == AbortedStage)
        return StoreCallEnd::Aborted;
    // A call that ended well before the request to stop reached it keeps its
    // result.
    if (skipped || (stage == Raised && job->error))
        return StoreCallEnd::Cancelled;
    return outcome(StoreCallEnd::Finished);
}

bool RunLongWork(const std::function<bool()> &step, const std::function<QString()> &progress, int showAfterMs)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread()) {
        while (step()) {
        }
        return true;
    }
    QEventLoop loop;
    QEventLoop::ProcessEventsFlags flags = QEventLoop::ExcludeUserInputEvents;
    std::unique_ptr<StoreWaitWindow> window;
    std::exception_ptr error;
    bool cancelled = false;
    bool done = false;
    QTimer work;
    work.setInterval(0);
    QObject::connect(&work, &QTimer::timeout, &loop, [&] {
        try {
            done = !step();
        } catch (...) {
            error = std::current_exception();
            done = true;
        }
        if (done) {
            work.stop();
            loop.quit();
        } else if (window && progress) {
            window->progress(progress());
        }
    });
    // Stopped as a waiting call is: by the window's Cancel, or by
    // CancelWaitingCall when nothing of the store waits inside a step.
    Waiting waiting;
    waiting.cancel = [&] {
        cancelled = true;
        work.stop();
        loop.quit();
    };
    waitingCalls().push_back(&waiting);
    struct Pop {
        ~Pop() { waitingCalls().pop_back(); }
    } pop;
    QTimer showTimer;
    showTimer.setSingleShot(true);
    QObject::connect(&showTimer, &QTimer::timeout, &loop, [&] {
        if (windowFactory())
            window = windowFactory()();
        if (window) {
            window->begin([&] { waiting.cancel(); });
            if (progress)
                window->progress(progress());
        }
        flags = QEventLoop::AllEvents;
        loop.quit(); // again, now with the user's input
    });
    work.start();
    showTimer.start(showAfterMs);
    while (!done && !cancelled) {
        if (loop.exec(flags) == -1) {
            cancelled = true; // the program is ending
            break;
        }
    }
    window.reset();
    if (error)
        std::rethrow_exception(error);
    return !cancelled;
}
