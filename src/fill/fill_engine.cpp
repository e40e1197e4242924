// The search: depth first over the leads to fill, the most constrained lead
// (fewest live candidates) first, each lead's candidates by music. Every
// worker keeps, for each candidate, how many reasons it has to be dead (a
// row rung by a chosen candidate, or its method used up), and for each lead
// how many of its candidates are alive: choosing a candidate walks the
// candidates that share its rows, so a check of a candidate is one load and
// the bound (the music so far plus each open lead's best live candidate)
// sees every clash with the leads already chosen.
//
// Work is shared between the workers by numbered subtrees at a fixed depth:
// above it every worker walks the same tree (no pruning by music there, so
// the numbering is the same for all) and takes the next free number.
// Pruning keeps every fill that could still win: a branch goes only when its
// bound is below the best music, or equal to it and every fill in it comes
// after the best in the tie-break order (leads in order, methods by notation
// text). So a run to completion ends on the same fill whatever the threads.
#include <algorithm>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "fill/fill.h"
#include "ringing/part_end.h"

namespace quarnel::fill {
namespace {

using Clock = std::chrono::steady_clock;

struct Shared {
    explicit Shared(const FillProblem& problem) : p(problem) {}
    const FillProblem& p;
    int usesLimit = 0;
    int splitDepth = 0;
    std::uint64_t nodeLimit = 0;
    std::atomic<bool> abort{false};
    std::atomic<std::uint64_t> nodes{0};
    std::atomic<int> nextTask{0};
    std::atomic<std::uint64_t> version{0};
    std::atomic<long long> bestMusic{LLONG_MIN};
    std::mutex mutex;
    std::vector<int> bestFill;  // candidate per fill lead
    std::vector<int> bestMethods;
    bool haveBest = false;
    std::atomic<int> running{0};
    std::condition_variable finished;
};

class Worker {
public:
    explicit Worker(Shared& shared) : s_(shared), p_(shared.p) {
        const int n = p_.leadCount();
        dead_.assign(static_cast<std::size_t>(p_.candidateCount()), 0);
        alive_.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) alive_[static_cast<std::size_t>(i)] = p_.first(i + 1) - p_.first(i);
        assigned_.assign(static_cast<std::size_t>(n), -1);
        uses_.resize(p_.notations().size());
        for (std::size_t m = 0; m < uses_.size(); ++m) uses_[m] = p_.keptUses(static_cast<int>(m));
        frames_.resize(static_cast<std::size_t>(n) + 1);
        open_ = n;
        bestMethods_.assign(static_cast<std::size_t>(n), 0);
    }

    enum class Outcome { Done, Budget, Stopped };

    // The exact search, in slices of about budget nodes: Done when this
    // worker's share of the tree is searched.
    Outcome searchTree(std::uint64_t budget);
    // One neighbourhood move on the best fill: every lead but a few keeps its
    // method and the few are searched again, for about budget nodes.
    Outcome improve(std::uint64_t budget);
    // The live candidates of the most constrained open lead at the root.
    int rootChoices() {
        Frame f;
        return select(f, false) ? alive_[static_cast<std::size_t>(f.lead)] : 0;
    }

private:
    // Where a depth-first search stands, so that it can be resumed.
    struct Walk {
        int depth = -2;  // -2: not started; -1: finished
        int split = 0;   // the depth of the numbered pieces of work; 0: none
        int claimed = 0;
        int seen = 0;
        bool inTask = false;
    };
    Outcome walk(Walk& w, std::uint64_t budget);
    void unwind(Walk& w);

    struct Frame {
        int lead = -1;
        int pos = 0;
        int end = 0;
        int chosen = -1;
        long long restWithout = 0;
    };

    void kill(std::uint32_t e) {
        if (dead_[e]++ == 0) --alive_[static_cast<std::size_t>(p_.leadOf(static_cast<int>(e)))];
    }
    void revive(std::uint32_t e) {
        if (--dead_[e] == 0) ++alive_[static_cast<std::size_t>(p_.leadOf(static_cast<int>(e)))];
    }
    void assign(int c);
    void unassign(int c);
    bool select(Frame& f, bool bounded);
    void refreshBest();
    bool notBeforeBest(int extraLead, int extraCandidate) const;
    bool freeBlockers();
    void record();
    bool countNode();

public:
    void flush();

private:

