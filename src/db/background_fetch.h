#pragma once
// Reads the rest of a cursor on the store's thread, one slice after another,
// while the windows go on. The slices wait, in order, until the window's
// thread takes them: handed over as they come (a reading that delivers), or
// taken by a reader that asks for them (a reading ahead of a reader going
// down the rows). The reading stays at most kAhead slices ahead of what the
// window's thread has taken, so that memory does not grow when it is busy.
// Other calls to the store queue between two slices.

#include <QPointer>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

struct DbCursor;
struct FetchedRows;

class BackgroundFetch : public std::enable_shared_from_this<BackgroundFetch> {
public:
    static constexpr int kAhead = 4;
    // Runs a task on the store's thread (after the tasks queued there).
    using Poster = std::function<void(std::function<void()>)>;
    // Takes a slice, on the window's thread.
    using Deliver = std::function<void(const std::shared_ptr<FetchedRows> &)>;

    // Without deliver the slices wait for takeReady().
    static std::shared_ptr<BackgroundFetch> start(std::shared_ptr<DbCursor> cursor, int slice, int sliceMs,
                                                  Poster poster, Deliver deliver = {});
    // Window's thread: from now on the slices are handed to deliver as they
    // come, those waiting first.
    void deliverTo(Deliver deliver);
    // Window's thread: the slices that wait, in order (for each, taken() is
    // due once the caller has it).
    std::vector<std::shared_ptr<FetchedRows>> takeReady();
    // Window's thread: no more slices, none delivered any more.
    void stop();
    // Window's thread: a delivered slice was taken; the reading goes on if
    // it waited for that.
    void taken();
    // Whether slices are handed over as they come.
    bool delivers() const;
    // The cursor's end or a failure came: nothing more will be read.
    bool finished() const;

private:
    BackgroundFetch() = default;
    void postStep();
    void postDelivery();
    void deliverReady();
    void step(); // store's thread

    std::shared_ptr<DbCursor> cursor_;
    int slice_ = 0;
    int sliceMs_ = 0;
    Poster poster_;
    Deliver deliver_; // window's thread
    mutable std::mutex mutex_;
    std::deque<std::shared_ptr<FetchedRows>> ready_;
    bool delivering_ = false;
    int ahead_ = 0;
    bool paused_ = false;
    bool stopped_ = false;
    bool finished_ = false;
};
