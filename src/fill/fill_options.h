#pragma once
// What a Fill looks for and how long it may look: the methods a lead may
// take, the constraints on the whole fill (no method in two leads, or in
// more than so many, and the composer's constraints) and the limits of the search (threads, time, nodes).
// The first two make the problem; the limits only bound its search.
#include <algorithm>
#include <cstdint>

#include "search/constraints.h"
#include "search/search_limits.h"

namespace quarnel::fill {

struct FillOptions {
    // Candidates: the named methods of the classes allowed (no class given:
    // Surprise), or with any generator option the generator's methods of the
    // lead's code (only those with a library name when named is given).
    bool named = false, surprise = false, delight = false, trebleBob = false;
    bool rightPlace = false, symmetricSections = false, twoPlaces = false;
    // Refill every lead, not only those without a committed method.
    bool all = false;
    // No method in two leads; or (maxUses > 0) in more than maxUses leads.
    bool allDifferent = false;
    int maxUses = 0;
    // The composer's constraints: the methods to use (instead of the
    // classes), their number and shares, all the work, changes of method
    // and the objective's weights.
    search::Constraints constraints;
    int threads = 0;                // 0: the machine's hardware threads
    double timeLimitSeconds = 0;    // 0: none
    std::uint64_t nodeLimit = 0;    // 0: none
    // The most generator methods taken for one lead-head code, in the
    // generator's order (0: no limit). Two Places alone gives over 370,000
    // methods of some codes, whose tables would not fit in memory.
    int generatorLimit = DefaultGeneratorLimit;
    static constexpr int DefaultGeneratorLimit = 20000;
};

// The options' limit on a method's uses: 1 for allDifferent, else maxUses
// (0: no limit).
inline int usesLimitOf(const FillOptions& options) { return options.allDifferent ? 1 : std::max(0, options.maxUses); }

// The limits of the search the options ask for.
inline search::SearchLimits searchLimitsOf(const FillOptions& options) {
    return search::SearchLimits{options.threads, options.timeLimitSeconds, options.nodeLimit};
}

}  // namespace quarnel::fill
