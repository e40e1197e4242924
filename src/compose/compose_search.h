#pragma once
// The search of a Compose, shared by its workers: depth first from rounds,
// one lead a level, each level's children (a method and a call) ordered by
// the most they can still bring (the lead's music, the call's weight and
// the best the leads after it can add while coming round at the part end),
// so that the first compositions found are musical ones and a level is left
// at the first child whose bound cannot beat the compositions kept.
//
// The tree is cut into tasks at a shallow depth (the first leads of a part,
// for each part end), and the tasks are run in turns by every worker, each
// turn for twice the nodes of the last: no one subtree holds the search
// up, yet every task runs to its end in time, so a run to the end is
// complete. A task keeps only the child taken at each level; the children
// of a level depend only on the leads above it (never on the compositions
// kept, which cut the list only while it is walked), so a task replays its
// path exactly when its turn comes again.
#include <atomic>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "compose/compose_problem.h"
#include "search/search_limits.h"

namespace quarnel::compose {

// One lead of a composition as the search chose it.
struct Choice {
    std::uint16_t method = 0;
    Call call = Call::Plain;
    friend bool operator==(const Choice&, const Choice&) = default;
};

// A composition as a search found it: its part end (index into the
// problem's) and its leads, with the figures it was ranked by.
struct RawComposition {
    int partEnd = 0;
    std::vector<Choice> leads;
    // Kept one per calling only: its calling as a composer reads it, the
    // positions of the calls course by course ("MW,H,sBH,").
    std::string calling;
    long long score = 0;
    long long music = 0;
    std::uint64_t serial = 0;  // in the order offered
};

// The best compositions found so far, shared by the workers: at most
// capacity of them, best first (score, then music, then the first found),
// and with onePerCalling at most one of each calling (a later one of a
// calling kept replaces it only when it ranks before it). Once full, the
// worst kept score is the threshold the searchers prune by: a composition
// that does not beat it could neither join the list nor replace one of its
// own calling.
class BestList {
public:
    explicit BestList(int capacity, bool onePerCalling = false)
        : capacity_(static_cast<std::size_t>(capacity)), onePerCalling_(onePerCalling) {}

    // The score a composition must beat to be kept (LLONG_MIN until full).
    long long threshold() const { return threshold_.load(std::memory_order_relaxed); }
    // Keeps the composition if it is among the best; counts it as found.
    void offer(RawComposition composition);
    std::vector<RawComposition> snapshot() const;
    std::uint64_t found() const { return found_.load(std::memory_order_relaxed); }
    bool onePerCalling() const { return onePerCalling_; }
    // Takes a composition out (it did not prove): the list is no longer
    // full, so the threshold falls back.
    void reject(std::uint64_t serial);

private:
    mutable std::mutex mutex_;
    std::size_t capacity_;
    bool onePerCalling_;
    std::vector<RawComposition> kept_;
    std::uint64_t next_ = 0;
    std::atomic<long long> threshold_{LLONG_MIN};
    std::atomic<std::uint64_t> found_{0};
};

// A subtree of the search: below a prefix of the leads of one part end.
struct Task {
    int partEnd = 0;
    int prefix = 0;  // the levels of the prefix: the task never backs above them
    // The child taken at each level from the root, and the next child to try
    // at the level below the last.
    std::vector<std::uint16_t> taken;
    std::uint16_t resume = 0;
    std::uint64_t budget = 0;  // nodes of its next turn
};

// The tasks waiting for a turn, first come first served.
class Scheduler {
public:
    explicit Scheduler(std::vector<Task> tasks);
    // The next task, waiting while others are out and may come back; none
    // when all are done or the search stopped.
    std::optional<Task> take(const search::SearchControl& control);
    // A task back after its turn: to the end of the line, or done.
    void give(std::optional<Task> task);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Task> waiting_;
    int out_ = 0;
};

// One worker's search state: the rows in use, the leads chosen and each
// level's children. Allocates only when made.
class Searcher {
public:
    Searcher(const ComposeProblem& problem, BestList& best);

    // Runs a turn of the task: false when its subtree is done, true when the
    // budget ran out first (the task then holds where to go on) or the
    // search stopped.
    bool run(Task& task, search::NodeCounter& counter);

    // The tasks at the shallowest depth (at most maxDepth, below the least
    // length) that has at least wanted of them over all part ends,
    // interleaved part end by part end.
    static std::vector<Task> split(const ComposeProblem& problem, BestList& best, int wanted, int maxDepth);

private:
    struct Child {
        std::int32_t priority;  // the lead's music and call weight and the best after it
        std::uint16_t method;
        Call call;
        std::int16_t next;
    };

    void reset(int partEnd);
    void expand(int d);
    void apply(int d, const Child& c);
    void undo(int d);
    void complete(int d, const Child& c);
    long long comBonus(int d) const;
    void replay(const Task& task);
    void unwind();

    const ComposeProblem& p_;
    BestList& best_;
    const PartEndTables* t_ = nullptr;
    int partEnd_ = 0;
    int methods_ = 0;
    int heads_ = 0;
    std::size_t width_ = 0;  // the most children of a level
    std::vector<std::uint64_t> used_;  // a bit a key
    std::vector<Child> children_;      // width_ a level
    std::vector<int> count_;           // children of each level
    std::vector<int> pos_;             // next child of each level
    std::vector<int> head_;            // lead head of each level
    std::vector<Choice> chosen_;       // lead of each level
    std::vector<long long> score_;     // objective so far (music, call weights) at each level
    std::vector<long long> music_;
    std::vector<int> methodLeads_;     // leads of each method so far
    int methodsUsed_ = 0;
    int deficit_ = 0;  // leads still owed to the least shares
    int depth_ = 0;
    int changes_ = 0;  // changes of method within the part
    std::vector<std::uint64_t> work_;  // scratch of complete(): each method's pieces
};

}  // namespace quarnel::compose
