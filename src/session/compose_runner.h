#pragma once
// The desktop's Compose: runs the compose engine on a worker thread with
// the options of the Compose window. The progress, the compositions found so
// far (proved, best first), a stop and the result are safe to use from the
// calling thread while the search runs, so that a window can list the
// compositions as they come.
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "compose/compose.h"

namespace quarnel {

class MethodLibrary;

class ComposeRunner {
public:
    ComposeRunner() = default;
    ~ComposeRunner();
    ComposeRunner(const ComposeRunner&) = delete;
    ComposeRunner& operator=(const ComposeRunner&) = delete;

    // Builds the problem here, with the music table given (none: no music;
    // it replaces the options' own), and starts the search. Throws
    // ModelError, before anything starts, when the options cannot be
    // composed (the message says why). False when a search is already
    // running.
    bool start(const MethodLibrary& library, const MusicTable* music, const compose::ComposeOptions& options);
    void stop() { stop_ = true; }
    bool running() const { return running_; }
    // The problem searched, from start on (none before).
    const compose::ComposeProblem* problem() const { return problem_.get(); }
    // The latest progress report.
    compose::ComposeProgress progress() const;
    // The compositions found so far, best first.
    std::vector<compose::FoundComposition> compositions() const;
    // Waits for the search to end and gives its result (none before a start).
    std::optional<compose::ComposeResult> wait();

private:
    compose::ComposeOptions options_;
    std::unique_ptr<compose::ComposeProblem> problem_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    mutable std::mutex mutex_;
    compose::ComposeProgress progress_;
    std::vector<compose::FoundComposition> compositions_;
    std::optional<compose::ComposeResult> result_;
};

}  // namespace quarnel
