#pragma once
// Where the time of reading a result goes, summed over the process: the
// engine's fetches and blob reads on the store's thread, the window's thread
// waiting for the store, and the rows copied into the row set's store. The
// benchmarks print it; the cost is two clock readings per slice or blob.

#include <atomic>
#include <chrono>
#include <cstdint>

struct FetchStages {
    std::atomic<std::int64_t> fetchNs{0}; // store's thread: fetching rows
    std::atomic<std::int64_t> rows{0};
    std::atomic<std::int64_t> blobNs{0};  // store's thread: reading blobs
    std::atomic<std::int64_t> blobs{0};
    std::atomic<std::int64_t> waitNs{0};  // window's thread: waiting for a fetch or blob
    std::atomic<std::int64_t> waits{0};
    std::atomic<std::int64_t> storeNs{0}; // window's thread: copying rows into the row set
    void reset();
};
FetchStages &FetchStageTimes();

// Adds the time from its making to its end to one counter.
class StageTimer {
public:
    explicit StageTimer(std::atomic<std::int64_t> &counter)
        : counter_(counter), start_(std::chrono::steady_clock::now())
    {
    }
    ~StageTimer()
    {
        counter_ += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start_)
                        .count();
    }
    StageTimer(const StageTimer &) = delete;
    StageTimer &operator=(const StageTimer &) = delete;

private:
    std::atomic<std::int64_t> &counter_;
    std::chrono::steady_clock::time_point start_;
};
