#include "db/store_wait_loop.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>

namespace storewait {

bool ended = false;

bool onWindowThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

StoreWaitWindowFactory &windowFactory()
{
    static StoreWaitWindowFactory factory;
    return factory;
}

void Job::run(const std::shared_ptr<Job> &job)
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

bool Job::waitFor(int ms)
{
    std::unique_lock lock(mutex);
    return endedCondition.wait_for(lock, std::chrono::milliseconds(ms), [&] { return finished; });
}

void Job::skipIfNotBegun()
{
    std::lock_guard lock(mutex);
    skip = true;
}

bool Job::isFinished(bool *skippedToo)
{
    std::lock_guard lock(mutex);
    if (skippedToo)
        *skippedToo = skipped;
    return finished;
}

Wait::Wait(int showAfterMs, std::function<QString()> progress) : progress_(std::move(progress))
{
    registered().push_back(this);
    singleShot(showTimer_, [this] { show(); })->start(showAfterMs);
}

Wait::~Wait()
{
    window_.reset();
    std::erase(registered(), this);
}

std::vector<Wait *> &Wait::registered()
{
    static std::vector<Wait *> waits;
    return waits;
}

QTimer *Wait::singleShot(QTimer &timer, std::function<void()> action)
{
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop_, std::move(action));
    return &timer;
}

void Wait::showProgress()
{
    if (window_ && progress_)
        window_->progress(progress_());
}

void Wait::cancelInner()
{
    const std::vector<Wait *> waits = registered();
    for (auto it = waits.rbegin(); it != waits.rend() && *it != this; ++it)
        (*it)->cancel();
}

void Wait::show()
{
    if (!ended && windowFactory())
        window_ = windowFactory()();
    if (window_)
        window_->begin([this] { cancel(); });
    showProgress();
    flags_ = QEventLoop::AllEvents;
    quit(); // again, now with the user's input
}

} // namespace storewait
