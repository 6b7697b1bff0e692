#include "db/store_wait.h"

#include "db/store_worker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <climits>
#include <condition_variable>
#include <ibase.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

StoreWaitWindowFactory &windowFactory()
{
    static StoreWaitWindowFactory factory;
    return factory;
}

bool ended = false; // EndWaiting was called (window's thread only)

bool onWindowThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// A task run on another thread, its outcome shared with the window's thread.
struct Job {
    std::function<void()> task;
    std::exception_ptr error;
    std::mutex mutex;
    std::condition_variable endedCondition;
    bool finished = false;      // guarded by mutex
    bool skip = false;          // guarded by mutex: stopped before it began
    bool skipped = false;       // guarded by mutex: it never ran
    QEventLoop *loop = nullptr; // window's thread only
    bool noticed = false;       // window's thread only: the end reached the loop

    // On the other thread: runs the task, unless it was stopped before it
    // began, and tells the window's thread.
    static void run(const std::shared_ptr<Job> &job)
    {
        bool skipNow = false;
        {
            std::lock_guard lock(job->mutex);
            skipNow = job->skip;
        }
        if (!skipNow) {
            try {
                job->task();
            } catch (...) {
                job->error = std::current_exception();
            }
        }
        job->task = nullptr; // what it holds ends here, on its own thread
        {
            std::lock_guard lock(job->mutex);
            job->finished = true;
            job->skipped = skipNow;
        }
        job->endedCondition.notify_all();
        if (QCoreApplication *app = QCoreApplication::instance()) {
            QMetaObject::invokeMethod(app, [job] {
                job->noticed = true;
                if (job->loop)
                    job->loop->quit();
            }, Qt::QueuedConnection);
        }
    }
    // Blocks until the task has ended or ms have passed.
    bool waitFor(int ms)
    {
        std::unique_lock lock(mutex);
        return endedCondition.wait_for(lock, std::chrono::milliseconds(ms), [&] { return finished; });
    }
    void skipIfNotBegun()
    {
        std::lock_guard lock(mutex);
        skip = true;
    }
};

// What every wait of the window's thread shares, in the order it happens:
// it is registered (CancelWaitingCall and EndWaiting reach it); it runs a
// local event loop that holds the user's input back; after showAfterMs the
// wait window appears, which then takes the user's input and Cancel; at its
// end the window goes and so does the registration.
class Wait {
public:
    explicit Wait(int showAfterMs, std::function<QString()> progress = {}) : progress_(std::move(progress))
    {
        registered().push_back(this);
        showTimer_.setSingleShot(true);
        QObject::connect(&showTimer_, &QTimer::timeout, &loop_, [this] { show(); });
        showTimer_.start(showAfterMs);
    }
    virtual ~Wait()
    {
        window_.reset();
        std::erase(registered(), this);
    }
    Wait(const Wait &) = delete;
    Wait &operator=(const Wait &) = delete;

    virtual void cancel() = 0; // the user's Cancel
    virtual void end() = 0;    // the program's end

    static std::vector<Wait *> &registered()
    {
        static std::vector<Wait *> waits; // innermost last
        return waits;
    }

protected:
    // Runs the local loop until quit(); false when no event loop runs any
    // more (the program is ending).
    bool runLoop() { return loop_.exec(flags_) != -1; }
    void quit() { loop_.quit(); }
    StoreWaitWindow *window() const { return window_.get(); }
    void showProgress()
    {
        if (window_ && progress_)
            window_->progress(progress_());
    }
    QEventLoop loop_;

private:
    void show()
    {
        if (!ended && windowFactory())
            window_ = windowFactory()();
        if (window_)
            window_->begin([this] { cancel(); });
        showProgress();
        flags_ = QEventLoop::AllEvents;
        quit(); // again, now with the user's input
    }

    std::function<QString()> progress_;
    QTimer showTimer_;
    std::unique_ptr<StoreWaitWindow> window_;
    QEventLoop::ProcessEventsFlags flags_ = QEventLoop::ExcludeUserInputEvents;
};

QTimer *singleShot(QTimer &timer, QEventLoop &loop, std::function<void()> action)
{
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, std::move(action));
    return &timer;
}

