#include "compose/compose_search.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

#include "composition/calling.h"

namespace quarnel::compose {
namespace {

bool ranksBefore(const RawComposition& a, const RawComposition& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.music != b.music) return a.music > b.music;
    return a.serial < b.serial;
}

// The first turn of a task, in nodes; each turn after is twice the last,
// up to the most.
constexpr std::uint64_t FirstTurn = 4096;
constexpr std::uint64_t LongestTurn = std::uint64_t{1} << 22;

constexpr int AllPieces = 49;

}  // namespace

namespace {

// The same part end and the same calling positions course by course,
// whatever the methods (which may put the calls at other leads).
bool sameCalling(const RawComposition& a, const RawComposition& b) { return a.partEnd == b.partEnd && a.calling == b.calling; }

// The positions of the calls, course by course: each call's position (a
// single's after "s") by the tenor's place in the lead head after it, and
// "," at each lead head with the tenor home.
std::string callingKey(const ComposeProblem& p, const std::vector<Choice>& leads) {
    std::string key;
    int head = p.rounds();
    for (const Choice& lead : leads) {
        head = p.next(head, lead.method, lead.call);
        const Row& next = p.leadHead(head);
        if (lead.call != Call::Plain) {
            if (lead.call == Call::Single) key += 's';
            key += callingPosition(lead.call, next.placeOfBell(7) + 1);
        }
        if (tenorHome(next)) key += ',';
    }
    return key;
}

}  // namespace

void BestList::offer(RawComposition c) {
    found_.fetch_add(1, std::memory_order_relaxed);
    std::lock_guard lock(mutex_);
    if (kept_.size() >= capacity_ && c.score <= threshold_.load(std::memory_order_relaxed)) return;
    c.serial = next_++;
    if (onePerCalling_) {
        const auto same = std::find_if(kept_.begin(), kept_.end(), [&c](const RawComposition& k) { return sameCalling(k, c); });
        if (same != kept_.end()) {
            if (!ranksBefore(c, *same)) return;
            kept_.erase(same);
        }
    }
    kept_.insert(std::upper_bound(kept_.begin(), kept_.end(), c, ranksBefore), std::move(c));
    if (kept_.size() > capacity_) kept_.pop_back();
    if (kept_.size() >= capacity_) threshold_.store(kept_.back().score, std::memory_order_relaxed);
}

std::vector<RawComposition> BestList::snapshot() const {
    std::lock_guard lock(mutex_);
    return kept_;
}

void BestList::reject(std::uint64_t serial) {
    std::lock_guard lock(mutex_);
    std::erase_if(kept_, [serial](const RawComposition& c) { return c.serial == serial; });
    if (kept_.size() < capacity_) threshold_.store(LLONG_MIN, std::memory_order_relaxed);
}

Scheduler::Scheduler(std::vector<Task> tasks) : waiting_(tasks.begin(), tasks.end()) {}

std::optional<Task> Scheduler::take(const search::SearchControl& control) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (control.stopped()) return std::nullopt;
        if (!waiting_.empty()) {
            Task t = std::move(waiting_.front());
            waiting_.pop_front();
            ++out_;
            return t;
        }
        if (out_ == 0) return std::nullopt;
        changed_.wait_for(lock, std::chrono::milliseconds(5));
    }
}

void Scheduler::give(std::optional<Task> task) {
    {
        std::lock_guard lock(mutex_);
        --out_;
        if (task) waiting_.push_back(std::move(*task));
    }
    changed_.notify_all();
}

Searcher::Searcher(const ComposeProblem& problem, BestList& best)
    : p_(problem), best_(best), methods_(problem.methodCount()), heads_(problem.leadHeadCount()) {
    width_ = static_cast<std::size_t>(methods_) * problem.calls().size();
    const auto levels = static_cast<std::size_t>(problem.maxLeads() + 1);
    used_.assign((RowIndexCount + 63) / 64, 0);
    children_.resize(levels * width_);
    count_.assign(levels, 0);
    pos_.assign(levels, 0);
    head_.assign(levels, 0);
    chosen_.assign(levels, {});
    score_.assign(levels + 1, 0);
    music_.assign(levels + 1, 0);
    methodLeads_.assign(static_cast<std::size_t>(methods_), 0);
    work_.assign(static_cast<std::size_t>(methods_), 0);
}

