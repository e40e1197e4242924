#include "cli/constraint_options.h"

#include <climits>
#include <ostream>

namespace quarnel::cli {
namespace {

// The values the composer's constraints take.
constexpr std::string_view Count = "a whole number, 0 or more";
constexpr std::string_view Weight = "a whole number from -1000000 to 1000000";
constexpr long long WeightRange = 1000000;

}  // namespace

const std::vector<Option>& constraintOptions() {
    static const std::vector<Option> options = {
        {"--methods", "LIST", "only these methods (comma-separated names), instead of the classes", ValueKind::Text},
        {"--min-methods", "N", "at least N different methods", ValueKind::Whole, Count, 0, INT_MAX},
        {"--max-methods", "N", "at most N different methods", ValueKind::Whole, Count, 0, INT_MAX},
        {"--min-each", "CHANGES", "each method rung for at least CHANGES changes", ValueKind::Whole, Count, 0, INT_MAX},
        {"--max-each", "CHANGES", "each method rung for at most CHANGES changes", ValueKind::Whole, Count, 0, INT_MAX},
        {"--balance", "PERCENT", "each method's changes within PERCENT of the mean", ValueKind::Whole,
         "a whole number from 0 to 100", 0, 100},
        {"--atw", "", "every method rings all the work"},
        {"--atw-weight", "W", "the objective loses W for each piece of work a method misses", ValueKind::Whole, Count, 0,
         WeightRange},
        {"--min-com", "N", "at least N changes of method (the part-end join included)", ValueKind::Whole, Count, 0, INT_MAX},
        {"--max-com", "N", "at most N changes of method (the part-end join included)", ValueKind::Whole, Count, 0, INT_MAX},
        {"--com-weight", "W", "the objective gains W (lose: negative) for each change of method", ValueKind::Whole, Weight,
         -WeightRange, WeightRange},
        {"--bob-weight", "W", "the objective gains W for each bob (over all parts)", ValueKind::Whole, Weight, -WeightRange,
         WeightRange},
        {"--single-weight", "W", "the objective gains W for each single (over all parts)", ValueKind::Whole, Weight,
         -WeightRange, WeightRange},
    };
    return options;
}

const std::vector<Option>& limitOptions() {
    static const std::vector<Option> options = {
        {"--threads", "N", "the worker threads (default: the machine's)", ValueKind::Whole, "a whole number from 1 to 1024",
         1, 1024},
        {"--time-limit", "SECONDS", "stops the search after SECONDS", ValueKind::Seconds, "a number of seconds, 0 or more"},
        {"--node-limit", "N", "stops the search after N nodes", ValueKind::Count, "a whole number, 0 or more"},
    };
    return options;
}

bool readConstraints(const CommandLine& line, const std::vector<Option>& classOptions, search::Constraints& k,
                     std::ostream& err) {
    if (const auto list = line.text("--methods")) {
        for (const Option& c : classOptions)
            if (line.flag(c.name)) {
                err << "--methods and " << c.name << " cannot be given together\n";
                return false;
            }
        k.methods = search::methodList(*list);
    }
    k.minMethods = line.whole("--min-methods");
    k.maxMethods = line.whole("--max-methods");
    k.minEach = line.whole("--min-each");
    k.maxEach = line.whole("--max-each");
    k.balancePercent = line.whole("--balance");
    k.allTheWork = line.flag("--atw");
    k.atwWeight = line.whole("--atw-weight").value_or(0);
    k.minChangesOfMethod = line.whole("--min-com");
    k.maxChangesOfMethod = line.whole("--max-com");
    k.comWeight = line.whole("--com-weight").value_or(0);
    k.bobWeight = line.whole("--bob-weight").value_or(0);
    k.singleWeight = line.whole("--single-weight").value_or(0);
    if (const std::string why = k.contradiction(); !why.empty()) {
        err << "Contradictory constraints: " << why << "\n";
        return false;
    }
    return true;
}

void readLimits(const CommandLine& line, search::SearchLimits& limits) {
    limits.threads = line.whole("--threads").value_or(limits.threads);
    limits.timeLimitSeconds = line.seconds("--time-limit").value_or(limits.timeLimitSeconds);
    limits.nodeLimit = line.count("--node-limit").value_or(limits.nodeLimit);
}

}  // namespace quarnel::cli
