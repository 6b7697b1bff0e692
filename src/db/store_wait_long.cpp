// Long work under the wait window (store_wait.h): in steps on the window's
// thread, or on a thread of its own.

#include "db/store_wait.h"

#include "db/store_wait_loop.h"

#include <climits>
#include <thread>

using namespace storewait;

namespace {

// Steps on the window's thread, one from each turn of the local loop.
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
                cancelled_ = true; // the program is ending
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
        // A call a step waits for is part of the work: stopped with it.
        cancelInner();
    }
    void end() override
    {
        cancelled_ = true;
        stepTimer_.stop();
        quit();
    }

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

// A task on a thread of its own, always waited for: Cancel asks it to stop.
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
                end(); // the program is ending: stopped, and waited for
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
