#include "search/constraints.h"

#include <set>

namespace quarnel::search {

bool Constraints::any() const { return !methods.empty() || shapeTheSearch() || bobWeight != 0 || singleWeight != 0; }

bool Constraints::shapeTheSearch() const {
    return minMethods || maxMethods || minEach || maxEach || balancePercent || allTheWork || minChangesOfMethod ||
           maxChangesOfMethod || comWeight != 0 || atwWeight != 0;
}

std::string Constraints::contradiction() const {
    auto range = [](const char* what, const auto& least, const auto& most) -> std::string {
        if (least && *least < 0) return std::string("at least ") + std::to_string(*least) + " " + what + ": below 0";
        if (most && *most < 0) return std::string("at most ") + std::to_string(*most) + " " + what + ": below 0";
        if (least && most && *least > *most)
            return std::string("at least ") + std::to_string(*least) + " " + what + " but at most " + std::to_string(*most);
        return {};
    };
    if (std::string r = range("methods", minMethods, maxMethods); !r.empty()) return r;
    if (maxMethods && *maxMethods == 0) return "at most 0 methods: no lead could be rung";
    if (std::string r = range("changes of each method", minEach, maxEach); !r.empty()) return r;
    if (maxEach && *maxEach == 0) return "at most 0 changes of each method: no lead could be rung";
    if (std::string r = range("changes of method", minChangesOfMethod, maxChangesOfMethod); !r.empty()) return r;
    if (balancePercent && (*balancePercent < 0 || *balancePercent > 100))
        return "a balance of " + std::to_string(*balancePercent) + "%: it is a percentage from 0 to 100";
    if (atwWeight < 0) return "a negative weight for all the work would reward missing work";
    if (allTheWork && atwWeight != 0) return "all the work is either required or weighted, not both";
    std::set<std::string> names;
    for (const std::string& m : methods) {
        if (m.empty()) return "an empty name in the list of methods";
        if (!names.insert(m).second) return "\"" + m + "\" is twice in the list of methods";
    }
    if (!methods.empty() && minMethods && *minMethods > static_cast<int>(methods.size()))
        return "at least " + std::to_string(*minMethods) + " methods but only " + std::to_string(methods.size()) +
               " given";
    return {};
}

std::string Constraints::summary() const {
    std::string text;
    auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    auto count = [](long long n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    if (minMethods) add("at least " + count(*minMethods, "method", "methods"));
    if (maxMethods) add("at most " + count(*maxMethods, "method", "methods"));
    if (minEach) add("at least " + count(*minEach, "change", "changes") + " of each method");
    if (maxEach) add("at most " + count(*maxEach, "change", "changes") + " of each method");
    if (balancePercent) add("each method's changes within " + std::to_string(*balancePercent) + "% of the mean");
    if (allTheWork) add("all the work");
    if (minChangesOfMethod) add("at least " + count(*minChangesOfMethod, "change", "changes") + " of method");
    if (maxChangesOfMethod) add("at most " + count(*maxChangesOfMethod, "change", "changes") + " of method");
    return text;
}

std::vector<std::string> methodList(const std::string& text) {
    std::vector<std::string> names;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = text.find(',', from);
        std::string name = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        const std::size_t first = name.find_first_not_of(' ');
        name = first == std::string::npos ? std::string() : name.substr(first, name.find_last_not_of(' ') - first + 1);
        names.push_back(name);
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    return names;
}

}  // namespace quarnel::search
