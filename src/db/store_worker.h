#pragma once
// The thread that talks to one attached store. Every call to the store's
// interfaces runs here, one after the other in the order posted, so that a
// slow or stalled server holds up this thread and never the windows, and no
// two calls ever meet on one attachment. A task owns (or shares) whatever it
// touches: a task still running when the program gives up waiting for it
// must not reach into objects that are gone.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class StoreWorker {
public:
    StoreWorker();
    // Runs the tasks still queued, then ends the thread.
    ~StoreWorker();
    StoreWorker(const StoreWorker &) = delete;
    StoreWorker &operator=(const StoreWorker &) = delete;

    void post(std::function<void()> task);
    // Posts like post(), also from the worker's own thread, for as long as
    // the worker is there; afterwards the task is dropped.
    std::function<void(std::function<void()>)> poster() const;
    // Leaves the thread to itself (it is stuck in a call that never ends):
    // it runs what is queued and ends on its own if the call ever returns.
    void abandon();
    bool onWorkerThread() const { return std::this_thread::get_id() == thread_.get_id(); }

private:
    struct Queue {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::function<void()>> tasks;
        bool stopping = false;
    };
    static void run(std::shared_ptr<Queue> queue);
    // Queues a task; while the worker stops, only when whileStopping.
    static void push(Queue &queue, std::function<void()> task, bool whileStopping);
    // No task is queued any more; the thread ends when the queue is empty.
    static void stop(Queue &queue);

    std::shared_ptr<Queue> queue_;
    std::thread thread_;
};
