#include "db/store_wait.h"

#include "db/engine_messages.h"

#include "db/store_wait_loop.h"
#include "db/store_worker.h"

#include <climits>
#include <ibase.h>

using namespace storewait;

namespace {

// A call on the store's thread: running, then asked to stop (raise), then
// dropped (abort), and left to itself when even that gets no answer, or
// when it takes longer than its give-up time, or at the program's end.
class StoreCall final : public Wait {
public:
    StoreCall(std::shared_ptr<Job> job, const StoreCallStop &stop, const StoreCallTiming &timing)
        : Wait(timing.showAfterMs), job_(std::move(job)), stop_(stop), timing_(timing)
    {
        job_->loop = &loop_;
        singleShot(abortTimer_, [this] { escalate(); });
        singleShot(abandonTimer_, [this] { abandon(); });
        if (timing_.giveUpAfterMs > 0)
            singleShot(giveUpTimer_, [this] { abandon(); })->start(timing_.giveUpAfterMs);
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
        bool skipped = false;
        if (!job_->isFinished(&skipped))
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

} // namespace

void SetStoreWaitWindow(StoreWaitWindowFactory factory)
{
    windowFactory() = std::move(factory);
}

DbError StoreCallCancelled(StoreCallEnd end)
{
    if (end == StoreCallEnd::Aborted || end == StoreCallEnd::Abandoned)
        return CancelledError(QStringLiteral("Запрос отменён. Сервер не ответил, соединение с базой данных потеряно."));
    return CancelledError();
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
        qFatal("WaitOnStore: a task of the store's thread would wait for itself");
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