void Searcher::reset(int partEnd) {
    partEnd_ = partEnd;
    t_ = &p_.partEnd(partEnd);
    depth_ = 0;
    head_[0] = p_.rounds();
    score_[0] = 0;
    music_[0] = 0;
    changes_ = 0;
    methodsUsed_ = 0;
    const LeadConstraints& k = p_.constraints();
    deficit_ = k.minMethods * std::max(1, k.minEach);
    expand(0);
}

long long Searcher::comBonus(int d) const {
    const LeadConstraints& k = p_.constraints();
    if (k.comWeight == 0) return 0;
    const long long parts = p_.parts();
    if (k.comWeight < 0) return k.comWeight * changes_ * parts;
    return k.comWeight * ((changes_ + (p_.maxLeads() - d)) * parts + parts - 1);
}

// The children of level d: every method the constraints allow there whose
// lead is true against the leads above, with each call that leaves the part
// able to come round within the length.
void Searcher::expand(int d) {
    const LeadConstraints& k = p_.constraints();
    const int h = head_[static_cast<std::size_t>(d)];
    const int parts = p_.parts();
    const int left = p_.maxLeads() - (d + 1);  // leads that may follow this one
    Child* out = &children_[static_cast<std::size_t>(d) * width_];
    int n = 0;
    const Choice* before = d > 0 ? &chosen_[static_cast<std::size_t>(d - 1)] : nullptr;
    for (int m = 0; m < methods_; ++m) {
        if (before && p_.splice() == Splice::AtCalls && before->call == Call::Plain && before->method != m) continue;
        const std::size_t node = static_cast<std::size_t>(h) * static_cast<std::size_t>(methods_) + static_cast<std::size_t>(m);
        const std::int32_t music = t_->music[node];
        if (music == Unreachable) continue;
        const int leads = methodLeads_[static_cast<std::size_t>(m)];
        if (k.maxEach > 0 && leads >= k.maxEach) continue;
        const bool isNew = leads == 0;
        if (isNew && methodsUsed_ >= k.maxMethods) continue;
        const int owed = deficit_ + (isNew ? std::max(0, k.minEach - 1) - (methodsUsed_ < k.minMethods ? std::max(1, k.minEach) : 0)
                                           : (leads < k.minEach ? -1 : 0));
        if (owed > left) continue;
        const int changes = changes_ + (before && before->method != m ? 1 : 0);
        if (static_cast<long long>(changes) * parts > k.maxCom) continue;
        if (k.minCom > 0 && static_cast<long long>(changes + left) * parts + parts - 1 < k.minCom) continue;
        const std::uint16_t* keys = &t_->keys[node * LeadRows];
        bool isTrue = true;
        for (int i = 0; i < LeadRows && isTrue; ++i) isTrue = ((used_[keys[i] >> 6] >> (keys[i] & 63)) & 1) == 0;
        if (!isTrue) continue;
        for (const Call c : p_.calls()) {
            const int next = p_.next(h, m, c);
            if (next == NoLeadHead) continue;
            std::int32_t after;
            if (next == t_->target) {
                // The part comes round: only within the length.
                if (d + 1 < p_.minLeads()) continue;
                after = 0;
            } else {
                after = t_->best[static_cast<std::size_t>(d + 1) * static_cast<std::size_t>(heads_) + static_cast<std::size_t>(next)];
                if (after == Unreachable) continue;
            }
            out[n++] = Child{static_cast<std::int32_t>(music + p_.callWeight(c) + after), static_cast<std::uint16_t>(m), c,
                             static_cast<std::int16_t>(next)};
        }
    }
    // Most promising first; at equal promise, method and call order.
    std::stable_sort(out, out + n, [](const Child& a, const Child& b) { return a.priority > b.priority; });
    count_[static_cast<std::size_t>(d)] = n;
    pos_[static_cast<std::size_t>(d)] = 0;
}

