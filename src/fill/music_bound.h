#pragma once
// A proven upper bound on the music of any true fill: prices on rows. Each
// row may be rung at most once over the fill; instead of forbidding a second
// ringing, every row carries a price and each lead takes its best candidate
// under the prices (its music less the prices of its rows). The sum of those
// plus the sum of every price is never below the music of a true fill,
// whatever the prices (none negative): a true fill pays each price at most
// once. The prices are found by subgradient steps (a row rung by two leads'
// chosen candidates gets dearer, a row rung by none cheaper) and kept in
// whole units of 1/Scale of a point of music, so that the bound is summed
// exactly and rounded down to whole music only at the end.
//
// Under a limit on a method's uses (--all-different, --max-uses, the most
// changes of each method) a method that could be taken more often than its
// uses left carries a price too, paid by each of its candidates and owed
// once for each use left. The same prices bound any node of the search: the
// music of the leads chosen, each open lead's best live candidate under the
// prices, the prices of the rows no chosen lead rings, and each priced
// method's price for each of its uses still left.
#include <climits>
#include <cstdint>
#include <vector>

#include "fill/fill_problem.h"
#include "search/index.h"

namespace quarnel::fill {

class MusicBound {
public:
    // Prices are counted in 1/Scale of a point of music.
    static constexpr std::int64_t Scale = 4096;
    // The highest price of a row, in 1/Scale: above the most music a
    // candidate can have (10^8 points), so no useful price is cut, and low
    // enough that no sum of prices and music can overflow. Any prices of 0
    // or more give a sound bound.
    static constexpr std::int64_t MaxPrice = std::int64_t{1} << 40;

    // No prices: every lead's best candidate (the sum of best candidates).
    explicit MusicBound(const FillProblem& problem);

    // Subgradient steps, on from where the last call left them, until the
    // bound has settled or seconds have passed. known: the music of a true
    // fill if one is known (LLONG_MIN: none); the steps aim at it. Returns
    // true when the bound fell.
    bool improve(double seconds, long long known = LLONG_MIN);
    // The steps have stopped: the bound falls no further.
    bool settled() const { return settled_; }

    // The bound on the candidates' music of a true fill (without the
    // problem's fixed music); LLONG_MIN when some lead has no candidate.
    long long bound() const { return bound_; }

    // Each candidate's music less the prices of its rows, in 1/Scale.
    std::int64_t reduced(CandidateIndex c) const { return reduced_[c]; }
    // A row's price, in 1/Scale.
    std::int64_t price(RowIndex r) const { return prices_[r]; }
    // What a candidate pays: the prices of its rows and of its method, in
    // 1/Scale.
    std::int64_t rowPrice(CandidateIndex c) const { return rowPrice_[c]; }
    // The sum of every row's price and of each priced method's price times
    // its uses left after the kept leads, in 1/Scale.
    std::int64_t totalPrice() const { return totalPrice_; }
    // The methods that can carry a price (those with more candidates than
    // uses left), and a method's price, in 1/Scale.
    const std::vector<MethodIndex>& limitedMethods() const { return limited_; }
    std::int64_t methodPrice(MethodIndex m) const { return methodPrices_[m.at()]; }
    // Lead i's candidates by reduced music, highest first (ties: candidate
    // order): byReduced(first(i)) .. byReduced(end(i) - 1).
    CandidateIndex byReduced(CandidateIndex k) const { return CandidateIndex::from(order_[k.at()]); }

    // Music in whole points from an amount in 1/Scale, rounded down.
    static long long wholeMusic(std::int64_t scaled) {
        return static_cast<long long>(scaled >= 0 ? scaled / Scale : -((-scaled + Scale - 1) / Scale));
    }

private:
    // The candidates' reduced music and each lead's best under the prices;
    // the exact bound in 1/Scale.
    std::int64_t evaluate(const search::IndexVec<RowIndex, std::int64_t>& prices, const std::vector<std::int64_t>& methodPrices);
    // Each lead's best candidate under the reduced music held; their sum.
    std::int64_t choose();
    // The music of a true fill built lead by lead from the best candidates
    // under the present prices that clash with no lead before; LLONG_MIN
    // when it gets stuck.
    long long greedyFill();
    void keep();
    // The prices' sum: each shared row's, and each limited method's times
    // its uses left.
    std::int64_t priceSum(const search::IndexVec<RowIndex, std::int64_t>& prices, const std::vector<std::int64_t>& methodPrices) const;

    const FillProblem& p_;
    long long bound_ = LLONG_MIN;
    std::int64_t lowest_ = 0;  // the bound in 1/Scale
    std::int64_t totalPrice_ = 0;
    // The prices of the kept (lowest) bound, and its tables.
    search::IndexVec<RowIndex, std::int64_t> prices_;
    std::vector<std::int64_t> methodPrices_;  // by method index; 0 unless limited
    search::IndexVec<CandidateIndex, std::int64_t> reduced_;
    search::IndexVec<CandidateIndex, std::int64_t> rowPrice_;
    std::vector<std::uint32_t> order_;
    // Where the steps stand: the prices of the last step, the step's
    // length (a share of the gap to the target), the steps since the bound
    // last fell, and the best true fill's music known.
    search::IndexVec<RowIndex, std::int64_t> current_;
    std::vector<std::int64_t> currentMethods_;
    double theta_ = 2.0;
    int stall_ = 0;
    bool settled_ = false;
    long long target_ = LLONG_MIN;
    // Working tables of the steps.
    search::IndexVec<CandidateIndex, std::int64_t> work_;
    search::IndexVec<LeadIndex, CandidateIndex> best_;
    std::vector<RowIndex> shared_;  // rows two or more leads may ring
    std::vector<MethodIndex> limited_;
    std::vector<int> left_;  // each method's uses left after the kept leads (limited ones)
    std::vector<std::uint8_t> used_;
};

}  // namespace quarnel::fill
