#include "db/background_fetch.h"

#include "db/db_cursor.h"

#include <QCoreApplication>

std::shared_ptr<BackgroundFetch> BackgroundFetch::start(std::shared_ptr<DbCursor> cursor, int slice, int sliceMs,
                                                        Poster poster, Deliver deliver)
{
    std::shared_ptr<BackgroundFetch> fetch(new BackgroundFetch);
    fetch->cursor_ = std::move(cursor);
    fetch->slice_ = slice;
    fetch->sliceMs_ = sliceMs;
    fetch->poster_ = std::move(poster);
    fetch->deliver_ = std::move(deliver);
    fetch->delivering_ = bool(fetch->deliver_);
    fetch->postStep();
    return fetch;
}

void BackgroundFetch::postStep()
{
    // The task holds the reading only while it runs: a reading dropped by the
    // window ends with the slice in hand.
    std::weak_ptr<BackgroundFetch> weak = weak_from_this();
    poster_([weak] {
        if (auto f = weak.lock())
            f->step();
    });
}

void BackgroundFetch::postDelivery()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    std::weak_ptr<BackgroundFetch> weak = weak_from_this();
    QMetaObject::invokeMethod(app, [weak] {
        if (auto f = weak.lock())
            f->deliverReady();
    }, Qt::QueuedConnection);
}

void BackgroundFetch::deliverReady()
{
    // A reader may have taken them already; what is left goes out in order.
    for (const auto &rows : takeReady()) {
        {
            std::lock_guard lock(mutex_);
            if (stopped_)
                return;
        }
        deliver_(rows);
    }
}

void BackgroundFetch::deliverTo(Deliver deliver)
{
    deliver_ = std::move(deliver);
    {
        std::lock_guard lock(mutex_);
        delivering_ = bool(deliver_);
    }
    deliverReady();
}

std::vector<std::shared_ptr<FetchedRows>> BackgroundFetch::takeReady()
{
    std::lock_guard lock(mutex_);
    if (stopped_)
        return {};
    std::vector<std::shared_ptr<FetchedRows>> rows(ready_.begin(), ready_.end());
    ready_.clear();
    return rows;
}

void BackgroundFetch::stop()
{
    std::lock_guard lock(mutex_);
    stopped_ = true;
    ready_.clear();
}

bool BackgroundFetch::delivers() const
{
    std::lock_guard lock(mutex_);
    return delivering_;
}

bool BackgroundFetch::finished() const
{
    std::lock_guard lock(mutex_);
    return finished_ || stopped_;
}

void BackgroundFetch::taken()
{
    bool resume = false;
    {
        std::lock_guard lock(mutex_);
        --ahead_;
        resume = paused_ && !stopped_ && !finished_ && ahead_ < kAhead;
        if (resume)
            paused_ = false;
    }
    if (resume)
        postStep();
}

void BackgroundFetch::step()
{
    {
        std::lock_guard lock(mutex_);
        if (stopped_)
            return;
    }
    auto rows = std::make_shared<FetchedRows>();
    FetchCursor(*cursor_, slice_, sliceMs_, *rows);
    bool again = false, deliver = false;
    {
        std::lock_guard lock(mutex_);
        if (stopped_)
            return;
        ++ahead_;
        ready_.push_back(rows);
        finished_ = rows->atEnd || rows->error;
        if (!finished_) {
            again = ahead_ < kAhead;
            paused_ = !again;
        }
        deliver = delivering_;
    }
    if (deliver)
        postDelivery();
    if (again)
        postStep();
}
