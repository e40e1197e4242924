#pragma once
// What bounds a search, whatever it looks for: how many worker threads, how
// long, how many nodes; and, shared by the workers of one run, the stop they
// all watch and the nodes they have counted. A search engine counts a node
// with its own NodeCounter, which hands its count on in batches so that the
// workers do not fight over one cache line; every count is in nodes() once
// the workers have flushed.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

namespace quarnel::search {

struct SearchLimits {
    int threads = 0;               // 0: the machine's hardware threads
    double timeLimitSeconds = 0;   // 0: none
    std::uint64_t nodeLimit = 0;   // 0: none

    // The worker threads to start: at least one.
    int threadCount() const {
        const int t = threads > 0 ? threads : static_cast<int>(std::thread::hardware_concurrency());
        return std::max(1, t);
    }
};

// Seconds since the search began.
class Stopwatch {
public:
    using Clock = std::chrono::steady_clock;
    double seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

private:
    Clock::time_point start_ = Clock::now();
};

// The stop every worker of one run watches, and the nodes counted so far.
// Once stopped, a run stays stopped.
class SearchControl {
public:
    explicit SearchControl(std::uint64_t nodeLimit) : nodeLimit_(nodeLimit) {}
    SearchControl(const SearchControl&) = delete;
    SearchControl& operator=(const SearchControl&) = delete;

    bool stopped() const { return stop_.load(std::memory_order_relaxed); }
    void stop() { stop_.store(true, std::memory_order_relaxed); }
    std::uint64_t nodes() const { return nodes_.load(std::memory_order_relaxed); }
    std::uint64_t nodeLimit() const { return nodeLimit_; }

    // Adds a worker's nodes; stops the run when they reach the node limit.
    void add(std::uint64_t n) {
        const std::uint64_t total = nodes_.fetch_add(n, std::memory_order_relaxed) + n;
        if (nodeLimit_ != 0 && total >= nodeLimit_) stop();
    }
    // Adds the last nodes of a worker that has finished its share: the
    // others meet the node limit at their own next count.
    void addLast(std::uint64_t n) { nodes_.fetch_add(n, std::memory_order_relaxed); }

private:
    std::uint64_t nodeLimit_;
    std::atomic<bool> stop_{false};
    std::atomic<std::uint64_t> nodes_{0};
};

// One worker's count of nodes: handed on every 256 nodes, or every node
// under a small node limit so that the limit is met exactly.
class NodeCounter {
public:
    explicit NodeCounter(SearchControl& control)
        : control_(&control), batch_(control.nodeLimit() != 0 && control.nodeLimit() < 65536 ? 1 : 256) {}

    // Counts a node; false when the search is to stop (looked at only when
    // the batch is handed on).
    bool count() {
        if (++local_ < batch_) return true;
        control_->add(local_);
        local_ = 0;
        return !control_->stopped();
    }
    // Hands on the nodes not yet counted.
    void flush() {
        control_->addLast(local_);
        local_ = 0;
    }

private:
    SearchControl* control_;
    std::uint64_t batch_;
    std::uint64_t local_ = 0;
};

}  // namespace quarnel::search
