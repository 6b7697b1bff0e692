#pragma once
// The thread that talks to one attached store. Every call to the store's
// interfaces runs here, one after the other in the order posted, so that a
// slow or stalled server holds up this thread and never the windows, and no
// two calls ever meet on one attachment. A task owns (or shares) whatever it
// touches: a task still running when the program gives up waiting for it
// must not reach into objects that are gone.
//
// Objects of the store that tasks share with the windows (a cursor, an
// attachment in the making) are made with share(): wherever their last
// reference drops, they end here, after the tasks posted before.

#include <atomic>
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

    // Queues a task, also on a worker left to itself: it runs there if the
    // stuck call ever returns.
    void post(std::function<void()> task);
    // Posts like post(), also from the worker's own thread, for as long as
    // the worker is there and not left to itself; afterwards the task is
    // dropped.
    std::function<void(std::function<void()>)> poster() const;
    // Leaves the thread to itself (it is stuck in a call that never ends):
    // it runs what is queued and ends on its own if the call ever returns.
    // Every worker left so is counted.
    void abandon();
    bool isAbandoned() const { return abandoned_; }
    bool onWorkerThread() const { return std::this_thread::get_id() == threadId_; }

    // Whether the store this thread talked to is detached (said by the
    // disconnect on the store's thread, and while an object is ended with no
    // worker left): its objects can then only be released, never closed.
    static bool storeDetached();
    static void markStoreDetached();

    // How many workers this process has left to themselves. A process that
    // left one ends without waiting for the client library's own clean-up,
    // which would wait for the stuck call (see main()).
    static int abandonedCount();
    // Whether the calling thread is a worker's (any store's).
    static bool onStoreThread();

    // Shares the object so that it ends on this worker's thread, after the
    // tasks posted before, wherever its last reference drops: in place when
    // that is on this thread, or when the worker is gone (its store is
    // closed and nothing of it is left to talk to).
    template <class T>
    std::shared_ptr<T> share(std::unique_ptr<T> object) const
    {
        return std::shared_ptr<T>(object.release(), Ender<T>{queue_, threadId_});
    }

private:
    struct Queue {
        std::mutex mutex;
        std::condition_variable wake;
        std::deque<std::function<void()>> tasks;
        bool stopping = false;
    };
    template <class T>
    struct Ender {
        std::weak_ptr<Queue> queue;
        std::thread::id thread;
        void operator()(T *object) const
        {
            std::unique_ptr<T> owned(object);
            if (std::this_thread::get_id() == thread)
                return;
            if (auto q = queue.lock()) {
                // Held by the task: ended where it runs, or with the queue
                // when it never does.
                auto held = std::make_shared<std::unique_ptr<T>>(std::move(owned));
                push(*q, [held] { held->reset(); }, true);
                return;
            }
            // No worker is left: its store is detached.
            DetachedHere detached;
            owned.reset();
        }
    };
    // While it lives, this thread counts as talking to a detached store.
    struct DetachedHere {
        DetachedHere();
        ~DetachedHere();
        bool before;
    };
    static void run(std::shared_ptr<Queue> queue);
    // Queues a task; while the worker stops, only when whileStopping.
    static void push(Queue &queue, std::function<void()> task, bool whileStopping);
    // No task is queued any more; the thread ends when the queue is empty.
    static void stop(Queue &queue);

    std::shared_ptr<Queue> queue_;
    std::thread thread_;
    std::thread::id threadId_;
    std::atomic<bool> abandoned_{false};
};
