// How a Fill runs: one worker a thread on the search floor's pool. Each
// worker searches its share of the exact tree in slices; once the tree has
// run a while without finishing, each slice is followed by neighbourhood
// moves and climbing on the best fill, which only ever raise the bound the
// tree prunes by, so a run to completion ends on the same fill whatever the
// threads.
#include <algorithm>
#include <memory>

#include "fill/climber.h"
#include "fill/fill.h"
#include "fill/tree_search.h"
#include "fill/uses_matching.h"
#include "search/worker_pool.h"

namespace quarnel::fill {
namespace {

// The time the row prices are improved for before the search starts: at
// most 0.05 s, and a tenth of a time limit (the reported bound goes on
// falling while the workers search).
double rootBoundSeconds(const search::SearchLimits& limits) {
    return limits.timeLimitSeconds > 0 ? std::min(0.05, limits.timeLimitSeconds / 10) : 0.05;
}
// The time the reported bound is improved for at each progress report.
constexpr double ReportedBoundSlice = 0.01;

// A worker's three searchers, each with its own tables.
struct FillWorker {
    FillWorker(FillSearch& shared, std::uint64_t seed) : tree(shared, true), mover(shared, false), climber(shared) {
        mover.seed(seed);
        climber.seed(seed);
    }
    TreeSearch tree;
    TreeSearch mover;
    Climber climber;
    bool treeDone = false;  // this worker's share of the tree searched to the end
};

// The exact search in slices; once it has run a while without finishing,
// each slice is followed by neighbourhood moves on the best fill, as long
// as the slice took; after its share of the tree, moves while another
// worker still searches its own.
void work(FillWorker& w, std::atomic<int>& treesOpen, const search::Stopwatch& clock) {
    constexpr std::uint64_t Slice = 4000;
    constexpr std::uint64_t Move = 400;
    constexpr int Climb = 5000;
    // Between the tree's slices: a neighbourhood move searched exactly,
    // then a burst of the climber's cheap moves.
    auto betweenSlices = [&w] {
        if (w.mover.improve(Move) == TreeSearch::Outcome::Stopped) return false;
        return w.climber.climb(Climb);
    };
    bool ok = true;
    for (;;) {
        const double from = clock.seconds();
        const TreeSearch::Outcome o = w.tree.searchTree(Slice);
        if (o == TreeSearch::Outcome::Done) w.treeDone = true;
        if (o == TreeSearch::Outcome::Stopped) ok = false;
        if (o != TreeSearch::Outcome::Budget) break;
        const double now = clock.seconds();
        if (now < 0.05) continue;
        const double until = now + (now - from);
        while (ok && clock.seconds() < until) ok = betweenSlices();
        if (!ok) break;
    }
    w.tree.flush();
    --treesOpen;
    while (ok && treesOpen.load() > 0) ok = betweenSlices();
    w.mover.flush();
}

FillResult trivialResult(const FillProblem& problem, double elapsed,
                         const std::function<void(const FillProgress&)>& progress) {
    FillResult result;
    result.elapsedSeconds = elapsed;
    if (problem.impossibleLead() != 0) {
        result.status = FillStatus::ImpossibleLead;
        result.impossibleLead = problem.impossibleLead();
        if (progress) progress(FillProgress{0, 0, false, 0, 0, result.elapsedSeconds, true});
    } else {
        result.status = FillStatus::Optimal;
        result.music = problem.fixedMusic();
        result.score = result.music + problem.constraints().callScore;
        result.haveBound = true;
        result.bound = result.music;
        if (progress)
            progress(FillProgress{0, 0, true, result.music, result.score, result.elapsedSeconds, true, true, result.music, true});
    }
    return result;
}

// Too few methods for the leads within their uses: no true fill, proved
// without a search.
FillResult noMatchingResult(double elapsed, const std::function<void(const FillProgress&)>& progress) {
    FillResult result;
    result.elapsedSeconds = elapsed;
    result.status = FillStatus::NoTrueFill;
    if (progress) progress(FillProgress{0, 0, false, 0, 0, result.elapsedSeconds, true});
    return result;
}

// What a run reports of its best fill against the bound: once the search
// is complete the best fill's music is the bound, and no fill has none. The
// bound is on the music alone, so under weighted constraints reaching it
// proves nothing and only a complete search does.
void reportBound(const FillProblem& p, long long candidatesBound, bool haveFill, long long bestMusic, bool complete,
                 bool& haveBound, long long& bound, bool& proved) {
    haveBound = haveFill || !complete;
    bound = complete && haveFill ? bestMusic : p.fixedMusic() + candidatesBound;
    proved = haveFill && (complete || (!p.constraints().active && bestMusic >= bound));
}

// The music of a fill: the fixed music and its candidates'.
long long musicOf(const FillProblem& p, const LeadFill& fill) {
    long long music = p.fixedMusic();
    for (const CandidateIndex c : fill.raw()) music += p.music(c);
    return music;
}

FillProgress snapshot(FillSearch& shared, long long candidatesBound, const search::Stopwatch& clock, bool complete) {
    FillProgress pr;
    pr.nodes = shared.control.nodes();
    pr.elapsedSeconds = clock.seconds();
    pr.nodesPerSecond = pr.elapsedSeconds > 0 ? static_cast<double>(pr.nodes) / pr.elapsedSeconds : 0;
    std::lock_guard lock(shared.mutex);
    pr.haveFill = shared.haveBest;
    pr.bestMusic = shared.haveBest ? musicOf(shared.p, shared.bestFill) : 0;
    pr.bestScore = shared.haveBest ? shared.p.fixedMusic() + shared.p.constraints().callScore +
                                         shared.bestMusic.load(std::memory_order_relaxed)
                                   : 0;
    pr.complete = complete;
    reportBound(shared.p, candidatesBound, pr.haveFill, pr.bestMusic, complete, pr.haveBound, pr.bound, pr.proved);
    return pr;
}

}  // namespace

FillResult runFill(const FillProblem& problem, const FillOptions& options, const std::atomic<bool>& stop,
                   const std::function<void(const FillProgress&)>& progress) {
    const search::Stopwatch clock;
    if (problem.impossibleLead() != 0 || problem.leadCount() == 0) return trivialResult(problem, clock.seconds(), progress);
    if (!usesAllowAFill(problem)) return noMatchingResult(clock.seconds(), progress);

    const search::SearchLimits limits = searchLimitsOf(options);
    FillSearch shared(problem, options);
    // The row prices, on the calling thread before the workers start: the
    // bound reported and the one every node of the tree is pruned by.
    MusicBound prices(problem);
    prices.improve(rootBoundSeconds(limits));
    shared.prices = &prices;
    const int threads = limits.threadCount();
    std::vector<std::unique_ptr<FillWorker>> workers;
    workers.reserve(static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t) workers.push_back(std::make_unique<FillWorker>(shared, static_cast<std::uint64_t>(t) + 1));
    // Enough numbered pieces of work that no worker waits long for another.
    if (threads > 1) shared.splitDepth = std::min(problem.leadCount(), workers[0]->tree.rootChoices() >= 16 * threads ? 1 : 2);

    // The bound reported goes on falling on the calling thread while the
    // workers search, a slice at each progress report, aimed at the best
    // fill's music; the workers keep the prices they started with.
    MusicBound reported = prices;
    auto tick = [&] {
        if (!reported.settled()) {
            const long long best = shared.bestMusic.load(std::memory_order_relaxed);
            reported.improve(ReportedBoundSlice, best);
        }
        if (progress) progress(snapshot(shared, reported.bound(), clock, false));
    };
    std::atomic<int> treesOpen{threads};
    search::runWorkers(
        threads, [&](int t) { work(*workers[static_cast<std::size_t>(t)], treesOpen, clock); }, shared.control, stop,
        limits.timeLimitSeconds, clock, tick);

    const bool complete = std::all_of(workers.begin(), workers.end(), [](const auto& w) { return w->treeDone; });
    FillResult result;
    result.nodes = shared.control.nodes();
    result.elapsedSeconds = clock.seconds();
    bool proved = false;
    if (shared.haveBest) {
        result.music = musicOf(problem, shared.bestFill);
        result.score = problem.fixedMusic() + problem.constraints().callScore + shared.bestMusic.load();
        for (LeadIndex i{0}; i < problem.leadEnd(); ++i)
            result.methods.emplace_back(problem.leadNumber(i), problem.notation(problem.method(shared.bestFill[i])));
        reportBound(problem, reported.bound(), true, result.music, complete, result.haveBound, result.bound, proved);
        result.status = proved ? FillStatus::Optimal : FillStatus::LimitReached;
    } else {
        reportBound(problem, reported.bound(), false, 0, complete, result.haveBound, result.bound, proved);
        result.status = complete ? FillStatus::NoTrueFill : FillStatus::NoFillWithinLimits;
    }
    if (progress) progress(snapshot(shared, reported.bound(), clock, complete));
    return result;
}

}  // namespace quarnel::fill
