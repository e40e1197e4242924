#pragma once
// The desktop's Fill: runs the fill engine for the loaded composition on a
// worker thread with the dialog's class and generator options, Named and a
// copy of the loaded music table. The progress, a stop and the result are
// safe to use from the calling thread while the search runs.
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "composition/music.h"
#include "fill/fill.h"
#include "session/dialog_fields.h"

namespace quarnel {

class Composition;
class MethodLibrary;

// The fill options of the dialog's fields: the classes allowed, Right place,
// Symmetric Sections, Two Places and Named.
fill::FillOptions fillOptionsOf(const DialogFields& fields);

// The Fill window's line on the best music against the proven bound:
// "423, at most 443 possible (within 4.5 %)", the gap as a share of the
// bound; "236, the most possible" once the fill reaches the bound; "-"
// (with the bound when known) before any fill.
std::string bestMusicText(bool haveFill, long long bestMusic, bool haveBound, long long bound);

class FillRunner {
public:
    FillRunner() = default;
    ~FillRunner();
    FillRunner(const FillRunner&) = delete;
    FillRunner& operator=(const FillRunner&) = delete;

    // Builds the problem here (the composition is read only now) and starts
    // the search; false when a search is already running.
    bool start(const Composition& composition, const MethodLibrary& library, const MusicTable* music,
               const fill::FillOptions& options);
    void stop() { stop_ = true; }
    bool running() const { return running_; }
    // The problem searched, from start on (none before).
    const fill::FillProblem* problem() const { return problem_.get(); }
    // The latest progress report.
    fill::FillProgress progress() const;
    // Waits for the search to end and gives its result (none before a start).
    std::optional<fill::FillResult> wait();

private:
    std::optional<MusicTable> music_;
    std::unique_ptr<fill::FillProblem> problem_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    mutable std::mutex mutex_;
    fill::FillProgress progress_;
    std::optional<fill::FillResult> result_;
};

}  // namespace quarnel
