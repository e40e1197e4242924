#include "fill/fill_constraints.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <map>
#include <string>

#include "composition/composition.h"
#include "composition/plan.h"
#include "fill/fill_problem.h"
#include "ringing/model_error.h"

namespace quarnel::fill {
namespace {

long long ceilDiv(long long a, long long b) { return a <= 0 ? 0 : (a + b - 1) / b; }

// The most different methods the changes of method allow: k methods around
// the cycle of leads make at least k changes, one of them at most the
// part-end join, so (k - 1) × parts + parts - 1 changes.
int methodsWithin(long long maxCom, int parts) {
    if (maxCom == LLONG_MAX) return INT_MAX;
    if (maxCom < 2LL * parts - 1) return 1;
    return static_cast<int>(std::min<long long>(INT_MAX, (maxCom - parts + 1) / parts + 1));
}

[[noreturn]] void refuse(const std::string& why) { throw ModelError("No fill of this plan can keep the constraints: " + why); }

}  // namespace

PlanConstraints planConstraints(const Composition& composition, const search::Constraints& c,
                                std::vector<int> leadToFill, std::vector<int> keptMethod) {
    PlanConstraints k;
    k.active = c.shapeTheSearch();
    k.parts = std::max(1, composition.partCount());
    k.leads = static_cast<int>(composition.leadCount());
    const int n = k.leads;
    const long long perLead = static_cast<long long>(composition.leadLength()) * k.parts;
    const long long total = perLead * n;
    const std::string leadsText = std::to_string(n) + (n == 1 ? " lead" : " leads") + " of " +
                                  std::to_string(perLead) + " changes";
    k.openIndex = std::move(leadToFill);
    k.keptMethod = std::move(keptMethod);
    k.joinWeight.assign(static_cast<std::size_t>(n), k.parts);
    if (n > 0) k.joinWeight.back() = k.parts - 1;
    const Plan plan = composition.plan();
    // The calls' weights: every call of the plan, in every part.
    for (const auto& lead : plan.leads()) {
        if (lead.call == Call::Bob) k.callScore += c.bobWeight * k.parts;
        if (lead.call == Call::Single) k.callScore += c.singleWeight * k.parts;
    }
    // The pieces of work each lead head starts over all parts; and, for each
    // lead-head code, all the leads of that code start.
    k.work.assign(static_cast<std::size_t>(n), 0);
    std::map<char, std::uint64_t> workOfCode;
    for (int i = 1; i <= n; ++i) {
        Row head = composition.leadAt(i)->leadHead();
        std::uint64_t w = 0;
        for (int part = 0; part < k.parts; ++part) {
            for (int place = 1; place < BellCount; ++place) w |= std::uint64_t{1} << (7 * (head[place] - 1) + place - 1);
            head = composition.partEnd().onePartOn(head);
        }
        k.work[static_cast<std::size_t>(i - 1)] = w;
        workOfCode[plan.leads()[static_cast<std::size_t>(i - 1)].code.letter()] |= w;
    }

    if (c.minEach) {
        if (*c.minEach > total)
            refuse("at least " + std::to_string(*c.minEach) + " changes of each method, but the composition has only " +
                   std::to_string(total));
        k.minLeads = static_cast<int>(ceilDiv(*c.minEach, perLead));
    }
    if (c.maxEach) {
        k.maxLeads = static_cast<int>(std::min<long long>(n, *c.maxEach / perLead));
        if (k.maxLeads == 0)
            refuse("at most " + std::to_string(*c.maxEach) + " changes of each method is less than one lead (" +
                   std::to_string(perLead) + " changes)");
    }
    k.allTheWork = c.allTheWork;
    k.atwWeight = c.atwWeight;
    if (c.allTheWork) {
        // A lead starts 7 pieces of work a part: all 49 need 7 leads over all parts.
        k.minLeads = std::max(k.minLeads, static_cast<int>(ceilDiv(7, k.parts)));
        bool any = false;
        for (const auto& [code, w] : workOfCode) any = any || w == AllTheWork;
        if (!any)
            refuse("no fill can ring all the work: no lead-head code of the plan starts every bell in every place "
                   "in its leads over all parts");
    }
    if (k.maxLeads > 0 && k.minLeads > k.maxLeads)
        refuse("each method needs at least " + std::to_string(k.minLeads) + " leads but may have at most " +
               std::to_string(k.maxLeads) + " (" + leadsText + ")");
    if (k.minLeads > n) refuse("each method needs " + std::to_string(k.minLeads) + " leads, but the composition has " + leadsText);
    k.minMethods = c.minMethods.value_or(0);
    k.maxMethods = c.maxMethods.value_or(INT_MAX);
    if (static_cast<long long>(k.minMethods) * std::max(1, k.minLeads) > n)
        refuse("at least " + std::to_string(k.minMethods) + " methods of at least " + std::to_string(std::max(1, k.minLeads)) +
               " leads each, but the composition has " + leadsText);
    if (k.maxLeads > 0 && c.maxMethods && static_cast<long long>(k.maxLeads) * k.maxMethods < n)
        refuse("at most " + std::to_string(k.maxMethods) + " methods of at most " + std::to_string(k.maxLeads) +
               " leads each cannot ring " + leadsText);
    k.minCom = c.minChangesOfMethod.value_or(0);
    k.maxCom = c.maxChangesOfMethod.value_or(LLONG_MAX);
    k.comWeight = c.comWeight;
    const long long mostCom = n > 1 ? static_cast<long long>(n - 1) * k.parts + k.parts - 1 : 0;
    if (k.minCom > mostCom)
        refuse("at least " + std::to_string(k.minCom) + " changes of method, but " + leadsText + " in " +
               std::to_string(k.parts) + " parts have at most " + std::to_string(mostCom));
    if (k.minMethods >= 2 && methodsWithin(k.maxCom, k.parts) < k.minMethods)
        refuse("at least " + std::to_string(k.minMethods) + " methods need at least " +
               std::to_string(static_cast<long long>(k.minMethods - 1) * k.parts + k.parts - 1) +
               " changes of method, but at most " + std::to_string(k.maxCom) + " are allowed");
    if (c.balancePercent) {
        k.balancePercent = *c.balancePercent;
        // Some number of methods whose shares, within the balance and the
        // limits on each, can add up to the leads.
        const int most = std::min({k.maxMethods, n, methodsWithin(k.maxCom, k.parts)});
        bool can = false;
        for (int m = std::max(1, k.minMethods); m <= most && !can; ++m) {
            const long long lo = std::max<long long>(k.minLeads, ceilDiv(static_cast<long long>(n) * (100 - k.balancePercent), 100LL * m));
            long long hi = static_cast<long long>(n) * (100 + k.balancePercent) / (100LL * m);
            if (k.maxLeads > 0) hi = std::min<long long>(hi, k.maxLeads);
            can = lo <= hi && lo * m <= n && n <= hi * m;
        }
        if (!can)
            refuse("no number of methods the other constraints allow can share " + leadsText + " within " +
                   std::to_string(k.balancePercent) + "% of the mean");
    }
    return k;
}

ConstraintTracker::ConstraintTracker(const FillProblem& problem) : p_(&problem), k_(&problem.constraints()) {
    const std::size_t methods = problem.notations().size();
    leadsOf_.assign(methods, 0);
    usedAt_.assign(methods, -1);
    work_.assign(methods, 0);
    methodAt_.assign(static_cast<std::size_t>(k_->leads), -1);
    for (std::size_t i = 0; i < methodAt_.size(); ++i)
        if (k_->openIndex[i] < 0 && k_->keptMethod[i] >= 0) {
            methodAt_[i] = k_->keptMethod[i];
            countUse(methodAt_[i], 1);
        }
}

void ConstraintTracker::countUse(int method, int by) {
    const auto m = static_cast<std::size_t>(method);
    leadsOf_[m] += by;
    if (by > 0 && leadsOf_[m] == 1) {
        usedAt_[m] = static_cast<int>(used_.size());
        used_.push_back(method);
    } else if (by < 0 && leadsOf_[m] == 0) {
        const int at = usedAt_[m];
        used_[static_cast<std::size_t>(at)] = used_.back();
        usedAt_[static_cast<std::size_t>(used_.back())] = at;
        used_.pop_back();
        usedAt_[m] = -1;
    }
}

void ConstraintTracker::add(CandidateIndex c) {
    const int m = p_->method(c).value();
    methodAt_[static_cast<std::size_t>(p_->leadNumber(p_->leadOf(c)) - 1)] = m;
    countUse(m, 1);
}

void ConstraintTracker::remove(CandidateIndex c) {
    const int m = p_->method(c).value();
    methodAt_[static_cast<std::size_t>(p_->leadNumber(p_->leadOf(c)) - 1)] = -1;
    countUse(m, -1);
}

bool ConstraintTracker::feasible(int open) {
    const PlanConstraints& k = *k_;
    const int n = k.leads;
    const int usedCount = static_cast<int>(used_.size());
    bonus_ = 0;
    if (usedCount > k.maxMethods) return false;
    // The changes of method: at least one in every gap between two chosen
    // leads of different methods (the cheapest pair of the gap), at most one
    // at every pair with an open lead.
    if (k.maxCom != LLONG_MAX || k.minCom > 0 || k.comWeight != 0) {
        long long least = 0, most = 0;
        int first = -1, previous = -1;
        for (int i = 0; i < n; ++i) {
            const int m = methodAt_[static_cast<std::size_t>(i)];
            const int next = methodAt_[static_cast<std::size_t>(i + 1 < n ? i + 1 : 0)];
            if (m < 0 || next < 0 || m != next) most += k.joinWeight[static_cast<std::size_t>(i)];
            if (m < 0) continue;
            if (previous >= 0 && methodAt_[static_cast<std::size_t>(previous)] != m) least += k.parts;
            if (first < 0) first = i;
            previous = i;
        }
        if (n > 1 && first >= 0 && methodAt_[static_cast<std::size_t>(previous)] != methodAt_[static_cast<std::size_t>(first)])
            least += k.parts - 1;  // the gap over the part-end join
        if (least > k.maxCom || most < k.minCom) return false;
        bonus_ = k.comWeight < 0 ? k.comWeight * least : k.comWeight * most;
    }
    // The most methods the fill can end with; each method's least and most
    // leads under the balance, the fewest for every method to have.
    const int mostMethods = std::min({k.maxMethods, usedCount + open, methodsWithin(k.maxCom, k.parts)});
    if (usedCount > mostMethods) return false;
    long long least = k.minLeads;
    long long cap = k.maxLeads > 0 ? k.maxLeads : n;
    if (k.balancePercent >= 0 && usedCount > 0) {
        least = std::max(least, ceilDiv(static_cast<long long>(n) * (100 - k.balancePercent), 100LL * std::max(1, mostMethods)));
        cap = std::min<long long>(cap, static_cast<long long>(n) * (100 + k.balancePercent) / (100LL * usedCount));
    }
    long long needed = static_cast<long long>(std::max(0, k.minMethods - usedCount)) * std::max<long long>(1, least);
    // All the work: each method's pieces so far, and those the open leads
    // could still give it; a lead gives at most 7 pieces a part.
    std::uint64_t openWork = 0;
    if (k.allTheWork) {
        for (const int m : used_) work_[static_cast<std::size_t>(m)] = 0;
        for (int i = 0; i < n; ++i) {
            const int m = methodAt_[static_cast<std::size_t>(i)];
            (m < 0 ? openWork : work_[static_cast<std::size_t>(m)]) |= k.work[static_cast<std::size_t>(i)];
        }
    }
    for (const int m : used_) {
        const int l = leadsOf_[static_cast<std::size_t>(m)];
        if (l > cap) return false;
        long long more = least - l;
        if (k.allTheWork) {
            const std::uint64_t w = work_[static_cast<std::size_t>(m)];
            if ((w | openWork) != AllTheWork) return false;
            more = std::max<long long>(more, ceilDiv(PiecesOfWork - std::popcount(w), 7LL * k.parts));
        }
        if (more > 0) needed += more;
    }
    return needed <= open;
}

std::optional<long long> ConstraintTracker::complete() const {
    const PlanConstraints& k = *k_;
    const int n = k.leads;
    const int usedCount = static_cast<int>(used_.size());
    if (usedCount < k.minMethods || usedCount > k.maxMethods) return std::nullopt;
    for (const int m : used_) {
        const int l = leadsOf_[static_cast<std::size_t>(m)];
        if (l < k.minLeads || (k.maxLeads > 0 && l > k.maxLeads)) return std::nullopt;
        if (k.balancePercent >= 0 &&
            100LL * std::llabs(static_cast<long long>(usedCount) * l - n) > static_cast<long long>(k.balancePercent) * n)
            return std::nullopt;
    }
    long long com = 0;
    for (int i = 0; i < n; ++i)
        if (methodAt_[static_cast<std::size_t>(i)] != methodAt_[static_cast<std::size_t>(i + 1 < n ? i + 1 : 0)])
            com += k.joinWeight[static_cast<std::size_t>(i)];
    if (com < k.minCom || com > k.maxCom) return std::nullopt;
    long long extra = k.comWeight * com;
    if (k.allTheWork || k.atwWeight != 0) {
        for (const int m : used_) work_[static_cast<std::size_t>(m)] = 0;
        for (int i = 0; i < n; ++i)
            work_[static_cast<std::size_t>(methodAt_[static_cast<std::size_t>(i)])] |= k.work[static_cast<std::size_t>(i)];
        for (const int m : used_) {
            const int missing = PiecesOfWork - std::popcount(work_[static_cast<std::size_t>(m)]);
            if (missing > 0 && k.allTheWork) return std::nullopt;
            extra -= k.atwWeight * missing;
        }
    }
    return extra;
}

}  // namespace quarnel::fill
