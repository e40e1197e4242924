#include <algorithm>
#include <map>
#include <mutex>
#include <sstream>

#include "compose/compose.h"
#include "compose/compose_search.h"
#include "composition/analysis.h"
#include "composition/calling.h"
#include "composition/composition.h"
#include "methods/method_library.h"
#include "ringing/model_error.h"
#include "search/worker_pool.h"

namespace quarnel::compose {
namespace {

// The file text of a composition the search found.
std::string fileTextOf(const ComposeProblem& problem, const RawComposition& raw) {
    std::string text;
    for (const Choice& c : raw.leads) {
        text += problem.methodCode(c.method);
        text += symbolOf(c.call);
        text += ' ';
        text += problem.methodName(c.method);
        text += '\n';
    }
    return text;
}

// "MWH, BsH, W": the calling positions of each course, a single's with "s".
std::string callingSummary(const CompositionCalling& calling) {
    std::string text;
    for (const CourseCalling& course : calling.courses) {
        if (!text.empty()) text += ", ";
        if (course.calls.empty()) text += "p";
        for (const CallAt& c : course.calls) {
            if (c.call == Call::Single) text += 's';
            text += c.position != 0 ? c.position : '?';
        }
    }
    return text;
}

// Reads the composition back from its file and proves it; the figures come
// from the composition as the analysis counts them. Nothing when it is not
// true, not of the length, part end or methods the search claimed, or its
// music or objective differ from the search's.
std::optional<FoundComposition> prove(const ComposeProblem& problem, const MethodLibrary& library, MusicTable* music,
                                      const RawComposition& raw) {
    FoundComposition f;
    f.fileText = fileTextOf(problem, raw);
    std::unique_ptr<Composition> c;
    try {
        std::istringstream in(f.fileText);
        c = readComposition(in, 16, library);
    } catch (const ModelError&) {
        return std::nullopt;
    }
    const PartEndTables& tables = problem.partEnd(raw.partEnd);
    if (!c || !c->loadReport().empty() || c->leadCount() != raw.leads.size() || c->partCount() != problem.parts() ||
        c->partEnd().row() != tables.partEnd.row())
        return std::nullopt;
    for (std::size_t n = 1; n <= c->leadCount(); ++n) {
        const Lead& lead = *c->leadAt(static_cast<int>(n));
        if (lead.committed() == nullptr) return std::nullopt;
        if (problem.tenorsTogether() && !tenorsTogetherAt(lead.leadHead())) return std::nullopt;
    }
    f.leads = static_cast<int>(c->leadCount());
    f.parts = c->partCount();
    f.length = f.leads * c->leadLength() * f.parts;
    f.partEnd = c->partEnd().row();
    if (f.length < problem.minLeads() * LeadRows * f.parts || f.length > problem.maxLeads() * LeadRows * f.parts)
        return std::nullopt;
    f.music = music ? c->musicScore(0, *music, false) : 0;
    if (f.music != raw.music) return std::nullopt;
    const MethodBalance balance = methodBalance(*c);
    f.changesOfMethod = balance.changesOfMethod;
    f.piecesRung = balance.piecesRung();
    f.piecesPossible = balance.piecesPossible();
    for (const MethodFigures& m : balance.methods) f.methods.emplace_back(m.name, m.changes);
    for (const Choice& ch : raw.leads) {
        if (ch.call == Call::Bob) ++f.bobs;
        if (ch.call == Call::Single) ++f.singles;
    }
    // The objective again, from the analysis's own counts.
    const LeadConstraints& k = problem.constraints();
    long long score = f.music + k.comWeight * f.changesOfMethod + k.bobWeight * f.bobs + k.singleWeight * f.singles;
    for (const MethodFigures& m : balance.methods) score -= k.atwWeight * (PiecesPerMethod - m.piecesRung());
    if (score != raw.score) return std::nullopt;
    f.score = score;
    f.calling = callingSummary(compositionCalling(*c));
    return f;
}

// The compositions the workers keep, each proved once on the calling thread.
class Prover {
public:
    Prover(const ComposeProblem& problem, BestList& best)
        : problem_(problem), best_(best), music_(problem.music()) {}