    Shared& s_;
    const FillProblem& p_;
    std::vector<std::uint32_t> dead_;
    std::vector<int> alive_;
    std::vector<int> assigned_;
    std::vector<int> uses_;
    std::vector<Frame> frames_;
    long long music_ = 0;
    int open_ = 0;
    long long best_ = LLONG_MIN;
    bool haveBest_ = false;
    std::uint64_t seenVersion_ = ~0ull;
    std::vector<int> bestMethods_;
    std::uint64_t localNodes_ = 0;
    Walk tree_;
    // The neighbourhood moves: their random numbers, and how many leads a
    // move searches again (grown while moves end early without a gain).
    std::uint64_t random_ = 0x9E3779B97F4A7C15ull;
    int freeLeads_ = 4;
    std::vector<int> fill_;    // the fill the mover holds chosen
    std::vector<int> latest_;  // the best fill at the start of a move
    std::vector<char> free_;

    std::uint64_t nextRandom() {
        random_ ^= random_ << 13;
        random_ ^= random_ >> 7;
        random_ ^= random_ << 17;
        return random_;
    }

public:
    void seed(std::uint64_t v) { random_ ^= v * 0xBF58476D1CE4E5B9ull; }
};

void Worker::assign(int c) {
    const int lead = p_.leadOf(c);
    assigned_[static_cast<std::size_t>(lead)] = c;
    music_ += p_.music(c);
    --open_;
    const std::uint16_t* rows = p_.rows(c);
    for (int k = 0; k < p_.rowsPerCandidate(); ++k) {
        int count = 0;
        const std::uint32_t* list = p_.candidatesOfRow(rows[k], count);
        for (int j = 0; j < count; ++j) kill(list[j]);
    }
    if (s_.usesLimit > 0) {
        const int m = p_.method(c);
        if (++uses_[static_cast<std::size_t>(m)] == s_.usesLimit) {
            int count = 0;
            const std::uint32_t* list = p_.candidatesOfMethod(m, count);
            for (int j = 0; j < count; ++j) kill(list[j]);
        }
    }
}

void Worker::unassign(int c) {
    const int lead = p_.leadOf(c);
    if (s_.usesLimit > 0) {
        const int m = p_.method(c);
        if (uses_[static_cast<std::size_t>(m)]-- == s_.usesLimit) {
            int count = 0;
            const std::uint32_t* list = p_.candidatesOfMethod(m, count);
            for (int j = 0; j < count; ++j) revive(list[j]);
        }
    }
    const std::uint16_t* rows = p_.rows(c);
    for (int k = 0; k < p_.rowsPerCandidate(); ++k) {
        int count = 0;
        const std::uint32_t* list = p_.candidatesOfRow(rows[k], count);
        for (int j = 0; j < count; ++j) revive(list[j]);
    }
    ++open_;
    music_ -= p_.music(c);
    assigned_[static_cast<std::size_t>(lead)] = -1;
}

// Picks the open lead with the fewest live candidates (the first such in
// lead order) and bounds the node; false when the node is a dead end.
bool Worker::select(Frame& f, bool bounded) {
    const int n = p_.leadCount();
    int chosen = -1;
    int fewest = INT_MAX;
    int chosenFirst = 0;
    long long rest = 0;
    long long chosenBest = 0;
    for (int i = 0; i < n; ++i) {
        const auto u = static_cast<std::size_t>(i);
        if (assigned_[u] >= 0) continue;
        if (alive_[u] == 0) return false;
        int c = p_.first(i);
        while (dead_[static_cast<std::size_t>(c)] != 0) ++c;
        rest += p_.music(c);
        if (alive_[u] < fewest) {
            fewest = alive_[u];
            chosen = i;
            chosenFirst = c;
            chosenBest = p_.music(c);
        }
    }
    f.lead = chosen;
    f.pos = chosenFirst;
    f.end = p_.first(chosen + 1);
    f.chosen = -1;
    f.restWithout = rest - chosenBest;
    if (bounded) {
        refreshBest();
        const long long bound = music_ + rest;
        if (bound < best_) return false;
        if (haveBest_ && bound == best_ && notBeforeBest(-1, -1)) return false;
    }
    return true;
}

void Worker::refreshBest() {
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
bool Worker::notBeforeBest(int extraLead, int extraCandidate) const {
    const int n = p_.leadCount();
    for (int i = 0; i < n; ++i) {
        const int a = i == extraLead ? extraCandidate : assigned_[static_cast<std::size_t>(i)];
        if (a < 0) return false;
        const int m = p_.method(a);
        const int b = bestMethods_[static_cast<std::size_t>(i)];
        if (m != b) return m > b;
    }
    return true;
}

// Offers a complete fill (candidate per fill lead) of the given music as the
// best: taken when it has more music than the best, or as much and comes
// first in the tie-break order.
void offerFill(Shared& s, const std::vector<int>& fill, long long music) {
    const FillProblem& p = s.p;
    std::lock_guard lock(s.mutex);
    const long long best = s.bestMusic.load(std::memory_order_relaxed);
    if (s.haveBest && music < best) return;
    const int n = p.leadCount();
    if (s.haveBest && music == best) {
        bool before = false;
        for (int i = 0; i < n; ++i) {
            const int m = p.method(fill[static_cast<std::size_t>(i)]);
            const int b = s.bestMethods[static_cast<std::size_t>(i)];
            if (m != b) {
                before = m < b;
                break;
            }
        }
        if (!before) return;
    }
    s.bestFill = fill;
    s.bestMethods.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) s.bestMethods[static_cast<std::size_t>(i)] = p.method(fill[static_cast<std::size_t>(i)]);
    s.haveBest = true;
    s.bestMusic.store(music, std::memory_order_relaxed);
    s.version.fetch_add(1, std::memory_order_release);
}

void Worker::record() { offerFill(s_, assigned_, music_); }

// Counts a node; every 256 nodes (every node under a small node limit)
// hands the count on and looks at the limits. False when the search is to
// stop.
bool Worker::countNode() {
    const std::uint64_t batch = s_.nodeLimit != 0 && s_.nodeLimit < 65536 ? 1 : 256;
    if (++localNodes_ < batch) return true;
    const std::uint64_t total = s_.nodes.fetch_add(localNodes_, std::memory_order_relaxed) + localNodes_;
    localNodes_ = 0;
    if (s_.nodeLimit != 0 && total >= s_.nodeLimit) s_.abort.store(true, std::memory_order_relaxed);
    return !s_.abort.load(std::memory_order_relaxed);
}

void Worker::flush() {
    s_.nodes.fetch_add(localNodes_, std::memory_order_relaxed);
    localNodes_ = 0;
}

Worker::Outcome Worker::searchTree(std::uint64_t budget) {
    if (tree_.depth == -2) tree_.split = s_.splitDepth;
    return walk(tree_, budget);
}

Worker::Outcome Worker::walk(Walk& w, std::uint64_t budget) {
    const int split = w.split;
    if (w.depth == -2) {
        w.claimed = split > 0 ? s_.nextTask.fetch_add(1) : 0;
        w.depth = select(frames_[0], split == 0) ? 0 : -1;
    }
    std::uint64_t steps = 0;
    while (w.depth >= 0) {
        if (++steps > budget) return Outcome::Budget;
        Frame& f = frames_[static_cast<std::size_t>(w.depth)];
        if (f.chosen >= 0) {
            unassign(f.chosen);
            f.chosen = -1;
            if (w.inTask && w.depth == split - 1) {
                w.inTask = false;
                w.claimed = s_.nextTask.fetch_add(1);
            }
        }
        const bool bounded = w.depth >= split;
        int c = -1;
        while (f.pos < f.end) {
            const int x = f.pos++;
            if (dead_[static_cast<std::size_t>(x)] != 0) continue;
            if (bounded) {
                refreshBest();
                const long long bound = music_ + p_.music(x) + f.restWithout;
                if (bound < best_) {
                    f.pos = f.end;
                    break;
                }
                if (haveBest_ && bound == best_ && notBeforeBest(f.lead, x)) continue;
            }
            c = x;
            break;
        }
        if (c < 0) {
            --w.depth;
            continue;
        }
        if (!countNode()) return Outcome::Stopped;
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

void Worker::unwind(Walk& w) {
    for (; w.depth >= 0; --w.depth) {
        Frame& f = frames_[static_cast<std::size_t>(w.depth)];
        if (f.chosen >= 0) unassign(f.chosen);
        f.chosen = -1;
    }
    w.depth = -1;
}

// Sets free a lead of the mover's fill together with every lead whose
// method rings a row of one of the lead's better candidates (or, under a
// limit on uses, uses its method), so that the move can try that candidate.
// False when the lead chosen holds its best candidate already.
bool Worker::freeBlockers() {
    const int n = p_.leadCount();
    const int lead = static_cast<int>(nextRandom() % static_cast<std::uint64_t>(n));
    const int held = fill_[static_cast<std::size_t>(lead)];
    const int better = held - p_.first(lead);  // candidates before it: as much music or more
    if (better <= 0) return false;
    const int x = p_.first(lead) + static_cast<int>(nextRandom() % static_cast<std::uint64_t>(std::min(better, 8)));
    free_[static_cast<std::size_t>(lead)] = 1;
    const std::uint16_t* rows = p_.rows(x);
    for (int r = 0; r < p_.rowsPerCandidate(); ++r) {
        int count = 0;
        const std::uint32_t* list = p_.candidatesOfRow(rows[r], count);
        for (int j = 0; j < count; ++j) {
            const int e = static_cast<int>(list[j]);
            const int other = p_.leadOf(e);
            if (fill_[static_cast<std::size_t>(other)] == e) free_[static_cast<std::size_t>(other)] = 1;
        }
    }
    if (s_.usesLimit > 0)
        for (int i = 0; i < n; ++i)
            if (p_.method(fill_[static_cast<std::size_t>(i)]) == p_.method(x)) free_[static_cast<std::size_t>(i)] = 1;
    return true;
}

Worker::Outcome Worker::improve(std::uint64_t budget) {
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
        for (int i = 0; i < n; ++i) assign(fill_[static_cast<std::size_t>(i)]);
    } else {
        for (int i = 0; i < n; ++i)
            if (fill_[static_cast<std::size_t>(i)] != latest_[static_cast<std::size_t>(i)]) unassign(fill_[static_cast<std::size_t>(i)]);
        for (int i = 0; i < n; ++i)
            if (fill_[static_cast<std::size_t>(i)] != latest_[static_cast<std::size_t>(i)]) assign(latest_[static_cast<std::size_t>(i)]);
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
        const int from = static_cast<int>(nextRandom() % static_cast<std::uint64_t>(n));
        for (int j = 0; j < k; ++j) free_[static_cast<std::size_t>((from + j) % n)] = 1;
    } else {
        for (int chosen = 0; chosen < k;) {
            const auto j = static_cast<std::size_t>(nextRandom() % static_cast<std::uint64_t>(n));
            if (!free_[j]) {
                free_[j] = 1;
                ++chosen;
            }
        }
    }
    for (int i = 0; i < n; ++i)
        if (free_[static_cast<std::size_t>(i)]) unassign(fill_[static_cast<std::size_t>(i)]);
    Walk w;
    const long long before = s_.bestMusic.load(std::memory_order_relaxed);
    const Outcome outcome = walk(w, budget);
    if (outcome != Outcome::Stopped) {
        unwind(w);
        for (int i = 0; i < n; ++i)
            if (free_[static_cast<std::size_t>(i)]) assign(fill_[static_cast<std::size_t>(i)]);
    }
    const bool gained = s_.bestMusic.load(std::memory_order_relaxed) > before;
    // Search wider while moves end early without a gain, narrower while
    // they run out of nodes.
    if (outcome == Outcome::Done && !gained) ++freeLeads_;
    if (outcome == Outcome::Budget && freeLeads_ > 2) --freeLeads_;
    return outcome == Outcome::Stopped ? Outcome::Stopped : Outcome::Done;
}

// Hill climbing on a complete fill, far cheaper a move than a search: a
// lead takes one of its better candidates, the few leads whose methods ring
// one of its rows give theirs up and each takes its best candidate still
// free. A move is kept when the music grows, or now and then when it stays
// the same (to walk along a plateau); after a long run without a gain a few
// leads are shaken up, on this fill or on the best one. A flat table of the
// lead that rings each row makes a candidate's check thirty loads.
class Climber {
public:
    explicit Climber(Shared& shared) : s_(shared), p_(shared.p) {}
    void seed(std::uint64_t v) { random_ ^= v * 0x94D049BB133111EBull; }

    // About budget moves; false when the search is to stop.
    bool climb(int budget) {
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
            if ((k & 63) == 0 && s_.abort.load(std::memory_order_relaxed)) return false;
            if (move()) {
                sinceGain_ = 0;
                if (music_ > best_) {
                    best_ = music_;
                    offerFill(s_, fill_, music_);
                }
            } else {
                ++sinceGain_;
            }
        }
        return true;
    }
private:
    bool restart() {
        {
            std::lock_guard lock(s_.mutex);
            if (!s_.haveBest) return false;
            start_ = s_.bestFill;
            best_ = s_.bestMusic.load(std::memory_order_relaxed);
        }
        // The tables are made on the first climb: most searches end before.
        if (owner_.empty()) {
            owner_.assign(static_cast<std::size_t>(RowIndexCount), -1);
            uses_.assign(p_.notations().size(), 0);
        }
        for (std::size_t i = 0; i < fill_.size(); ++i)
            if (fill_[i] >= 0) take(static_cast<int>(i), fill_[i]);
        fill_.assign(start_.size(), -1);
        for (std::size_t m = 0; m < uses_.size(); ++m) uses_[m] = p_.keptUses(static_cast<int>(m));
        music_ = 0;
        for (std::size_t i = 0; i < start_.size(); ++i) put(static_cast<int>(i), start_[i]);
        sinceGain_ = 0;
        return true;
    }
    void put(int lead, int c) {
        fill_[static_cast<std::size_t>(lead)] = c;
        const std::uint16_t* rows = p_.rows(c);
        for (int r = 0; r < p_.rowsPerCandidate(); ++r) owner_[rows[r]] = lead;
        ++uses_[static_cast<std::size_t>(p_.method(c))];
        music_ += p_.music(c);
    }
    void take(int lead, int c) {
        const std::uint16_t* rows = p_.rows(c);
        for (int r = 0; r < p_.rowsPerCandidate(); ++r) owner_[rows[r]] = -1;
        --uses_[static_cast<std::size_t>(p_.method(c))];
        music_ -= p_.music(c);
        fill_[static_cast<std::size_t>(lead)] = -1;
    }
    bool fits(int c) const {
        if (s_.usesLimit > 0 && uses_[static_cast<std::size_t>(p_.method(c))] >= s_.usesLimit) return false;
        const std::uint16_t* rows = p_.rows(c);
        for (int r = 0; r < p_.rowsPerCandidate(); ++r)
            if (owner_[rows[r]] >= 0) return false;
        return true;
    }
    std::uint64_t nextRandom() {
        random_ ^= random_ << 13;
        random_ ^= random_ >> 7;
        random_ ^= random_ << 17;
        return random_;
    }

    bool move() {
        const int n = p_.leadCount();
        const int lead = static_cast<int>(nextRandom() % static_cast<std::uint64_t>(n));
        const int held = fill_[static_cast<std::size_t>(lead)];
        const int better = held - p_.first(lead);
        if (better <= 0) return false;
        const int x = p_.first(lead) + static_cast<int>(nextRandom() % static_cast<std::uint64_t>(std::min(better, 24)));
        // The leads in the way: those ringing a row of x (under a limit on
        // uses, x whose method is used up does not fit and the move fails).
        int blockers[MaxBlockers];
        int count = 0;
        auto block = [&](int other) {
            if (other == lead) return true;
            for (int j = 0; j < count; ++j)
                if (blockers[j] == other) return true;
            if (count == MaxBlockers) return false;
            blockers[count++] = other;
            return true;
        };
        const std::uint16_t* rows = p_.rows(x);
        for (int r = 0; r < p_.rowsPerCandidate(); ++r)
            if (const int other = owner_[rows[r]]; other >= 0 && !block(other)) return false;
        const long long before = music_;
        int old[MaxBlockers];
        for (int j = 0; j < count; ++j) {
            old[j] = fill_[static_cast<std::size_t>(blockers[j])];
            take(blockers[j], old[j]);
        }
        take(lead, held);
        bool placed = fits(x);
        if (placed) put(lead, x);
        int done = 0;
        for (; placed && done < count; ++done) {
            const int other = blockers[done];
            int c = p_.first(other);
            const int end = p_.first(other + 1);
            while (c < end && !fits(c)) ++c;
            if (c == end) {
                placed = false;
                break;
            }
            put(other, c);
        }
        const bool keep = placed && (music_ > before || (music_ == before && nextRandom() % 4 == 0));
        if (keep) return music_ > before;
        // Back as it was.
        for (int j = 0; j < done; ++j) take(blockers[j], fill_[static_cast<std::size_t>(blockers[j])]);
        if (fill_[static_cast<std::size_t>(lead)] >= 0) take(lead, x);
        put(lead, held);
        for (int j = 0; j < count; ++j) put(blockers[j], old[j]);
        return false;
    }

    // Frees a few leads and gives each a free candidate near its best, not
    // always the best; back to the best fill when one is left without.
    void kick() {
        const int n = p_.leadCount();
        int freed[MaxKick];
        int count = 0;
        const int k = 2 + static_cast<int>(nextRandom() % (MaxKick - 1));
        for (int j = 0; j < k; ++j) {
            const int lead = static_cast<int>(nextRandom() % static_cast<std::uint64_t>(n));
            if (fill_[static_cast<std::size_t>(lead)] < 0) continue;
            take(lead, fill_[static_cast<std::size_t>(lead)]);
            freed[count++] = lead;
        }
        for (int j = 0; j < count; ++j) {
            const int lead = freed[j];
            int skip = static_cast<int>(nextRandom() % 4);
            int chosen = -1;
            for (int c = p_.first(lead); c < p_.first(lead + 1); ++c) {
                if (!fits(c)) continue;
                chosen = c;
                if (skip-- == 0) break;
            }
            if (chosen < 0) {
                // Nothing fits this lead now: back to the best fill.
                restart();
                return;
            }
            put(lead, chosen);
        }
    }
    static constexpr int StuckAfter = 3000;
    static constexpr int MaxKick = 7;
    static constexpr int MaxBlockers = 4;
    Shared& s_;
    const FillProblem& p_;
    std::vector<int> owner_;
    std::vector<int> fill_;
    std::vector<int> start_;
    std::vector<int> uses_;
    long long music_ = 0;
    long long best_ = LLONG_MIN;
    int sinceGain_ = 0;
    std::uint64_t random_ = 0x2545F4914F6CDD1Dull;
};

}  // namespace

