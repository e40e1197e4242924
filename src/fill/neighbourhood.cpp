// The neighbourhood moves: the exact tree search run again on the best fill
// with every lead but a few held to its method. A move only ever offers a
// fill with more music (or as much and first in the tie-break order), so it
// raises the bound the full tree prunes by and never changes the optimum.
#include <algorithm>

#include "fill/tree_search.h"

namespace quarnel::fill {

// Sets free a lead of the mover's fill together with every lead whose
// method rings a row of one of the lead's better candidates (or, under a
// limit on uses, uses its method), so that the move can try that candidate.
// False when the lead chosen holds its best candidate already.
bool TreeSearch::freeBlockers() {
    const LeadIndex lead = randomLead();
    const CandidateIndex held = fill_[lead];
    const int better = held - p_.first(lead);  // candidates before it: as much music or more
    if (better <= 0) return false;
    const CandidateIndex x = p_.first(lead) + static_cast<int>(nextRandom() % static_cast<std::uint64_t>(std::min(better, 8)));
    free_[lead] = 1;
    for (const RowIndex r : p_.rowsOf(x))
        for (const CandidateIndex e : p_.candidatesOfRow(r))
            if (const LeadIndex other = p_.leadOf(e); fill_[other] == e) free_[other] = 1;
    if (s_.usesLimit > 0)
        for (LeadIndex i{0}; i < p_.leadEnd(); ++i)
            if (p_.method(fill_[i]) == p_.method(x)) free_[i] = 1;
    return true;
}

TreeSearch::Outcome TreeSearch::improve(std::uint64_t budget) {
    const int n = p_.leadCount();
    // The mover keeps the best fill chosen between moves and brings it up
    // to date lead by lead, so that a move costs only its free leads.
    {
        std::lock_guard lock(s_.mutex);
        if (!s_.haveBest) return Outcome::Done;
        latest_ = s_.bestFill;
    }
    if (fill_.empty()) {
        fill_ = latest_;
        for (LeadIndex i{0}; i < p_.leadEnd(); ++i) assign(fill_[i]);
    } else {
        for (LeadIndex i{0}; i < p_.leadEnd(); ++i)
            if (fill_[i] != latest_[i]) unassign(fill_[i]);
        for (LeadIndex i{0}; i < p_.leadEnd(); ++i)
            if (fill_[i] != latest_[i]) assign(latest_[i]);
        fill_ = latest_;
    }
    // A few leads set free: a lead with the leads that keep one of its
    // better candidates out, a run of neighbours, or leads anywhere.
    freeLeads_ = std::clamp(freeLeads_, 2, std::max(2, n));
    const int k = std::min(freeLeads_, n);
    free_.assign(static_cast<std::size_t>(n), 0);
    const std::uint64_t kind = nextRandom() % 3;
    if (kind == 0 && freeBlockers()) {
        // The lead and the leads in the way of its better candidates.
    } else if (kind == 1) {
        const LeadIndex from = randomLead();
        for (int j = 0; j < k; ++j) free_[LeadIndex::from((from.value() + j) % n)] = 1;
    } else {
        for (int chosen = 0; chosen < k;) {
            const LeadIndex j = randomLead();
            if (!free_[j]) {
                free_[j] = 1;
                ++chosen;
            }
        }
    }
    for (LeadIndex i{0}; i < p_.leadEnd(); ++i)
        if (free_[i]) unassign(fill_[i]);
    Walk w;
    const long long before = s_.bestMusic.load(std::memory_order_relaxed);
    const Outcome outcome = walk(w, budget);
    if (outcome != Outcome::Stopped) {
        unwind(w);
        for (LeadIndex i{0}; i < p_.leadEnd(); ++i)
            if (free_[i]) assign(fill_[i]);
    }
    const bool gained = s_.bestMusic.load(std::memory_order_relaxed) > before;
    // Search wider while moves end early without a gain, narrower while
    // they run out of nodes.
    if (outcome == Outcome::Done && !gained) ++freeLeads_;
    if (outcome == Outcome::Budget && freeLeads_ > 2) --freeLeads_;
    return outcome == Outcome::Stopped ? Outcome::Stopped : Outcome::Done;
}

}  // namespace quarnel::fill
