#include "db/fetch_stages.h"

void FetchStages::reset()
{
    for (std::atomic<std::int64_t> *c : {&fetchNs, &rows, &blobNs, &blobs, &waitNs, &waits, &storeNs})
        *c = 0;
}

FetchStages &FetchStageTimes()
{
    static FetchStages stages;
    return stages;
}
