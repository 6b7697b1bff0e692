// The row set's fetching: rows taken in the order the store's thread
// fetched them, whether asked for and waited on, asked for without waiting,
// read ahead of a reader going down the rows, or read to the end in the
// background.

#include "db/db_dataset.h"

#include "db/background_fetch.h"
#include "db/db_cursor.h"
#include "db/db_error.h"
#include "db/fetch_stages.h"
#include "db/store_wait.h"
#include "support/app_error.h"

void DbDataSet::arrived(const std::shared_ptr<DbCursor> &cursor, const std::shared_ptr<FetchedRows> &rows,
                        std::exception_ptr error)
{
    // Rows of a cursor closed meanwhile are not this result's.
    if (cursor != cursor_ || !open_)
        return;
    if (rows->seq == 0) {
        // The fetch never ran (cancelled before it began): the cursor's
        // place is unknown, the result can go no further.
        fail(error);
        return;
    }
    if (rows->seq > taken_)
        arrived_[rows->seq] = Arrived{rows, error};
}

int DbDataSet::takeFetched()
{
    const int from = fetchedCount();
    bool reachedEnd = false;
    std::exception_ptr error;
    while (!arrived_.empty() && arrived_.begin()->first == taken_ + 1) {
        Arrived a = std::move(arrived_.begin()->second);
        arrived_.erase(arrived_.begin());
        ++taken_;
        if (fetchFailure_ || atEnd_)
            continue; // after a failure or the end nothing more counts
        {
            StageTimer stage(FetchStageTimes().storeNs);
            for (int i = 0; i < a.rows->count; ++i)
                store_.append(a.rows->row(i, cursor_->messageLength));
        }
        if (!a.error)
            a.error = a.rows->error;
        if (a.error) {
            error = a.error;
            fail(a.error);
        } else if (a.rows->atEnd) {
            atEnd_ = true;
            reachedEnd = true;
        }
    }
    announceFetched(from);
    if (reachedEnd) {
        background_.reset();
        emit allFetched();
    }
    if (error)
        std::rethrow_exception(error);
    return fetchedCount() - from;
}

void DbDataSet::takeFetchedReporting(std::exception_ptr unran, bool ready)
{
    ReportingErrors([&] {
        try {
            if (unran)
                std::rethrow_exception(unran);
            if (ready && background_)
                takeReadySlices();
            else
                takeFetched();
        } catch (const DbError &e) {
            // A lost connection is told once, by the call that waits on it
            // now (a cancel that dropped the connection says so itself).
            if (!e.isCancelled() && !(e.isConnectionLost() && StoreCallWaiting()))
                throw;
        }
    });
}

void DbDataSet::fail(std::exception_ptr error)
{
    // A cursor that failed once does not recover: the rows fetched stay,
    // and the result is never taken for complete.
    fetchFailure_ = error;
    stopBackground();
    releaseCursor();
}

void DbDataSet::stopBackground()
{
    if (background_) {
        background_->stop();
        background_.reset();
    }
}

bool DbDataSet::isFetching() const
{
    return requests_ > 0 || (background_ && background_->delivers() && !background_->finished());
}

int DbDataSet::fetchRows(int count)
{
    if (fetchFailure_ && count > 0)
        std::rethrow_exception(fetchFailure_);
    if (!open_ || atEnd_ || count <= 0 || !cursor_ || !connection_)
        return 0;
    // A reader going down the rows (a loop of next(), an export, last())
    // asks again and again: from its second time on, the store's thread
    // reads ahead of it, while it works on what it has.
    if (!background_ && requests_ == 0 && ++fetchesAsked_ >= 2)
        startBackground({});
    if (background_)
        return fetchAhead(count);
    auto cursor = cursor_;
    auto rows = std::make_shared<FetchedRows>();
    std::exception_ptr error;
    try {
        StageTimer stage(FetchStageTimes().waitNs);
        ++FetchStageTimes().waits;
        connection_->call([cursor, rows, count] { FetchCursor(*cursor, count, 0, *rows); });
    } catch (const DbError &) {
        error = std::current_exception();
    }
    arrived(cursor, rows, error);
    // A fetch that never ran: its own end (the user's cancel) is what the
    // caller hears, rather than what the background read met meanwhile.
    if (rows->seq == 0 && (error || fetchFailure_))
        std::rethrow_exception(error ? error : fetchFailure_);
    return takeFetched();
}

