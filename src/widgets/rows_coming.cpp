#include "widgets/rows_coming.h"

#include "db/db_dataset.h"

#include <QThread>

bool AwaitMoreRows(DbDataSet &rows)
{
    if (!rows.isOpen() || rows.isAllFetched() || rows.fetchFailed())
        return false;
    if (!rows.isFetching())
        rows.fetchAllInBackground();
    if (!rows.isFetching()) {
        // No background reading here (no store thread to post to): fetch
        // a slice the ordinary way, which waits through the wait routine.
        rows.fetchRows(DbDataSet::kBackgroundSlice);
        return true;
    }
    // The slices come as events, which the long work's loop takes in
    // between its steps.
    QThread::msleep(2);
    return true;
}
