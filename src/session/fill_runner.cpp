#include "session/fill_runner.h"

#include "composition/composition.h"
#include "methods/method_library.h"

namespace quarnel {

fill::FillOptions fillOptionsOf(const DialogFields& f) {
    fill::FillOptions o;
    o.named = f.namedOnly;
    o.surprise = f.allowSurprise;
    o.delight = f.allowDelight;
    o.trebleBob = f.allowTrebleBob;
    o.rightPlace = f.rightPlace;
    o.symmetricSections = f.symmetricSections;
    o.twoPlaces = f.twoPlaces;
    return o;
}

std::string bestMusicText(bool haveFill, long long bestMusic, bool haveBound, long long bound) {
    std::string text = haveFill ? std::to_string(bestMusic) : "-";
    if (!haveBound) return text;
    if (haveFill && bestMusic >= bound) return text + ", the most possible";
    text += ", at most " + std::to_string(bound) + " possible";
    if (haveFill && bound > 0) {
        // Tenths of a per cent, rounded half up, in whole numbers.
        const long long tenths = ((bound - bestMusic) * 2000 + bound) / (2 * bound);
        text += " (within " + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " %)";
    }
    return text;
}

FillRunner::~FillRunner() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

bool FillRunner::start(const Composition& composition, const MethodLibrary& library, const MusicTable* music,
                       const fill::FillOptions& options) {
    if (running_) return false;
    if (thread_.joinable()) thread_.join();
    // The engine fills the table's memo while it builds: it gets a copy of
    // its own, so the session's table is never written from here.
    if (music)
        music_ = *music;
    else
        music_.reset();
    problem_ = std::make_unique<fill::FillProblem>(
        fill::FillProblem::build(composition, library, music_ ? &*music_ : nullptr, options));
    stop_ = false;
    running_ = true;
    {
        std::lock_guard lock(mutex_);
        progress_ = {};
        result_.reset();
    }
    thread_ = std::thread([this, options] {
        fill::FillResult r = fill::runFill(*problem_, options, stop_, [this](const fill::FillProgress& p) {
            std::lock_guard lock(mutex_);
            progress_ = p;
        });
        {
            std::lock_guard lock(mutex_);
            result_ = std::move(r);
        }
        running_ = false;
    });
    return true;
}

fill::FillProgress FillRunner::progress() const {
    std::lock_guard lock(mutex_);
    return progress_;
}

std::optional<fill::FillResult> FillRunner::wait() {
    if (thread_.joinable()) thread_.join();
    std::lock_guard lock(mutex_);
    return result_;
}

}  // namespace quarnel