void Searcher::apply(int d, const Child& c) {
    const LeadConstraints& k = p_.constraints();
    const auto at = static_cast<std::size_t>(d);
    const int h = head_[at];
    const std::size_t node = static_cast<std::size_t>(h) * static_cast<std::size_t>(methods_) + c.method;
    const std::uint16_t* keys = &t_->keys[node * LeadRows];
    for (int i = 0; i < LeadRows; ++i) used_[keys[i] >> 6] |= std::uint64_t{1} << (keys[i] & 63);
    int& leads = methodLeads_[c.method];
    if (leads == 0) {
        deficit_ += std::max(0, k.minEach - 1) - (methodsUsed_ < k.minMethods ? std::max(1, k.minEach) : 0);
        ++methodsUsed_;
    } else if (leads < k.minEach) {
        --deficit_;
    }
    ++leads;
    if (d > 0 && chosen_[at - 1].method != c.method) ++changes_;
    chosen_[at] = Choice{c.method, c.call};
    music_[at + 1] = music_[at] + t_->music[node];
    score_[at + 1] = score_[at] + t_->music[node] + p_.callWeight(c.call);
    head_[at + 1] = c.next;
}

void Searcher::undo(int d) {
    const LeadConstraints& k = p_.constraints();
    const auto at = static_cast<std::size_t>(d);
    const Choice c = chosen_[at];
    const std::size_t node = static_cast<std::size_t>(head_[at]) * static_cast<std::size_t>(methods_) + c.method;
    const std::uint16_t* keys = &t_->keys[node * LeadRows];
    for (int i = 0; i < LeadRows; ++i) used_[keys[i] >> 6] &= ~(std::uint64_t{1} << (keys[i] & 63));
    int& leads = methodLeads_[c.method];
    --leads;
    if (leads == 0) {
        --methodsUsed_;
        deficit_ -= std::max(0, k.minEach - 1) - (methodsUsed_ < k.minMethods ? std::max(1, k.minEach) : 0);
    } else if (leads < k.minEach) {
        ++deficit_;
    }
    if (d > 0 && chosen_[at - 1].method != c.method) --changes_;
}

// The child brings the part round after lead d + 1: the whole composition
// is checked against every constraint and offered with its objective.
void Searcher::complete(int d, const Child& c) {
    const LeadConstraints& k = p_.constraints();
    apply(d, c);
    const int leads = d + 1;
    const int parts = p_.parts();
    bool keeps = methodsUsed_ >= k.minMethods && methodsUsed_ <= k.maxMethods;
    long long com = 0;
    const Choice first = chosen_[0];
    const Choice last = chosen_[static_cast<std::size_t>(d)];
    if (keeps) {
        com = static_cast<long long>(changes_) * parts + (first.method != last.method ? parts - 1 : 0);
        keeps = com >= k.minCom && com <= k.maxCom;
        // The join into the next part is a lead end like the others.
        if (parts > 1 && p_.splice() == Splice::AtCalls && last.call == Call::Plain && first.method != last.method) keeps = false;
    }
    for (int m = 0; m < methods_ && keeps; ++m) {
        const int l = methodLeads_[static_cast<std::size_t>(m)];
        if (l == 0) continue;
        if (l < k.minEach || (k.maxEach > 0 && l > k.maxEach)) keeps = false;
        if (k.balancePercent >= 0 &&
            100LL * std::llabs(static_cast<long long>(methodsUsed_) * l - leads) > static_cast<long long>(k.balancePercent) * leads)
            keeps = false;
    }
    long long score = score_[static_cast<std::size_t>(leads)] + k.comWeight * com;
    if (keeps && (k.allTheWork || k.atwWeight != 0)) {
        std::fill(work_.begin(), work_.end(), 0);
        for (int i = 0; i < leads; ++i)
            work_[chosen_[static_cast<std::size_t>(i)].method] |= t_->work[static_cast<std::size_t>(head_[static_cast<std::size_t>(i)])];
        for (int m = 0; m < methods_ && keeps; ++m) {
            if (methodLeads_[static_cast<std::size_t>(m)] == 0) continue;
            const int missing = AllPieces - std::popcount(work_[static_cast<std::size_t>(m)]);
            if (missing > 0 && k.allTheWork) keeps = false;
            score -= k.atwWeight * missing;
        }
    }
    if (keeps) {
        RawComposition r;
        r.partEnd = partEnd_;
        r.leads.assign(chosen_.begin(), chosen_.begin() + leads);
        if (best_.onePerCalling()) r.calling = callingKey(p_, r.leads);
        r.score = score;
        r.music = music_[static_cast<std::size_t>(leads)];
        best_.offer(std::move(r));
    }
    undo(d);
}

