#include "session/compose_runner.h"

#include "methods/method_library.h"

namespace quarnel {

ComposeRunner::~ComposeRunner() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

bool ComposeRunner::start(const MethodLibrary& library, const MusicTable* music, const compose::ComposeOptions& options) {
    if (running_) return false;
    if (thread_.joinable()) thread_.join();
    options_ = options;
    // A copy of the table of its own: the engine scores with it while the
    // session goes on using its own.
    if (music)
        options_.music = *music;
    else
        options_.music.reset();
    // Built before anything is cleared: a refusal leaves the last run's
    // compositions to look at.
    auto problem = std::make_unique<compose::ComposeProblem>(compose::ComposeProblem::build(library, options_));
    problem_ = std::move(problem);
    stop_ = false;
    running_ = true;
    {
        std::lock_guard lock(mutex_);
        progress_ = {};
        compositions_.clear();
        result_.reset();
    }
    thread_ = std::thread([this] {
        compose::ComposeResult r = compose::runCompose(
            *problem_, options_, stop_,
            [this](const compose::ComposeProgress& p) {
                std::lock_guard lock(mutex_);
                progress_ = p;
            },
            [this](const std::vector<compose::FoundComposition>& found) {
                std::lock_guard lock(mutex_);
                compositions_ = found;
            });
        {
            std::lock_guard lock(mutex_);
            compositions_ = r.compositions;
            result_ = std::move(r);
        }
        running_ = false;
    });
    return true;
}

compose::ComposeProgress ComposeRunner::progress() const {
    std::lock_guard lock(mutex_);
    return progress_;
}

std::vector<compose::FoundComposition> ComposeRunner::compositions() const {
    std::lock_guard lock(mutex_);
    return compositions_;
}

std::optional<compose::ComposeResult> ComposeRunner::wait() {
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    return result_;
}

}  // namespace quarnel
