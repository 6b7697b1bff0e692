#include "db/store_worker.h"

StoreWorker::StoreWorker() : queue_(std::make_shared<Queue>()), thread_(&StoreWorker::run, queue_) {}

StoreWorker::~StoreWorker()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(queue_->mutex);
        queue_->stopping = true;
    }
    queue_->wake.notify_one();
    thread_.join();
}

void StoreWorker::post(std::function<void()> task)
{
    {
        std::lock_guard lock(queue_->mutex);
        queue_->tasks.push_back(std::move(task));
    }
    queue_->wake.notify_one();
}

std::function<void(std::function<void()>)> StoreWorker::poster() const
{
    std::weak_ptr<Queue> weak = queue_;
    return [weak](std::function<void()> task) {
        auto queue = weak.lock();
        if (!queue)
            return;
        {
            std::lock_guard lock(queue->mutex);
            if (queue->stopping)
                return;
            queue->tasks.push_back(std::move(task));
        }
        queue->wake.notify_one();
    };
}

void StoreWorker::abandon()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(queue_->mutex);
        queue_->stopping = true;
    }
    queue_->wake.notify_one();
    // The tasks queued behind the stuck call stay with the thread: ending
    // what they hold here would talk to the store on this thread.
    thread_.detach();
}

void StoreWorker::run(std::shared_ptr<Queue> queue)
{
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