void Searcher::replay(const Task& task) {
    reset(task.partEnd);
    for (std::size_t d = 0; d < task.taken.size(); ++d) {
        const Child c = children_[d * width_ + task.taken[d]];
        pos_[d] = task.taken[d] + 1;
        apply(static_cast<int>(d), c);
        depth_ = static_cast<int>(d) + 1;
        expand(depth_);
    }
    pos_[static_cast<std::size_t>(depth_)] = task.resume;
}

void Searcher::unwind() {
    while (depth_ > 0) undo(--depth_);
}

bool Searcher::run(Task& task, search::NodeCounter& counter) {
    replay(task);
    std::uint64_t budget = task.budget;
    bool more = true;
    for (;;) {
        const auto at = static_cast<std::size_t>(depth_);
        if (pos_[at] >= count_[at]) {
            if (depth_ <= task.prefix) {
                more = false;
                break;
            }
            undo(--depth_);
            continue;
        }
        if (budget == 0) break;
        --budget;
        if (!counter.count()) break;
        const Child c = children_[at * width_ + static_cast<std::size_t>(pos_[at]++)];
        const long long threshold = best_.threshold();
        if (threshold != LLONG_MIN && score_[at] + c.priority + comBonus(depth_) <= threshold) {
            // The rest of the level promises no more.
            pos_[at] = count_[at];
            continue;
        }
        if (c.next == t_->target) {
            complete(depth_, c);
            continue;
        }
        apply(depth_, c);
        ++depth_;
        expand(depth_);
    }
    if (more) {
        task.taken.resize(static_cast<std::size_t>(depth_));
        for (int d = 0; d < depth_; ++d) task.taken[static_cast<std::size_t>(d)] = static_cast<std::uint16_t>(pos_[static_cast<std::size_t>(d)] - 1);
        task.resume = static_cast<std::uint16_t>(pos_[static_cast<std::size_t>(depth_)]);
        task.budget = std::min(LongestTurn, task.budget * 2);
    }
    unwind();
    return more;
}

std::vector<Task> Searcher::split(const ComposeProblem& problem, BestList& best, int wanted, int maxDepth) {
    Searcher s(problem, best);
    const int deepest = std::max(0, std::min(maxDepth, problem.minLeads() - 1));
    // The prefixes of each part end at one depth, in the order the search
    // would meet them.
    const auto prefixes = [&s](int partEnd, int depth) {
        std::vector<std::vector<std::uint16_t>> found;
        s.reset(partEnd);
        std::vector<std::uint16_t> path;
        if (depth == 0) return std::vector<std::vector<std::uint16_t>>{path};
        for (;;) {
            const auto at = static_cast<std::size_t>(s.depth_);
            if (s.pos_[at] >= s.count_[at]) {
                if (s.depth_ == 0) break;
                s.undo(--s.depth_);
                path.pop_back();
                continue;
            }
            const Child c = s.children_[at * s.width_ + static_cast<std::size_t>(s.pos_[at]++)];
            if (c.next == s.t_->target) continue;  // not below the least length
            path.push_back(static_cast<std::uint16_t>(s.pos_[at] - 1));
            if (s.depth_ + 1 == depth) {
                found.push_back(path);
                path.pop_back();
                continue;
            }
            s.apply(s.depth_, c);
            ++s.depth_;
            s.expand(s.depth_);
        }
        return found;
    };
    std::vector<std::vector<std::vector<std::uint16_t>>> byPartEnd;
    int depth = 0;
    for (;;) {
        byPartEnd.clear();
        std::size_t total = 0;
        for (int p = 0; p < problem.partEndCount(); ++p) {
            byPartEnd.push_back(prefixes(p, depth));
            total += byPartEnd.back().size();
        }
        if (total >= static_cast<std::size_t>(wanted) || depth >= deepest) break;
        ++depth;
    }
    std::vector<Task> tasks;
    for (std::size_t i = 0;; ++i) {
        bool any = false;
        for (std::size_t p = 0; p < byPartEnd.size(); ++p) {
            if (i >= byPartEnd[p].size()) continue;
            any = true;
            Task t;
            t.partEnd = static_cast<int>(p);
            t.prefix = depth;
            t.taken = byPartEnd[p][i];
            t.budget = FirstTurn;
            tasks.push_back(std::move(t));
        }
        if (!any) break;
    }
    return tasks;
}

}  // namespace quarnel::compose
