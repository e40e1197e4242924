#pragma once
// The worker pool of a search: one thread a worker, while the calling
// thread watches the limits and reports progress at screen pace. Neither
// the pool nor the limits know what is searched for, so Fill and any other
// engine run on them alike.
#include <atomic>
#include <functional>

#include "search/search_limits.h"

namespace quarnel::search {

// How often the watching thread reports progress.
inline constexpr std::chrono::milliseconds ProgressPace{100};

// Runs work(t) for t = 0 .. threads - 1, each on a thread of its own, and
// returns when all have returned. Meanwhile the calling thread stops the run
// (control.stop()) within a few milliseconds of the stop flag being set or
// of the time limit passing, and calls tick about every ProgressPace; tick
// may be empty.
void runWorkers(int threads, const std::function<void(int)>& work, SearchControl& control,
                const std::atomic<bool>& stopFlag, double timeLimitSeconds, const Stopwatch& clock,
                const std::function<void()>& tick);

}  // namespace quarnel::search
