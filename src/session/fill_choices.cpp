#include "session/fill_choices.h"

#include <set>

#include "composition/composition.h"
#include "composition/plan.h"
#include "methods/method_library.h"
#include "ringing/lead_end_table.h"
#include "session/fill_runner.h"

namespace quarnel {

fill::FillOptions fillOptionsOf(const DialogFields& fields, const FillChoices& choices) {
    fill::FillOptions o = fillOptionsOf(fields);
    o.constraints = choices.constraints;
    o.timeLimitSeconds = choices.timeLimitSeconds;
    o.all = choices.refillAll;
    return o;
}

std::vector<std::string> methodNamesOfPlan(const Composition& composition, const MethodLibrary& library) {
    std::set<char> letters;
    const Plan plan = composition.plan();
    for (const auto& lead : plan.leads()) letters.insert(lowerCode(lead.code.letter()));
    std::vector<std::string> names;
    for (const auto& [name, notation] : library.byName())
        if (!name.empty() && !notation.empty() && letters.count(notation[0]) != 0) names.push_back(name);
    return names;
}

const std::vector<std::string>& standardEight() {
    static const std::vector<std::string> names = {"Bristol S", "Cambridge S", "Cornwall S", "Lincolnshire S",
                                                   "London S", "Pudsey S", "Superlative S", "Yorkshire S"};
    return names;
}

}  // namespace quarnel