// A call on the store's thread: running, then asked to stop (raise), then
// dropped (abort), and left to itself when even that gets no answer.
class StoreCall final : public Wait {
public:
    StoreCall(std::shared_ptr<Job> job, const StoreCallStop &stop, const StoreCallTiming &timing)
        : Wait(timing.showAfterMs), job_(std::move(job)), stop_(stop), timing_(timing)
    {
        job_->loop = &loop_;
        singleShot(abortTimer_, loop_, [this] { escalate(); });
        singleShot(abandonTimer_, loop_, [this] { abandon(); });
        if (timing_.giveUpAfterMs > 0)
            singleShot(giveUpTimer_, loop_, [this] { abandon(); })->start(timing_.giveUpAfterMs);
    }
    ~StoreCall() override { job_->loop = nullptr; }

    StoreCallEnd wait()
    {
        while (!job_->noticed && !abandoned_) {
            if (!runLoop()) {
                // No event loop runs any more: asked to stop, given a
                // moment, then left.
                end();
                if (!abandoned_ && !job_->waitFor(timing_.endGraceMs))
                    abandoned_ = true;
                break;
            }
        }
        return outcome();
    }

    void cancel() override
    {
        if (stage_ != Stage::Running)
            return;
        job_->skipIfNotBegun();
        if (!stop_.raise) {
            abandon();
            return;
        }
        raise();
        if (window())
            window()->cancelling();
        abortTimer_.start(timing_.abortAfterMs);
    }

    void end() override
    {
        if (stage_ == Stage::Running) {
            job_->skipIfNotBegun();
            if (stop_.raise)
                raise();
        }
        abortTimer_.stop();
        abandonTimer_.start(timing_.endGraceMs);
    }

private:
    enum class Stage { Running, Raised, Aborted };

    void raise()
    {
        stage_ = Stage::Raised;
        stop_.raise();
    }
    void escalate()
    {
        if (stage_ != Stage::Raised)
            return;
        stage_ = Stage::Aborted;
        if (stop_.abort)
            stop_.abort();
        abandonTimer_.start(timing_.abandonAfterMs);
    }
    void abandon()
    {
        abandoned_ = true;
        quit();
    }
    StoreCallEnd outcome()
    {
        bool finished = false, skipped = false;
        {
            std::lock_guard lock(job_->mutex);
            finished = job_->finished;
            skipped = job_->skipped;
        }
        if (!finished)
            return StoreCallEnd::Abandoned;
        if (stage_ == Stage::Aborted)
            return StoreCallEnd::Aborted;
        // A call that ended well before the request to stop reached it keeps
        // its result.
        if (skipped || (stage_ == Stage::Raised && job_->error))
            return StoreCallEnd::Cancelled;
        if (job_->error)
            std::rethrow_exception(job_->error);
        return StoreCallEnd::Finished;
    }

    std::shared_ptr<Job> job_;
    const StoreCallStop &stop_;
    const StoreCallTiming &timing_;
    Stage stage_ = Stage::Running;
    bool abandoned_ = false;
    QTimer abortTimer_, abandonTimer_, giveUpTimer_;
};

// Long work in steps on the window's thread.
class LongWork final : public Wait {
public:
    LongWork(const std::function<bool()> &step, const std::function<QString()> &progress, int showAfterMs)
        : Wait(showAfterMs, progress), step_(step)
    {
        stepTimer_.setInterval(0);
        QObject::connect(&stepTimer_, &QTimer::timeout, &loop_, [this] { oneStep(); });
    }

    bool run()
    {
        stepTimer_.start();
        while (!done_ && !cancelled_) {
            if (!runLoop())
                cancelled_ = true;
        }
        if (error_)
            std::rethrow_exception(error_);
        return !cancelled_;
    }

    void cancel() override
    {
        cancelled_ = true;
        stepTimer_.stop();
        quit();
    }
    void end() override { cancel(); }

private:
    void oneStep()
    {
        try {
            done_ = !step_();
        } catch (...) {
            error_ = std::current_exception();
            done_ = true;
        }
        if (done_) {
            stepTimer_.stop();
            quit();
        } else {
            showProgress();
        }
    }

