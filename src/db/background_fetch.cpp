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

void BackgroundFetch::stop()
{
    std::lock_guard lock(mutex_);
    stopped_ = true;
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
    bool again = false;
    {
        std::lock_guard lock(mutex_);
        ++ahead_;
        finished_ = rows->atEnd || rows->error;
        if (!stopped_ && !finished_) {
            again = ahead_ < kAhead;
            paused_ = !again;
        }
    }
    std::weak_ptr<BackgroundFetch> weak = weak_from_this();
    if (QCoreApplication *app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(app, [weak, rows] {
            auto f = weak.lock();
            if (!f)
                return;
            {
                std::lock_guard lock(f->mutex_);
                if (f->stopped_)
                    return;
            }
            f->deliver_(rows);
        }, Qt::QueuedConnection);
    }
    if (again)
        postStep();
}
