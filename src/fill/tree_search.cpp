// Work is shared between the workers by numbered subtrees at a fixed depth:
// above it every worker walks the same tree (no pruning by music there, so
// the numbering is the same for all) and takes the next free number.
// Pruning keeps every fill that could still win: a branch goes only when its
// bound is below the best music, or equal to it and every fill in it comes
// after the best in the tie-break order (leads in order, methods by notation
// text). So a run to completion ends on the same fill whatever the threads.
#include "fill/tree_search.h"

#include <algorithm>

#include "ringing/part_end.h"

namespace quarnel::fill {
namespace {

// The most live candidates a node's live rows are priced over: below it the
// walk over their rows costs less than the subtrees it cuts (measured on
// the 35-lead plans of bench/fill_bench).
constexpr int LiveCap = 4096;

}  // namespace

// The row prices bound the music alone: under the composer's constraints,
// whose weights count beside the music, the tree prunes by the first bound
// only.
TreeSearch::TreeSearch(FillSearch& shared, bool priced)
    : s_(shared), p_(shared.p), counter_(shared.control), constrained_(shared.p.constraints().active),
      prices_(priced && !shared.p.constraints().active ? shared.prices : nullptr) {
    if (constrained_) constraints_ = ConstraintTracker(p_);
    const auto n = static_cast<std::size_t>(p_.leadCount());
    dead_.assign(static_cast<std::size_t>(p_.candidateCount()), 0);
    alive_.resize(n);
    for (LeadIndex i{0}; i < p_.leadEnd(); ++i) alive_[i] = p_.end(i) - p_.first(i);
    assigned_.assign(n, NoCandidate);
    uses_.resize(p_.notations().size());
    for (MethodIndex m{0}; m < uses_.end(); ++m) uses_[m] = p_.keptUses(m);
    frames_.resize(n + 1);
    open_ = p_.leadCount();
    bestMethods_.assign(n, MethodIndex{0});
    if (prices_ != nullptr) marks_.assign(RowIndexCount, 0);
}

void TreeSearch::assign(CandidateIndex c) {
    assigned_[p_.leadOf(c)] = c;
    music_ += p_.music(c);
    if (prices_ != nullptr) taken_ += prices_->rowPrice(c);
    --open_;
    if (constrained_) constraints_.add(c);
    for (const RowIndex r : p_.rowsOf(c))
        for (const CandidateIndex e : p_.candidatesOfRow(r)) kill(e);
    if (s_.usesLimit > 0) {
        const MethodIndex m = p_.method(c);
        if (++uses_[m] == s_.usesLimit)
            for (const CandidateIndex e : p_.candidatesOfMethod(m)) kill(e);
    }
}

void TreeSearch::unassign(CandidateIndex c) {
    if (s_.usesLimit > 0) {
        const MethodIndex m = p_.method(c);
        if (uses_[m]-- == s_.usesLimit)
            for (const CandidateIndex e : p_.candidatesOfMethod(m)) revive(e);
    }
    for (const RowIndex r : p_.rowsOf(c))
        for (const CandidateIndex e : p_.candidatesOfRow(r)) revive(e);
    if (constrained_) constraints_.remove(c);
    ++open_;
    if (prices_ != nullptr) taken_ -= prices_->rowPrice(c);
    music_ -= p_.music(c);
    assigned_[p_.leadOf(c)] = NoCandidate;
}

// Picks the open lead with the fewest live candidates (the first such in
// lead order) and bounds the node; false when the node is a dead end. The
// bound is the lower of two: the music so far plus each open lead's best
// live candidate, and (with row prices) the music so far plus each open
// lead's best live candidate under the prices plus the prices of the rows
// still free; when that does not prune and few candidates are alive, only
// the rows a live candidate rings keep their prices. Under the composer's
// constraints a node they rule out is a dead end, and the most the changes
// of method can still add counts in both bounds as part of the rest.
bool TreeSearch::select(Frame& f, bool bounded) {
    if (constrained_ && !constraints_.feasible(open_)) return false;
    LeadIndex chosen = NoLead;
    int fewest = INT_MAX;
    CandidateIndex chosenFirst{0};
    long long rest = constrained_ ? constraints_.bonus() : 0;
    long long chosenBest = 0;
    std::int64_t priced = 0;
    std::int64_t chosenPriced = 0;
    int live = 0;  // live candidates of the open leads
    for (LeadIndex i{0}; i < p_.leadEnd(); ++i) {
        if (assigned_[i] != NoCandidate) continue;
        if (alive_[i] == 0) return false;
        live += alive_[i];
        CandidateIndex c = p_.first(i);
        while (dead_[c] != 0) ++c;
        rest += p_.music(c);
        std::int64_t best = 0;
        if (prices_ != nullptr) {
            CandidateIndex k = p_.first(i);
            while (dead_[prices_->byReduced(k)] != 0) ++k;
            best = prices_->reduced(prices_->byReduced(k));
            priced += best;
        }
        if (alive_[i] < fewest) {
            fewest = alive_[i];
            chosen = i;
            chosenFirst = c;
            chosenBest = p_.music(c);
            chosenPriced = best;
        }
    }
    f.lead = chosen;
    f.pos = chosenFirst;
    f.end = p_.end(chosen);
    f.chosen = NoCandidate;
    f.restWithout = rest - chosenBest;
    if (prices_ != nullptr) f.pricedWithout = priced - chosenPriced + prices_->totalPrice() - taken_;
    if (bounded) {
        refreshBest();
        long long bound = music_ + rest;
        if (prices_ != nullptr) {
            bound = std::min(bound, music_ + MusicBound::wholeMusic(f.pricedWithout + chosenPriced));
            if (haveBest_ && bound >= best_ && live <= LiveCap && pricesLive()) {
                f.pricedWithout = priced - chosenPriced + livePrices();
                bound = std::min(bound, music_ + MusicBound::wholeMusic(f.pricedWithout + chosenPriced));
                if (bound < best_ || (bound == best_ && notBeforeBest(NoLead, NoCandidate))) ++liveCuts_;
            }
        }
        if (bound < best_) return false;
        if (haveBest_ && bound == best_ && notBeforeBest(NoLead, NoCandidate)) return false;
    }
    return true;
}

// Whether to price this node over its live rows: while that cuts one node
// in 16 of those it is tried at (on the standard methods' 35-lead plan,
// one in five or more), else at every 16th node, to see whether it has come
// to pay (on data/quarnel.txt it never cuts, and the walk over the rows
// would take most of the time).
bool TreeSearch::pricesLive() {
    if (liveCuts_ * 16 < liveTries_ && (++livePassed_ & 15) != 0) return false;
    if (++liveTries_ == 1024) {
        liveTries_ /= 2;
        liveCuts_ /= 2;
    }
    return true;
}

// The prices of the rows some live candidate of an open lead rings (a row
// no open lead can ring any more needs no price below this node), and each
// priced method's price for each of its uses still left.
std::int64_t TreeSearch::livePrices() {
    if (++stamp_ == 0) {
        std::fill(marks_.begin(), marks_.end(), 0);
        stamp_ = 1;
    }
    std::int64_t live = 0;
    for (LeadIndex i{0}; i < p_.leadEnd(); ++i) {
        if (assigned_[i] != NoCandidate) continue;
        for (CandidateIndex c = p_.first(i); c < p_.end(i); ++c) {
            if (dead_[c] != 0) continue;
            for (const RowIndex r : p_.rowsOf(c)) {
                if (marks_[r.at()] == stamp_) continue;
                marks_[r.at()] = stamp_;
                live += prices_->price(r);
            }
        }
    }
    for (const MethodIndex m : prices_->limitedMethods()) live += prices_->methodPrice(m) * (s_.usesLimit - uses_[m]);
    return live;
}

int TreeSearch::rootChoices() {
    Frame f;
    return select(f, false) ? alive_[f.lead] : 0;
}

void TreeSearch::refreshBest() {
    if (s_.version.load(std::memory_order_acquire) == seenVersion_) return;
    std::lock_guard lock(s_.mutex);
    seenVersion_ = s_.version.load(std::memory_order_relaxed);
    haveBest_ = s_.haveBest;
    best_ = s_.bestMusic.load(std::memory_order_relaxed);
    bestMethods_ = s_.bestMethods;
}

// True when every completion of the present choices (with the extra
// candidate on its lead) comes at or after the best fill in the tie-break
// order.
bool TreeSearch::notBeforeBest(LeadIndex extraLead, CandidateIndex extraCandidate) const {
    for (LeadIndex i{0}; i < p_.leadEnd(); ++i) {
        const CandidateIndex a = i == extraLead ? extraCandidate : assigned_[i];
        if (a == NoCandidate) return false;
        const MethodIndex m = p_.method(a);
        const MethodIndex b = bestMethods_[i];
        if (m != b) return m > b;
    }
    return true;
}

// A complete fill offered as the best: under the composer's constraints
// only when it keeps them all, with their weights in its objective.
void TreeSearch::record() {
    if (!constrained_) {
        offerFill(s_, assigned_, music_);
        return;
    }
    if (const auto extra = constraints_.complete()) offerFill(s_, assigned_, music_ + *extra);
}

void offerFill(FillSearch& s, const LeadFill& fill, long long music) {
    const FillProblem& p = s.p;
    std::lock_guard lock(s.mutex);
    const long long best = s.bestMusic.load(std::memory_order_relaxed);
    if (s.haveBest && music < best) return;
    if (s.haveBest && music == best) {
        bool before = false;
        for (LeadIndex i{0}; i < p.leadEnd(); ++i) {
            const MethodIndex m = p.method(fill[i]);
            const MethodIndex b = s.bestMethods[i];
            if (m != b) {
                before = m < b;
                break;
            }
        }
        if (!before) return;
    }
    s.bestFill = fill;
    s.bestMethods.resize(static_cast<std::size_t>(p.leadCount()));
    for (LeadIndex i{0}; i < p.leadEnd(); ++i) s.bestMethods[i] = p.method(fill[i]);
    s.haveBest = true;
    s.bestMusic.store(music, std::memory_order_relaxed);
    s.version.fetch_add(1, std::memory_order_release);
}

TreeSearch::Outcome TreeSearch::searchTree(std::uint64_t budget) {
    if (tree_.depth == -2) tree_.split = s_.splitDepth;
    return walk(tree_, budget);
}

TreeSearch::Outcome TreeSearch::walk(Walk& w, std::uint64_t budget) {
    const int split = w.split;
    if (w.depth == -2) {
        w.claimed = split > 0 ? s_.nextTask.fetch_add(1) : 0;
        w.depth = select(frames_[0], split == 0) ? 0 : -1;
    }
    std::uint64_t steps = 0;
    while (w.depth >= 0) {
        if (++steps > budget) return Outcome::Budget;
        Frame& f = frames_[static_cast<std::size_t>(w.depth)];
        if (f.chosen != NoCandidate) {
            unassign(f.chosen);
            f.chosen = NoCandidate;
            if (w.inTask && w.depth == split - 1) {
                w.inTask = false;
                w.claimed = s_.nextTask.fetch_add(1);
            }
        }
        const bool bounded = w.depth >= split;
        CandidateIndex c = NoCandidate;
        while (f.pos < f.end) {
            const CandidateIndex x = f.pos;
            ++f.pos;
            if (dead_[x] != 0) continue;
            if (bounded) {
                refreshBest();
                long long bound = music_ + p_.music(x) + f.restWithout;
                if (bound < best_) {
                    f.pos = f.end;
                    break;
                }
                if (prices_ != nullptr) {
                    bound = std::min(bound, music_ + MusicBound::wholeMusic(prices_->reduced(x) + f.pricedWithout));
                    if (bound < best_) continue;
                }
                if (haveBest_ && bound == best_ && notBeforeBest(f.lead, x)) continue;
            }
            c = x;
            break;
        }
        if (c == NoCandidate) {
            --w.depth;
            continue;
        }
        if (!counter_.count()) return Outcome::Stopped;
        if (w.depth + 1 == split) {
            // The subtree under this choice is a numbered piece of work.
            if (w.seen++ != w.claimed) continue;
            w.inTask = true;
        }
        assign(c);
        f.chosen = c;
        if (open_ == 0) {
            record();
            continue;
        }
        if (select(frames_[static_cast<std::size_t>(w.depth) + 1], w.depth + 1 >= split)) ++w.depth;
    }
    return Outcome::Done;
}

void TreeSearch::unwind(Walk& w) {
    for (; w.depth >= 0; --w.depth) {
        Frame& f = frames_[static_cast<std::size_t>(w.depth)];
        if (f.chosen != NoCandidate) unassign(f.chosen);
        f.chosen = NoCandidate;
    }
    w.depth = -1;
}

}  // namespace quarnel::fill
