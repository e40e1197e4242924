#include "fill/music_bound.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numeric>

#include "ringing/part_end.h"

namespace quarnel::fill {

MusicBound::MusicBound(const FillProblem& problem) : p_(problem) {
    prices_.assign(RowIndexCount, 0);
    work_.assign(static_cast<std::size_t>(p_.candidateCount()), 0);
    best_.assign(static_cast<std::size_t>(p_.leadCount()), NoCandidate);
    used_.assign(RowIndexCount, 0);
    // A row only one lead can ring never needs a price: no two leads clash on it.
    shared_ = p_.sharedRows();
    methodPrices_.assign(p_.notations().size(), 0);
    left_.assign(p_.notations().size(), 0);
    if (p_.usesLimit() > 0)
        for (MethodIndex m{0}; m.value() < static_cast<int>(p_.notations().size()); ++m) {
            left_[m.at()] = p_.usesLimit() - p_.keptUses(m);
            if (static_cast<int>(p_.candidatesOfMethod(m).size()) > left_[m.at()]) limited_.push_back(m);
        }
    keep();
}

std::int64_t MusicBound::priceSum(const search::IndexVec<RowIndex, std::int64_t>& prices,
                                  const std::vector<std::int64_t>& methodPrices) const {
    std::int64_t total = 0;
    for (const RowIndex r : shared_) total += prices[r];
    for (const MethodIndex m : limited_) total += methodPrices[m.at()] * left_[m.at()];
    return total;
}

std::int64_t MusicBound::evaluate(const search::IndexVec<RowIndex, std::int64_t>& prices,
                                  const std::vector<std::int64_t>& methodPrices) {
    for (CandidateIndex c{0}; c.value() < p_.candidateCount(); ++c) {
        std::int64_t v = p_.music(c) * Scale - methodPrices[p_.method(c).at()];
        for (const RowIndex r : p_.rowsOf(c)) v -= prices[r];
        work_[c] = v;
    }
    return choose() + priceSum(prices, methodPrices);
}

std::int64_t MusicBound::choose() {
    std::int64_t total = 0;
    for (LeadIndex i{0}; i < p_.leadEnd(); ++i) {
        CandidateIndex best = p_.first(i);
        for (CandidateIndex c = p_.first(i) + 1; c < p_.end(i); ++c)
            if (work_[c] > work_[best]) best = c;
        best_[i] = best;
        total += work_[best];
    }
    return total;
}

// Makes the tables of the prices held in prices_ and methodPrices_.
void MusicBound::keep() {
    const std::int64_t scaled = evaluate(prices_, methodPrices_);
    reduced_ = work_;
    rowPrice_.resize(work_.size());
    for (CandidateIndex c{0}; c.value() < p_.candidateCount(); ++c) rowPrice_[c] = p_.music(c) * Scale - reduced_[c];
    totalPrice_ = priceSum(prices_, methodPrices_);
    lowest_ = scaled;
    bound_ = p_.impossibleLead() != 0 ? LLONG_MIN : wholeMusic(scaled);
    order_.resize(static_cast<std::size_t>(p_.candidateCount()));
    for (LeadIndex i{0}; i < p_.leadEnd(); ++i) {
        const auto from = order_.begin() + p_.first(i).value();
        const auto to = order_.begin() + p_.end(i).value();
        std::iota(from, to, static_cast<std::uint32_t>(p_.first(i).value()));
        std::stable_sort(from, to, [this](std::uint32_t a, std::uint32_t b) {
            return reduced_[CandidateIndex::from(a)] > reduced_[CandidateIndex::from(b)];
        });
    }
}

long long MusicBound::greedyFill() {
    long long music = 0;
    LeadIndex stuck = NoLead;
    // Uses left of each method, under a limit: the greedy fill keeps it, so
    // that its music is that of a fill the search could report.
    std::vector<int> left = left_;
    for (LeadIndex i{0}; i < p_.leadEnd(); ++i) {
        CandidateIndex best = NoCandidate;
        for (CandidateIndex c = p_.first(i); c < p_.end(i); ++c) {
            if (best != NoCandidate && work_[c] <= work_[best]) continue;
            if (p_.usesLimit() > 0 && left[p_.method(c).at()] <= 0) continue;
            bool clear = true;
            for (const RowIndex r : p_.rowsOf(c)) clear = clear && used_[r.at()] == 0;
            if (clear) best = c;
        }
        best_[i] = best;
        if (best == NoCandidate) {
            stuck = i;
            break;
        }
        music += p_.music(best);
        --left[p_.method(best).at()];
        for (const RowIndex r : p_.rowsOf(best)) used_[r.at()] = 1;
    }
    for (LeadIndex i{0}; i < p_.leadEnd() && i != stuck; ++i)
        for (const RowIndex r : p_.rowsOf(best_[i])) used_[r.at()] = 0;
    return stuck == NoLead ? music : LLONG_MIN;
}

bool MusicBound::improve(double seconds, long long known) {
    if (p_.impossibleLead() != 0 || p_.leadCount() == 0 || (shared_.empty() && limited_.empty())) settled_ = true;
    if (settled_) return false;
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    const long long before = bound_;
    // The steps go on from the prices of the last step, not the best.
    if (current_.empty()) {
        current_ = prices_;
        currentMethods_ = methodPrices_;
    }
    search::IndexVec<RowIndex, std::int64_t>& prices = current_;
    std::vector<std::int64_t>& methodPrices = currentMethods_;
    evaluate(prices, methodPrices);
    std::int64_t total = priceSum(prices, methodPrices);
    std::vector<int> methodUses(p_.notations().size(), 0);
    target_ = std::max(target_, known);
    std::vector<int> uses(RowIndexCount, 0);
    bool fell = false;
    for (int step = 0; Clock::now() < until; ++step) {
        if (theta_ <= 1e-4) {
            settled_ = true;
            break;
        }
        const std::int64_t scaled = choose() + total;
        if (scaled < lowest_) {
            lowest_ = scaled;
            prices_ = prices;
            methodPrices_ = methodPrices;
            fell = true;
            stall_ = 0;
        } else if (++stall_ >= 25) {
            theta_ /= 2;
            stall_ = 0;
        }
        // Rows rung by the leads' best candidates, before the greedy fill
        // takes best_ over.
        for (const CandidateIndex c : best_.raw()) {
            for (const RowIndex r : p_.rowsOf(c)) ++uses[r.at()];
            ++methodUses[p_.method(c).at()];
        }
        double norm = 0;
        for (const RowIndex r : shared_) {
            const int g = uses[r.at()] - 1;
            if (g < 0 && prices[r] == 0) continue;
            norm += static_cast<double>(g) * g;
        }
        for (const MethodIndex m : limited_) {
            const int g = methodUses[m.at()] - left_[m.at()];
            if (g < 0 && methodPrices[m.at()] == 0) continue;
            norm += static_cast<double>(g) * g;
        }
        if (step % 8 == 0) target_ = std::max(target_, greedyFill());
        const double music = static_cast<double>(scaled) / Scale;
        if (norm == 0 || wholeMusic(lowest_) <= target_) {
            // The best candidates make a true fill paying every price, or
            // a true fill reaches the bound: no price does better.
            settled_ = true;
            break;
        }
        const double aim = target_ != LLONG_MIN ? static_cast<double>(target_) : music - std::max(1.0, 0.05 * std::abs(music));
        const double t = theta_ * std::max(music - aim, 1.0 / Scale) / norm * Scale;
        for (const RowIndex r : shared_) {
            const int g = uses[r.at()] - 1;
            uses[r.at()] = 0;
            if (g == 0) continue;
            // A new price changes the reduced music of the candidates on the row.
            const double moved = std::clamp(static_cast<double>(prices[r]) + t * g, 0.0, static_cast<double>(MaxPrice));
            const std::int64_t price = std::llround(moved);
            const std::int64_t d = price - prices[r];
            if (d == 0) continue;
            prices[r] = price;
            total += d;
            for (const CandidateIndex c : p_.candidatesOfRow(r)) work_[c] -= d;
        }
        for (const MethodIndex m : limited_) {
            const int g = methodUses[m.at()] - left_[m.at()];
            if (g == 0) continue;
            const double moved = std::clamp(static_cast<double>(methodPrices[m.at()]) + t * g, 0.0, static_cast<double>(MaxPrice));
            const std::int64_t price = std::llround(moved);
            const std::int64_t d = price - methodPrices[m.at()];
            if (d == 0) continue;
            methodPrices[m.at()] = price;
            total += d * left_[m.at()];
            for (const CandidateIndex c : p_.candidatesOfMethod(m)) work_[c] -= d;
        }
        std::fill(methodUses.begin(), methodUses.end(), 0);
    }
    if (fell) keep();
    return bound_ < before;
}

}  // namespace quarnel::fill
