#include "search/worker_pool.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace quarnel::search {

void runWorkers(int threads, const std::function<void(int)>& work, SearchControl& control,
                const std::atomic<bool>& stopFlag, double timeLimitSeconds, const Stopwatch& clock,
                const std::function<void()>& tick) {
    std::mutex mutex;
    std::condition_variable finished;
    int running = threads;
    std::vector<std::thread> pool;
    pool.reserve(static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            work(t);
            std::lock_guard lock(mutex);
            if (--running == 0) finished.notify_all();
        });

    auto lastTick = Stopwatch::Clock::now();
    {
        std::unique_lock lock(mutex);
        while (running > 0) {
            finished.wait_for(lock, std::chrono::milliseconds(5));
            if (running == 0) break;
            const bool timeUp = timeLimitSeconds > 0 && clock.seconds() >= timeLimitSeconds;
            if (stopFlag.load(std::memory_order_relaxed) || timeUp) control.stop();
            if (tick && Stopwatch::Clock::now() - lastTick >= ProgressPace) {
                lock.unlock();
                tick();
                lastTick = Stopwatch::Clock::now();
                lock.lock();
            }
        }
    }
    for (auto& t : pool) t.join();
}

}  // namespace quarnel::search
