#pragma once
// The composer's constraints (search/constraints.h) read against one Fill's
// plan, in the units the search counts in: leads of one part for a method's
// share, and for every lead of the composition its kept method or the lead
// to fill it stands for, the weight of the change of method after it (the
// parts, or the parts less one at the part-end join) and the pieces of work
// its lead head starts over all parts.
//
// A ConstraintTracker follows one searcher's choices: each method's leads,
// the methods used and each composition lead's method, so that a node asks
// whether the open leads can still reach every minimum and keep every
// maximum (feasible), and a complete fill is checked whole (complete). The
// checks at a node only ever refuse what no completion could mend; the whole
// check is exact, and no fill is offered without it.
#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

#include "search/constraints.h"
#include "search/index.h"

namespace quarnel {
class Composition;
}

namespace quarnel::fill {

class FillProblem;
struct LeadTag;
struct CandidateTag;
struct MethodTag;

struct PlanConstraints {
    // Anything for the search to keep or weigh beyond music (the calls'
    // weights are a constant, in callScore).
    bool active = false;
    int parts = 1;
    // The composition's leads (kept and to fill), of one part.
    int leads = 0;
    // Each method used: at least minLeads leads (from the least changes of
    // each method and all the work) and at most maxLeads (0: no limit; also
    // the problem's limit on uses).
    int minLeads = 0, maxLeads = 0;
    int minMethods = 0, maxMethods = INT_MAX;
    int balancePercent = -1;  // -1: none
    bool allTheWork = false;
    long long atwWeight = 0;
    long long minCom = 0, maxCom = LLONG_MAX, comWeight = 0;
    // The calls' weights over all parts: a constant for a fill.
    long long callScore = 0;
    // By composition lead (lead number - 1): the lead to fill it is (its
    // index) or -1 for a kept lead; the kept lead's method; the weight of a
    // change of method between it and the next lead (the last lead's, to the
    // first lead of the next part); its pieces of work over all parts, bit
    // 7 × (bell - 1) + (place - 1) for bells and places 2 to 8.
    std::vector<int> openIndex;
    std::vector<int> keptMethod;
    std::vector<int> joinWeight;
    std::vector<std::uint64_t> work;
};

// Reads the constraints against the composition's plan: leadToFill[n - 1]
// is the index of lead n among the leads to fill or -1, keptMethod[n - 1]
// the method index of a kept lead. Throws ModelError with the reason when
// no fill of this plan can keep them ("at least 4 methods of at least 3
// leads each, but only 8 leads").
PlanConstraints planConstraints(const Composition& composition, const search::Constraints& constraints,
                                std::vector<int> leadToFill, std::vector<int> keptMethod);

inline constexpr int PiecesOfWork = 49;
inline constexpr std::uint64_t AllTheWork = (std::uint64_t{1} << PiecesOfWork) - 1;

class ConstraintTracker {
public:
    ConstraintTracker() = default;
    explicit ConstraintTracker(const FillProblem& problem);

    // A candidate chosen for its lead, and taken back.
    void add(search::Index<CandidateTag> c);
    void remove(search::Index<CandidateTag> c);
    // False when no completion of the choices, with open leads still to
    // fill, can keep the constraints. Sets bonus() to the most the changes
    // of method can still add to the objective.
    bool feasible(int open);
    long long bonus() const { return bonus_; }
    // With every lead chosen: what the constraints add to the music in the
    // objective, or nothing when the fill breaks one.
    std::optional<long long> complete() const;

private:
    void countUse(int method, int by);

    const FillProblem* p_ = nullptr;
    const PlanConstraints* k_ = nullptr;
    // The method of each composition lead, -1 while open.
    std::vector<int> methodAt_;
    // Leads of one part of each method; the methods with any, and each
    // method's place among them.
    std::vector<int> leadsOf_;
    std::vector<int> used_;
    std::vector<int> usedAt_;
    long long bonus_ = 0;
    // Scratch of complete(): each used method's pieces of work.
    mutable std::vector<std::uint64_t> work_;
};

}  // namespace quarnel::fill
