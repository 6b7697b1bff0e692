#pragma once
// Inside the wait routine (store_wait.h): what the waits of the window's
// thread share. Not for use elsewhere.

#include "db/store_wait.h"

#include <QEventLoop>
#include <QTimer>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace storewait {

// Whether the caller runs on the application's (the windows') thread.
bool onWindowThread();
// The window SetStoreWaitWindow installed.
StoreWaitWindowFactory &windowFactory();
// EndWaiting was called (window's thread only).
extern bool ended;

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
    static void run(const std::shared_ptr<Job> &job);
    // Blocks until the task has ended or ms have passed.
    bool waitFor(int ms);
    // Stopped before it began: it never will.
    void skipIfNotBegun();
    // Whether it ended, and whether it never ran.
    bool isFinished(bool *skippedToo = nullptr);
};

// What every wait of the window's thread shares, in the order it happens:
// it is registered (CancelWaitingCall and EndWaiting reach it); it runs a
// local event loop that holds the user's input back; after showAfterMs the
// wait window appears, which then takes the user's input and Cancel; at its
// end the window goes and so does the registration.
class Wait {
public:
    explicit Wait(int showAfterMs, std::function<QString()> progress = {});
    virtual ~Wait();
    Wait(const Wait &) = delete;
    Wait &operator=(const Wait &) = delete;

    virtual void cancel() = 0; // the user's Cancel
    virtual void end() = 0;    // the program's end

    // The waits of the window's thread, innermost last.
    static std::vector<Wait *> &registered();

protected:
    // Runs the local loop until quit(); false when no event loop runs any
    // more (the program is ending).
    bool runLoop() { return loop_.exec(flags_) != -1; }
    void quit() { loop_.quit(); }
    StoreWaitWindow *window() const { return window_.get(); }
    void showProgress();
    // Cancels the waits begun inside this one (innermost first).
    void cancelInner();
    // A single-shot timer of this wait's loop.
    QTimer *singleShot(QTimer &timer, std::function<void()> action);
    QEventLoop loop_;

private:
    void show();

    std::function<QString()> progress_;
    QTimer showTimer_;
    std::unique_ptr<StoreWaitWindow> window_;
    QEventLoop::ProcessEventsFlags flags_ = QEventLoop::ExcludeUserInputEvents;
};

} // namespace storewait