    // Proves what is new in the list; true when the proved list changed.
    bool update() {
        const std::vector<RawComposition> kept = best_.snapshot();
        bool changed = false;
        std::vector<std::uint64_t> serials;
        for (const RawComposition& raw : kept) {
            serials.push_back(raw.serial);
            if (proved_.count(raw.serial) != 0) continue;
            std::optional<FoundComposition> f = prove(problem_, problem_.library(), music_ ? &*music_ : nullptr, raw);
            if (!f) {
                ++rejected_;
                best_.reject(raw.serial);
                continue;
            }
            proved_.emplace(raw.serial, std::move(*f));
            changed = true;
        }
        // Those pushed out of the list are forgotten.
        for (auto it = proved_.begin(); it != proved_.end();) {
            if (std::find(serials.begin(), serials.end(), it->first) == serials.end()) {
                it = proved_.erase(it);
                changed = true;
            } else {
                ++it;
            }
        }
        if (changed) {
            list_.clear();
            for (const std::uint64_t s : serials)
                if (const auto it = proved_.find(s); it != proved_.end()) list_.push_back(it->second);
        }
        return changed;
    }
    const std::vector<FoundComposition>& list() const { return list_; }
    int rejected() const { return rejected_; }

private:
    const ComposeProblem& problem_;
    BestList& best_;
    // A table of the prover's own: scoring fills its memo.
    std::optional<MusicTable> music_;
    std::map<std::uint64_t, FoundComposition> proved_;
    std::vector<FoundComposition> list_;
    int rejected_ = 0;
};

}  // namespace

ComposeResult runCompose(const ComposeProblem& problem, const ComposeOptions& options, const std::atomic<bool>& stop,
                         const std::function<void(const ComposeProgress&)>& progress,
                         const std::function<void(const std::vector<FoundComposition>&)>& found) {
    const search::Stopwatch clock;
    const search::SearchLimits& limits = options.limits;
    search::SearchControl control(limits.nodeLimit);
    BestList best(problem.count(), options.onePerCalling);
    const int threads = limits.threadCount();
    Scheduler scheduler(Searcher::split(problem, best, 64 * threads, 6));
    std::atomic<int> finished{0};
    Prover prover(problem, best);

    double first = 0;
    const auto report = [&](bool complete) {
        if (prover.update() && found) found(prover.list());
        if (first == 0 && !prover.list().empty()) first = clock.seconds();
        if (!progress) return;
        ComposeProgress p;
        p.nodes = control.nodes();
        p.elapsedSeconds = clock.seconds();
        p.nodesPerSecond = p.elapsedSeconds > 0 ? static_cast<double>(p.nodes) / p.elapsedSeconds : 0;
        p.found = best.found();
        p.kept = static_cast<int>(prover.list().size());
        p.haveComposition = !prover.list().empty();
        if (p.haveComposition) {
            p.bestScore = prover.list().front().score;
            p.bestMusic = prover.list().front().music;
        }
        p.firstSeconds = first;
        p.complete = complete;
        progress(p);
    };
    search::runWorkers(
        threads,
        [&](int) {
            Searcher searcher(problem, best);
            search::NodeCounter counter(control);
            while (std::optional<Task> task = scheduler.take(control)) {
                const bool more = searcher.run(*task, counter);
                scheduler.give(more ? std::move(task) : std::nullopt);
            }
            counter.flush();
            if (!control.stopped()) finished.fetch_add(1);
        },
        control, stop, limits.timeLimitSeconds, clock, [&] { report(false); });

    // Every worker ran out of tasks unstopped: the search is complete.
    const bool complete = finished.load() == threads && !control.stopped();
    report(complete);
    ComposeResult r;
    r.compositions = prover.list();
    r.found = best.found();
    r.nodes = control.nodes();
    r.elapsedSeconds = clock.seconds();
    r.rejected = prover.rejected();
    r.firstSeconds = first;
    if (complete)
        r.status = r.compositions.empty() ? ComposeStatus::NoComposition : ComposeStatus::Complete;
    else
        r.status = r.compositions.empty() ? ComposeStatus::NoneWithinLimits : ComposeStatus::LimitReached;
    return r;
}

}  // namespace quarnel::compose