int DbDataSet::fetchAhead(int count)
{
    const int from = fetchedCount();
    // The reading can end while the window waits (its slices delivered).
    while (background_) {
        // Asked first: a reading that has ended has every slice waiting.
        const bool ended = background_->finished();
        takeReadySlices();
        if (fetchedCount() - from >= count || atEnd_ || fetchFailure_ || !background_ || ended)
            break;
        try {
            // The store's thread takes tasks in order: this one ends when
            // the slice being read is ready.
            StageTimer stage(FetchStageTimes().waitNs);
            ++FetchStageTimes().waits;
            connection_->call([] {});
        } catch (const DbError &) {
            // The call's own end (the user's cancel) is what the caller
            // hears; what the reading met meanwhile is kept, not told again.
            const std::exception_ptr stopped = std::current_exception();
            try {
                if (background_)
                    takeReadySlices();
            } catch (const DbError &) {
            }
            std::rethrow_exception(stopped);
        }
    }
    return fetchedCount() - from;
}

void DbDataSet::takeReadySlices()
{
    const std::vector<std::shared_ptr<FetchedRows>> slices = background_->takeReady();
    for (std::size_t i = 0; i < slices.size(); ++i)
        background_->taken();
    const auto cursor = cursor_;
    for (const auto &rows : slices)
        arrived(cursor, rows, nullptr);
    takeFetched();
}

void DbDataSet::requestRows(int count)
{
    if (!open_ || atEnd_ || fetchFailure_ || !cursor_ || !connection_ || isFetching())
        return;
    QPointer<DbDataSet> self(this);
    auto cursor = cursor_;
    if (background_) {
        // Reading ahead already: what it has once the slice being read is
        // ready, taken later as asked rows come (never inside the caller).
        ++requests_;
        connection_->post([] {}, [self, cursor](std::exception_ptr) {
            if (!self || cursor != self->cursor_)
                return;
            --self->requests_;
            self->takeFetchedReporting(nullptr, true);
        });
        return;
    }
    auto rows = std::make_shared<FetchedRows>();
    ++requests_;
    connection_->post([cursor, rows, count] { FetchCursor(*cursor, count, 0, *rows); },
                      [self, cursor, rows](std::exception_ptr error) {
                          if (!self || cursor != self->cursor_)
                              return;
                          --self->requests_;
                          self->arrived(cursor, rows, error);
                          self->takeFetchedReporting(rows->seq == 0 ? error : nullptr);
                      });
}

void DbDataSet::fetchAllInBackground()
{
    if (!open_ || atEnd_ || fetchFailure_ || !cursor_ || !connection_)
        return;
    QPointer<DbDataSet> self(this);
    auto cursor = cursor_;
    BackgroundFetch::Deliver deliver = [self, cursor](const std::shared_ptr<FetchedRows> &rows) {
        if (!self)
            return;
        if (self->background_)
            self->background_->taken();
        self->arrived(cursor, rows, nullptr);
        self->takeFetchedReporting(nullptr);
    };
    if (background_)
        background_->deliverTo(std::move(deliver)); // reading ahead already: it delivers from now on
    else
        startBackground(std::move(deliver));
}

void DbDataSet::startBackground(BackgroundFetch::Deliver deliver)
{
    auto poster = connection_->storePoster();
    if (!poster)
        return;
    background_ = BackgroundFetch::start(cursor_, kBackgroundSlice, kBackgroundSliceMs, std::move(poster),
                                         std::move(deliver));
}

void DbDataSet::announceFetched(int from)
{
    if (fetchedCount() > from)
        emit rowsFetched(from, fetchedCount() - 1);
}
