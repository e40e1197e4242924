#include "fill/uses_matching.h"

#include <algorithm>
#include <vector>

#include "fill/fill_problem.h"

namespace quarnel::fill {
namespace {

// Leads matched to methods by augmenting paths, a method taking as many
// leads as its uses left.
class Matching {
public:
    explicit Matching(const FillProblem& p) : p_(p), options_(static_cast<std::size_t>(p.leadCount())) {
        const std::size_t methods = p.notations().size();
        left_.resize(methods);
        holders_.resize(methods);
        for (MethodIndex m{0}; m.value() < static_cast<int>(methods); ++m) left_[m.at()] = p.usesLimit() - p.keptUses(m);
        for (LeadIndex i{0}; i < p.leadEnd(); ++i) {
            auto& own = options_[i.at()];
            for (CandidateIndex c = p.first(i); c < p.end(i); ++c) own.push_back(p.method(c).value());
            std::sort(own.begin(), own.end());
            own.erase(std::unique(own.begin(), own.end()), own.end());
        }
        seen_.assign(methods, 0);
    }

    bool matchAll() {
        for (int i = 0; i < p_.leadCount(); ++i) {
            ++stamp_;
            if (!augment(i)) return false;
        }
        return true;
    }

private:
    // Finds a method for lead i, moving leads already matched along a path.
    bool augment(int i) {
        for (const int m : options_[static_cast<std::size_t>(i)]) {
            const auto k = static_cast<std::size_t>(m);
            if (seen_[k] == stamp_) continue;
            seen_[k] = stamp_;
            if (static_cast<int>(holders_[k].size()) < left_[k]) {
                holders_[k].push_back(i);
                return true;
            }
            for (int& holder : holders_[k]) {
                if (augment(holder)) {
                    holder = i;
                    return true;
                }
            }
        }
        return false;
    }

    const FillProblem& p_;
    std::vector<std::vector<int>> options_;  // each lead's methods
    std::vector<int> left_;                  // each method's uses left
    std::vector<std::vector<int>> holders_;  // the leads matched to each method
    std::vector<unsigned> seen_;
    unsigned stamp_ = 0;
};

}  // namespace

bool usesAllowAFill(const FillProblem& problem) {
    if (problem.usesLimit() == 0 || problem.leadCount() == 0) return true;
    return Matching(problem).matchAll();
}

}  // namespace quarnel::fill
