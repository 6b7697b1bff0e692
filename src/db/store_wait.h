#pragma once
// The one way the windows wait on the store. A call runs on the store's
// thread while the window's thread waits in a local event loop, so windows
// keep painting and the clock keeps ticking whatever the server does. For
// the first moments user input waits (it is handled after the call); when a
// call takes longer than showAfterMs a modal wait window appears with a
// Cancel button. Cancel asks the client to stop the running operation; when
// the server does not answer within abortAfterMs the connection is dropped.
// The call stays synchronous for its caller: it returns when the task has
// ended, or throws its error, or reports how it was stopped.
//
// Long work that is not a store call (an export's rows, saving a finished
// export) waits the same way, under the same window, with its progress.
//
// When the program ends (a signal), every wait gives way at once: see
// EndWaiting().
//
// Without an application object (tools, benchmarks), or away from its
// thread, the caller simply blocks until the task ends.

#include "db/db_error.h"

#include <QString>
#include <functional>
#include <memory>

class StoreWorker;

// The modal window shown while a call takes long. The window layer installs
// the real one; without one nothing is shown (and Cancel can come only from
// code, through CancelWaitingCall).
class StoreWaitWindow {
public:
    virtual ~StoreWaitWindow() = default;
    // The call has been running a while: show, and call cancel() when the
    // user asks to stop it.
    virtual void begin(std::function<void()> cancel) = 0;
    // The call was asked to stop and has not ended yet.
    virtual void cancelling() = 0;
    // Long work tells how far it has come.
    virtual void progress(const QString &text) = 0;
};
using StoreWaitWindowFactory = std::function<std::unique_ptr<StoreWaitWindow>()>;
void SetStoreWaitWindow(StoreWaitWindowFactory factory);

// How a waiting call is stopped.
struct StoreCallStop {
    // Asks the running operation to stop (the attachment's cancel with
    // "raise"); empty when there is nothing to ask yet (attaching): the call
    // is then left to itself at once.
    std::function<void()> raise;
    // Drops the connection (cancel with "abort"), when raising got no answer.
    std::function<void()> abort;
};

// What became of a call that was stopped.
enum class StoreCallEnd { Finished, Cancelled, Aborted, Abandoned };

struct StoreCallTiming {
    int showAfterMs = 500;
    int abortAfterMs = 2000;
    // After an abort: how long to wait for the task before leaving it.
    int abandonAfterMs = 3000;
    // A task that owns all it touches may be left to itself after this long
    // (0: never).
    int giveUpAfterMs = 0;
    // When the program ends: how long a call asked to stop may take before
    // it is left.
    int endGraceMs = 250;
};

// Runs the task on the worker and waits. The task must own or share what it
// touches: a task left to itself goes on running. Throws what the task
// threw, unless the call was stopped; returns how it ended. Never called
// from a task of the same worker (it would wait for itself).
StoreCallEnd WaitOnStore(StoreWorker &worker, std::function<void()> task, const StoreCallStop &stop,
                         const StoreCallTiming &timing = {});

// The error a stopped call (or stopped long work) gives its caller: the one
// cancel message, which says too when the connection was dropped (Aborted,
// Abandoned). Its engine code is isc_cancelled.
DbError StoreCallCancelled(StoreCallEnd end = StoreCallEnd::Cancelled);

// Stops the call the window's thread waits for (the innermost, when long
// work waits for a call of its own), as the wait window's Cancel does. False
// when none waits.
bool CancelWaitingCall();
// The program is ending (a signal): every call and all long work the
// window's thread waits for is stopped, a call is left after endGraceMs
// (its worker then counts as abandoned), no wait window is shown any more,
// and a wait window on screen gives way to the windows' close.
void EndWaiting();
bool WaitingEnded();
// Whether the window's thread waits for a call or long work now.
bool StoreCallWaiting();

// Long work on the window's thread (an export writing its rows), done in
// steps from the same kind of local event loop, so that windows paint
// between steps and one wait window with "Отмена" stands for the whole of
// it: it appears after showAfterMs and shows progress() as it goes. Each
// step should take a few dozen milliseconds at most; it returns false when
// the work is done. Calls to the store inside a step wait as usual. Returns
// false when the user cancelled (or the program is ending); a step's error
// travels to the caller.
bool RunLongWork(const std::function<bool()> &step, const std::function<QString()> &progress,
                 int showAfterMs = 500);

// Long work that cannot be cut into steps (compressing a workbook, copying a
// file): task runs on a thread of its own while the window's thread waits as
// for a call, the wait window showing progress() (asked from the window's
// thread, so it reads only what the task shares safely). Cancel, or the
// program's end, calls stop(), which must make the task end soon; the task
// is always waited for, so it may use what the caller holds. Returns the
// task's result (false: it stopped on request), or throws its error.
bool RunLongWorkAside(const std::function<bool()> &task, const std::function<void()> &stop,
                      const std::function<QString()> &progress, int showAfterMs = 500);
