#include "db/store_worker.h"

namespace {

std::atomic<int> abandonedWorkers{0};
thread_local bool storeThread = false;
thread_local bool detached = false;

} // namespace

StoreWorker::StoreWorker() : queue_(std::make_shared<Queue>()), thread_(&StoreWorker::run, queue_)
{
    threadId_ = thread_.get_id();
}

StoreWorker::~StoreWorker()
{
    if (!thread_.joinable())
        return;
    stop(*queue_);
    thread_.join();
}

int StoreWorker::abandonedCount()
{
    return abandonedWorkers.load();
}

bool StoreWorker::onStoreThread()
{
    return storeThread;
}

bool StoreWorker::storeDetached()
{
    return detached;
}

void StoreWorker::markStoreDetached()
{
    detached = true;
}

StoreWorker::DetachedHere::DetachedHere() : before(detached)
{
    detached = true;
}

StoreWorker::DetachedHere::~DetachedHere()
{
    detached = before;
}

void StoreWorker::push(Queue &queue, std::function<void()> task, bool whileStopping)
{
    {
        std::lock_guard lock(queue.mutex);
        if (queue.stopping && !whileStopping)
            return;
        queue.tasks.push_back(std::move(task));
    }
    queue.wake.notify_one();
}

void StoreWorker::stop(Queue &queue)
{
    {
        std::lock_guard lock(queue.mutex);
        queue.stopping = true;
    }
    queue.wake.notify_one();
}

void StoreWorker::post(std::function<void()> task)
{
    // Also to a worker left to itself: what the task ends is ended on its
    // thread, once the stuck call returns.
    push(*queue_, std::move(task), true);
}

std::function<void(std::function<void()>)> StoreWorker::poster() const
{
    std::weak_ptr<Queue> weak = queue_;
    return [weak](std::function<void()> task) {
        if (auto queue = weak.lock())
            push(*queue, std::move(task), false);
    };
}

void StoreWorker::abandon()
{
    if (!thread_.joinable())
        return;
    stop(*queue_);
    // The tasks queued behind the stuck call stay with the thread: ending
    // what they hold here would talk to the store on this thread.
    thread_.detach();
    abandoned_ = true;
    ++abandonedWorkers;
}

void StoreWorker::run(std::shared_ptr<Queue> queue)
{
    storeThread = true;
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(queue->mutex);
            queue->wake.wait(lock, [&] { return queue->stopping || !queue->tasks.empty(); });
            if (queue->tasks.empty())
                return;
            task = std::move(queue->tasks.front());
            queue->tasks.pop_front();
        }
        task();
    }
}
