#pragma once
// One worker's exact search of a Fill: depth first over the leads to fill,
// the most constrained lead (fewest live candidates) first, each lead's
// candidates by music. It keeps, for each candidate, how many reasons it has
// to be dead (a row rung by a chosen candidate, or its method used up), and
// for each lead how many of its candidates are alive: choosing a candidate
// walks the candidates that share its rows, so a check of a candidate is
// one load and the bound (the music so far plus each open lead's best live
// candidate) sees every clash with the leads already chosen.
//
// The same search, on a copy of the best fill with a few leads set free,
// makes the neighbourhood moves (fill/neighbourhood.cpp).
#include <climits>
#include <cstdint>
#include <vector>

#include "fill/fill_constraints.h"
#include "fill/fill_search.h"
#include "search/search_limits.h"
#include "search/xorshift.h"

namespace quarnel::fill {

class TreeSearch {
public:
    // priced: prune by the shared row prices too (the exact tree); the
    // neighbourhood moves search a few leads, where the plain bound is
    // enough and cheaper.
    TreeSearch(FillSearch& shared, bool priced);

    enum class Outcome { Done, Budget, Stopped };

    // The exact search, in slices of about budget nodes: Done when this
    // worker's share of the tree is searched.
    Outcome searchTree(std::uint64_t budget);
    // One neighbourhood move on the best fill: every lead but a few keeps its
    // method and the few are searched again, for about budget nodes.
    Outcome improve(std::uint64_t budget);
    // The live candidates of the most constrained open lead at the root.
    int rootChoices();
    // Hands on the nodes not yet counted.
    void flush() { counter_.flush(); }
    void seed(std::uint64_t v) { random_.mix(v * 0xBF58476D1CE4E5B9ull); }

private:
    // Where a depth-first search stands, so that it can be resumed.
    struct Walk {
        int depth = -2;  // -2: not started; -1: finished
        int split = 0;   // the depth of the numbered pieces of work; 0: none
        int claimed = 0;
        int seen = 0;
        bool inTask = false;
    };
    // One depth of the walk: its lead, the candidates of it still to try
    // (pos .. end - 1), the one chosen, and the best music of the other open
    // leads.
    struct Frame {
        LeadIndex lead = NoLead;
        CandidateIndex pos{0};
        CandidateIndex end{0};
        CandidateIndex chosen = NoCandidate;
        long long restWithout = 0;
        // The same under the row prices: the other open leads' best live
        // candidates' reduced music and the prices of the rows no chosen
        // lead rings, in 1/MusicBound::Scale.
        std::int64_t pricedWithout = 0;
    };

    Outcome walk(Walk& w, std::uint64_t budget);
    void unwind(Walk& w);

    void kill(CandidateIndex e) {
        if (dead_[e]++ == 0) --alive_[p_.leadOf(e)];
    }
    void revive(CandidateIndex e) {
        if (--dead_[e] == 0) ++alive_[p_.leadOf(e)];
    }
    void assign(CandidateIndex c);
    void unassign(CandidateIndex c);
    bool select(Frame& f, bool bounded);
    bool pricesLive();
    std::int64_t livePrices();
    void refreshBest();
    bool notBeforeBest(LeadIndex extraLead, CandidateIndex extraCandidate) const;
    bool freeBlockers();
    void record();

    std::uint64_t nextRandom() { return random_.next(); }
    LeadIndex randomLead() {
        return LeadIndex::from(nextRandom() % static_cast<std::uint64_t>(p_.leadCount()));
    }

    FillSearch& s_;
    const FillProblem& p_;
    search::NodeCounter counter_;
    // Reasons each candidate is dead: 0 when it is alive.
    search::IndexVec<CandidateIndex, std::uint32_t> dead_;
    // Live candidates of each lead.
    search::IndexVec<LeadIndex, int> alive_;
    // The candidate chosen for each lead, or NoCandidate while it is open.
    LeadFill assigned_;
    // The composer's constraints, followed only when the problem has any.
    const bool constrained_;
    ConstraintTracker constraints_;
    // Uses of each method: the kept leads' and the chosen candidates'.
    search::IndexVec<MethodIndex, int> uses_;
    // One a depth, and one more.
    std::vector<Frame> frames_;
    long long music_ = 0;  // of the chosen candidates
    // The row prices, if any, and the prices of the rows the chosen
    // candidates ring (1/MusicBound::Scale).
    const MusicBound* prices_ = nullptr;
    std::int64_t taken_ = 0;
    // Rows marked while a node's live rows are priced: a row is marked when
    // it holds the present stamp.
    std::vector<std::uint32_t> marks_;
    std::uint32_t stamp_ = 0;
    // Of the latest nodes priced over their live rows (halved now and
    // then), how many and how many of them that bound cut; and the nodes
    // passed over while it cuts too few.
    std::uint32_t liveTries_ = 0;
    std::uint32_t liveCuts_ = 0;
    std::uint32_t livePassed_ = 0;
    int open_ = 0;         // leads without a candidate
    // This worker's copy of the best fill's music and methods.
    long long best_ = LLONG_MIN;
    bool haveBest_ = false;
    std::uint64_t seenVersion_ = ~0ull;
    search::IndexVec<LeadIndex, MethodIndex> bestMethods_;
    Walk tree_;
    // The neighbourhood moves: their random numbers, and how many leads a
    // move searches again (grown while moves end early without a gain).
    search::XorShift64 random_{0x9E3779B97F4A7C15ull};
    int freeLeads_ = 4;
    LeadFill fill_;    // the fill the mover holds chosen
    LeadFill latest_;  // the best fill at the start of a move
    search::IndexVec<LeadIndex, char> free_;
};

}  // namespace quarnel::fill
