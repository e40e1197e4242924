#pragma once
// What the workers of one Fill run share: the problem, its limit on a
// method's uses, the stop and node count of the run, the numbered pieces of
// the tree still to take, and the best fill found so far. Used by the tree
// search, the neighbourhood moves and the climber; not part of Fill's API.
#include <atomic>
#include <climits>
#include <cstdint>
#include <mutex>

#include "fill/fill_problem.h"
#include "fill/music_bound.h"
#include "search/index.h"
#include "search/search_limits.h"

namespace quarnel::fill {

// A candidate for each lead to fill (NoCandidate where a lead has none yet).
using LeadFill = search::IndexVec<LeadIndex, CandidateIndex>;

struct FillSearch {
    FillSearch(const FillProblem& problem, const FillOptions& options)
        : p(problem), usesLimit(problem.usesLimit()), control(options.nodeLimit) {}

    const FillProblem& p;
    const int usesLimit;  // 0: no limit
    // The depth of the numbered pieces of work the tree is shared out by;
    // 0 (one thread): the tree is not shared out.
    int splitDepth = 0;
    search::SearchControl control;
    // Row prices that bound every node (none: each open lead's best live
    // candidate only); set before the workers start, never changed after.
    const MusicBound* prices = nullptr;
    std::atomic<int> nextTask{0};

    // The best fill: while haveBest, bestFill is a complete true fill,
    // bestMethods its methods lead by lead and bestMusic its music (without
    // the problem's fixed music). All three change together under mutex;
    // version rises with every change, so a worker sees without the lock
    // whether its copy is out of date.
    std::mutex mutex;
    std::atomic<std::uint64_t> version{0};
    std::atomic<long long> bestMusic{LLONG_MIN};
    LeadFill bestFill;
    search::IndexVec<LeadIndex, MethodIndex> bestMethods;
    bool haveBest = false;
};

// Offers a complete fill of the given music as the best: taken when it has
// more music than the best, or as much and comes first in the tie-break
// order (leads in order, methods by notation text).
void offerFill(FillSearch& s, const LeadFill& fill, long long music);

}  // namespace quarnel::fill
