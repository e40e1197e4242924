#pragma once
// Hill climbing on a complete fill, far cheaper a move than a search: a
// lead takes one of its better candidates, the few leads whose methods ring
// one of its rows give theirs up and each takes its best candidate still
// free. A move is kept when the music grows, now and then when it stays
// the same (to walk along a plateau) and rarely when it loses a point (to
// leave a local optimum); after a long run without a gain a few
// leads are shaken up, on this fill or on the best one. A flat table of the
// lead that rings each row makes a candidate's check thirty loads. The
// climber offers every gain as the best fill, which raises the bound the
// tree search prunes by. Under the composer's constraints a move is kept
// only when the whole fill still keeps them, and gains are counted in the
// objective (music and the constraints' weights).
#include <climits>
#include <cstdint>
#include <optional>

#include "fill/fill_search.h"
#include "search/xorshift.h"

namespace quarnel::fill {

class Climber {
public:
    explicit Climber(FillSearch& shared)
        : s_(shared), p_(shared.p), constrained_(shared.p.constraints().active) {}
    void seed(std::uint64_t v) { random_.mix(v * 0x94D049BB133111EBull); }

    // About budget moves; false when the search is to stop.
    bool climb(int budget);

private:
    bool restart();
    void put(LeadIndex lead, CandidateIndex c);
    void take(LeadIndex lead, CandidateIndex c);
    bool fits(CandidateIndex c) const;
    bool move();
    void kick();
    // The objective of the fill held: its music, with the constraints'
    // weights when there are any; nothing when it breaks a constraint.
    std::optional<long long> objective() const;

    std::uint64_t nextRandom() { return random_.next(); }
    LeadIndex randomLead() {
        return LeadIndex::from(nextRandom() % static_cast<std::uint64_t>(p_.leadCount()));
    }

    static constexpr int StuckAfter = 3000;
    static constexpr int MaxKick = 7;
    static constexpr int MaxBlockers = 4;
    // One move in so many that loses a point is kept.
    static constexpr std::uint64_t StepDown = 64;
    FillSearch& s_;
    const FillProblem& p_;
    // The lead whose candidate rings each row, or NoLead; made on the first
    // climb, as most searches end before one.
    search::IndexVec<RowIndex, LeadIndex> owner_;
    // The fill climbed: NoCandidate only for a lead between take and put.
    LeadFill fill_;
    LeadFill start_;
    // Uses of each method by the kept leads and the fill.
    search::IndexVec<MethodIndex, int> uses_;
    long long music_ = 0;  // of the fill's candidates
    const bool constrained_;
    ConstraintTracker constraints_;
    long long score_ = 0;  // the objective of the fill
    long long best_ = LLONG_MIN;
    int sinceGain_ = 0;
    search::XorShift64 random_{0x2545F4914F6CDD1Dull};
};

}  // namespace quarnel::fill