    const std::function<bool()> &step_;
    QTimer stepTimer_;
    std::exception_ptr error_;
    bool done_ = false;
    bool cancelled_ = false;
};

// Long work on a thread of its own, always waited for.
class AsideWork final : public Wait {
public:
    AsideWork(std::shared_ptr<Job> job, const std::function<void()> &stop, const std::function<QString()> &progress,
              int showAfterMs)
        : Wait(showAfterMs, progress), job_(std::move(job)), stop_(stop)
    {
        job_->loop = &loop_;
        progressTimer_.setInterval(kProgressMs);
        QObject::connect(&progressTimer_, &QTimer::timeout, &loop_, [this] { showProgress(); });
        progressTimer_.start();
    }
    ~AsideWork() override { job_->loop = nullptr; }

    void wait()
    {
        while (!job_->noticed) {
            if (!runLoop()) {
                end();
                job_->waitFor(INT_MAX);
                break;
            }
        }
    }

    void cancel() override
    {
        if (std::exchange(stopped_, true))
            return;
        if (stop_)
            stop_();
        if (window())
            window()->cancelling();
    }
    void end() override { cancel(); }

private:
    static constexpr int kProgressMs = 100;
    std::shared_ptr<Job> job_;
    const std::function<void()> &stop_;
    QTimer progressTimer_;
    bool stopped_ = false;
};

} // namespace

void SetStoreWaitWindow(StoreWaitWindowFactory factory)
{
    windowFactory() = std::move(factory);
}

DbError StoreCallCancelled(StoreCallEnd end)
{
    if (end == StoreCallEnd::Aborted || end == StoreCallEnd::Abandoned)
        return DbError(QStringLiteral("Запрос отменён. Сервер не ответил, соединение с базой данных потеряно."),
                       isc_cancelled);
    return DbError(QStringLiteral("Запрос отменён."), isc_cancelled);
}

bool StoreCallWaiting()
{
    return !Wait::registered().empty();
}

bool CancelWaitingCall()
{
    if (Wait::registered().empty())
        return false;
    Wait::registered().back()->cancel();
    return true;
}

void EndWaiting()
{
    ended = true;
    // Innermost first: a call inside long work stops before the work.
    const std::vector<Wait *> waits = Wait::registered();
    for (auto it = waits.rbegin(); it != waits.rend(); ++it)
        (*it)->end();
}

bool WaitingEnded()
{
    return ended;
}

StoreCallEnd WaitOnStore(StoreWorker &worker, std::function<void()> task, const StoreCallStop &stop,
                         const StoreCallTiming &timing)
{
    if (worker.onWorkerThread())
        qFatal("WaitOnStore called from a task of the worker it would wait for");
    auto job = std::make_shared<Job>();
    job->task = std::move(task);
    worker.post([job] { Job::run(job); });
    if (!onWindowThread()) {
        if (!job->waitFor(timing.giveUpAfterMs > 0 ? timing.giveUpAfterMs : INT_MAX))
            return StoreCallEnd::Abandoned;
        if (job->error)
            std::rethrow_exception(job->error);
        return StoreCallEnd::Finished;
    }
    StoreCall call(job, stop, timing);
    return call.wait();
}

bool RunLongWork(const std::function<bool()> &step, const std::function<QString()> &progress, int showAfterMs)
{
    if (!onWindowThread()) {
        while (step()) {
        }
        return true;
    }
    LongWork work(step, progress, showAfterMs);
    return work.run();
}

bool RunLongWorkAside(const std::function<bool()> &task, const std::function<void()> &stop,
                      const std::function<QString()> &progress, int showAfterMs)
{
    if (!onWindowThread())
        return task();
    bool result = false;
    auto job = std::make_shared<Job>();
    job->task = [&] { result = task(); };
    std::thread thread([job] { Job::run(job); });
    {
        AsideWork work(job, stop, progress, showAfterMs);
        work.wait();
    }
    thread.join();
    if (job->error)
        std::rethrow_exception(job->error);
    return result;
}