FillResult runFill(const FillProblem& problem, const FillOptions& options, const std::atomic<bool>& stop,
                   const std::function<void(const FillProgress&)>& progress) {
    const auto start = Clock::now();
    auto elapsed = [&start] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    FillResult result;
    if (problem.impossibleLead() != 0) {
        result.status = FillStatus::ImpossibleLead;
        result.impossibleLead = problem.impossibleLead();
        result.elapsedSeconds = elapsed();
        if (progress) progress(FillProgress{0, 0, false, 0, result.elapsedSeconds, true});
        return result;
    }
    if (problem.leadCount() == 0) {
        result.status = FillStatus::Optimal;
        result.music = problem.fixedMusic();
        result.elapsedSeconds = elapsed();
        if (progress) progress(FillProgress{0, 0, true, result.music, result.elapsedSeconds, true});
        return result;
    }

    Shared shared(problem);
    shared.usesLimit = usesLimitOf(options);
    shared.nodeLimit = options.nodeLimit;
    int threads = options.threads > 0 ? options.threads : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::max(1, threads);
    std::vector<Worker> workers;
    workers.reserve(static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t) workers.emplace_back(shared);
    // Enough numbered pieces of work that no worker waits long for another.
    if (threads > 1) shared.splitDepth = std::min(problem.leadCount(), workers[0].rootChoices() >= 16 * threads ? 1 : 2);

    std::vector<char> normal(static_cast<std::size_t>(threads), 0);
    std::vector<std::thread> pool;
    shared.running = threads;
    std::vector<Worker> movers;
    movers.reserve(static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        movers.emplace_back(shared);
        movers.back().seed(static_cast<std::uint64_t>(t) + 1);
    }
    std::vector<Climber> climbers;
    climbers.reserve(static_cast<std::size_t>(threads));
    for (int t = 0; t < threads; ++t) {
        climbers.emplace_back(shared);
        climbers.back().seed(static_cast<std::uint64_t>(t) + 1);
    }
    std::atomic<int> treesOpen{threads};
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            Worker& tree = workers[static_cast<std::size_t>(t)];
            Worker& mover = movers[static_cast<std::size_t>(t)];
            Climber& climber = climbers[static_cast<std::size_t>(t)];
            // The exact search in slices; once it has run a while without
            // finishing, each slice is followed by neighbourhood moves on the
            // best fill, which only ever raise the bound the tree prunes by.
            constexpr std::uint64_t Slice = 4000;
            constexpr std::uint64_t Move = 400;
            constexpr int Climb = 5000;
            // Between the tree's slices: a neighbourhood move searched
            // exactly, then a burst of the climber's cheap moves.
            auto betweenSlices = [&mover, &climber] {
                if (mover.improve(Move) == Worker::Outcome::Stopped) return false;
                return climber.climb(Climb);
            };
            bool ok = true;
            for (;;) {
                const double from = elapsed();
                const Worker::Outcome o = tree.searchTree(Slice);
                if (o == Worker::Outcome::Done) normal[static_cast<std::size_t>(t)] = 1;
                if (o == Worker::Outcome::Stopped) ok = false;
                if (o != Worker::Outcome::Budget) break;
                const double now = elapsed();
                if (now < 0.05) continue;
                // As long on moves as the slice of the tree took.
                const double until = now + (now - from);
                while (ok && elapsed() < until) ok = betweenSlices();
                if (!ok) break;
            }
            tree.flush();
            --treesOpen;
            // While another worker still searches its share of the tree.
            while (ok && treesOpen.load() > 0) ok = betweenSlices();
            mover.flush();
            std::lock_guard lock(shared.mutex);
            if (--shared.running == 0) shared.finished.notify_all();
        });

    auto snapshot = [&](bool complete) {
        FillProgress pr;
        pr.nodes = shared.nodes.load(std::memory_order_relaxed);
        pr.elapsedSeconds = elapsed();
        pr.nodesPerSecond = pr.elapsedSeconds > 0 ? static_cast<double>(pr.nodes) / pr.elapsedSeconds : 0;
        std::lock_guard lock(shared.mutex);
        pr.haveFill = shared.haveBest;
        pr.bestMusic = shared.haveBest ? problem.fixedMusic() + shared.bestMusic.load(std::memory_order_relaxed) : 0;
        pr.complete = complete;
        return pr;
    };
    auto lastProgress = Clock::now();
    {
        std::unique_lock lock(shared.mutex);
        while (shared.running > 0) {
            shared.finished.wait_for(lock, std::chrono::milliseconds(5));
            if (shared.running == 0) break;
            const bool timeUp = options.timeLimitSeconds > 0 && elapsed() >= options.timeLimitSeconds;
            if (stop.load(std::memory_order_relaxed) || timeUp) shared.abort.store(true, std::memory_order_relaxed);
            if (progress && Clock::now() - lastProgress >= std::chrono::milliseconds(100)) {
                lock.unlock();
                progress(snapshot(false));
                lastProgress = Clock::now();
                lock.lock();
            }
        }
    }
    for (auto& t : pool) t.join();

    const bool complete = std::all_of(normal.begin(), normal.end(), [](char v) { return v != 0; });
    result.nodes = shared.nodes.load();
    result.elapsedSeconds = elapsed();
    if (shared.haveBest) {
        result.music = problem.fixedMusic() + shared.bestMusic.load();
        for (int i = 0; i < problem.leadCount(); ++i) {
            const int c = shared.bestFill[static_cast<std::size_t>(i)];
            result.methods.emplace_back(problem.leads()[static_cast<std::size_t>(i)],
                                        problem.notations()[static_cast<std::size_t>(problem.method(c))]);
        }
        result.status = complete ? FillStatus::Optimal : FillStatus::LimitReached;
    } else {
        result.status = complete ? FillStatus::NoTrueFill : FillStatus::NoFillWithinLimits;
    }
    if (progress) progress(snapshot(complete));
    return result;
}

}  // namespace quarnel::fill
