#include "fill/climber.h"

#include <algorithm>

#include "ringing/part_end.h"

namespace quarnel::fill {

bool Climber::climb(int budget) {
    if (fill_.empty()) {
        if (!restart()) return true;
    } else if (sinceGain_ > StuckAfter) {
        // A local optimum: start again from the best fill, or go on from
        // this one, with a few leads shaken up.
        if (nextRandom() % 2 == 0 && !restart()) return true;
        kick();
        sinceGain_ = 0;
    }
    for (int k = 0; k < budget; ++k) {
        if ((k & 63) == 0 && s_.control.stopped()) return false;
        if (move()) {
            sinceGain_ = 0;
            if (score_ > best_) {
                best_ = score_;
                offerFill(s_, fill_, score_);
            }
        } else {
            ++sinceGain_;
        }
    }
    return true;
}

bool Climber::restart() {
    {
        std::lock_guard lock(s_.mutex);
        if (!s_.haveBest) return false;
        start_ = s_.bestFill;
        best_ = s_.bestMusic.load(std::memory_order_relaxed);
    }
    if (owner_.empty()) {
        owner_.assign(static_cast<std::size_t>(RowIndexCount), NoLead);
        uses_.assign(p_.notations().size(), 0);
        if (constrained_) constraints_ = ConstraintTracker(p_);
    }
    for (LeadIndex i{0}; i < fill_.end(); ++i)
        if (fill_[i] != NoCandidate) take(i, fill_[i]);
    fill_.assign(start_.size(), NoCandidate);
    for (MethodIndex m{0}; m < uses_.end(); ++m) uses_[m] = p_.keptUses(m);
    music_ = 0;
    for (LeadIndex i{0}; i < start_.end(); ++i) put(i, start_[i]);
    score_ = best_;
    sinceGain_ = 0;
    return true;
}

std::optional<long long> Climber::objective() const {
    if (!constrained_) return music_;
    const auto extra = constraints_.complete();
    if (!extra) return std::nullopt;
    return music_ + *extra;
}

void Climber::put(LeadIndex lead, CandidateIndex c) {
    fill_[lead] = c;
    for (const RowIndex r : p_.rowsOf(c)) owner_[r] = lead;
    ++uses_[p_.method(c)];
    music_ += p_.music(c);
    if (constrained_) constraints_.add(c);
}

void Climber::take(LeadIndex lead, CandidateIndex c) {
    for (const RowIndex r : p_.rowsOf(c)) owner_[r] = NoLead;
    --uses_[p_.method(c)];
    music_ -= p_.music(c);
    if (constrained_) constraints_.remove(c);
    fill_[lead] = NoCandidate;
}

bool Climber::fits(CandidateIndex c) const {
    if (s_.usesLimit > 0 && uses_[p_.method(c)] >= s_.usesLimit) return false;
    for (const RowIndex r : p_.rowsOf(c))
        if (owner_[r] != NoLead) return false;
    return true;
}

bool Climber::move() {
    const LeadIndex lead = randomLead();
    const CandidateIndex held = fill_[lead];
    const int better = held - p_.first(lead);
    if (better <= 0) return false;
    const CandidateIndex x = p_.first(lead) + static_cast<int>(nextRandom() % static_cast<std::uint64_t>(std::min(better, 24)));
    // The leads in the way: those ringing a row of x (under a limit on
    // uses, x whose method is used up does not fit and the move fails).
    LeadIndex blockers[MaxBlockers];
    int count = 0;
    auto block = [&](LeadIndex other) {
        if (other == lead) return true;
        for (int j = 0; j < count; ++j)
            if (blockers[j] == other) return true;
        if (count == MaxBlockers) return false;
        blockers[count++] = other;
        return true;
    };
    for (const RowIndex r : p_.rowsOf(x))
        if (const LeadIndex other = owner_[r]; other != NoLead && !block(other)) return false;
    const long long before = score_;
    CandidateIndex old[MaxBlockers];
    for (int j = 0; j < count; ++j) {
        old[j] = fill_[blockers[j]];
        take(blockers[j], old[j]);
    }
    take(lead, held);
    bool placed = fits(x);
    if (placed) put(lead, x);
    int done = 0;
    for (; placed && done < count; ++done) {
        const LeadIndex other = blockers[done];
        CandidateIndex c = p_.first(other);
        const CandidateIndex end = p_.end(other);
        while (c < end && !fits(c)) ++c;
        if (c == end) {
            placed = false;
            break;
        }
        put(other, c);
    }
    // Kept: a gain; now and then no change (to walk along a plateau); and
    // once in a long while a loss of one point, so that the walk leaves a
    // local optimum that a shake-up of a few leads falls straight back into.
    const std::optional<long long> after = placed ? objective() : std::nullopt;
    const bool keep = after && (*after > before || (*after == before && nextRandom() % 4 == 0) ||
                                (*after == before - 1 && nextRandom() % StepDown == 0));
    if (keep) {
        score_ = *after;
        return *after > before;
    }
    // Back as it was.
    for (int j = 0; j < done; ++j) take(blockers[j], fill_[blockers[j]]);
    if (fill_[lead] != NoCandidate) take(lead, x);
    put(lead, held);
    for (int j = 0; j < count; ++j) put(blockers[j], old[j]);
    return false;
}

// Frees a few leads and gives each a free candidate near its best, not
// always the best; back to the best fill when one is left without.
void Climber::kick() {
    LeadIndex freed[MaxKick];
    int count = 0;
    const int k = 2 + static_cast<int>(nextRandom() % (MaxKick - 1));
    for (int j = 0; j < k; ++j) {
        const LeadIndex lead = randomLead();
        if (fill_[lead] == NoCandidate) continue;
        take(lead, fill_[lead]);
        freed[count++] = lead;
    }
    for (int j = 0; j < count; ++j) {
        const LeadIndex lead = freed[j];
        int skip = static_cast<int>(nextRandom() % 4);
        CandidateIndex chosen = NoCandidate;
        for (CandidateIndex c = p_.first(lead); c < p_.end(lead); ++c) {
            if (!fits(c)) continue;
            chosen = c;
            if (skip-- == 0) break;
        }
        if (chosen == NoCandidate) {
            // Nothing fits this lead now: back to the best fill.
            restart();
            return;
        }
        put(lead, chosen);
    }
    // A fill that breaks the constraints is not climbed from.
    if (const auto after = objective()) {
        score_ = *after;
    } else {
        restart();
    }
}

}  // namespace quarnel::fill
