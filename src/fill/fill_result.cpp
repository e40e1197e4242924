#include "composition/composition.h"
#include "fill/fill.h"
#include "methods/major_method.h"

namespace quarnel::fill {

FillStatus reportedStatus(const FillProblem& problem, const FillResult& result) {
    if (!problem.cutCodes().empty() &&
        (result.status == FillStatus::ImpossibleLead || result.status == FillStatus::NoTrueFill))
        return FillStatus::NoFillWithinLimits;
    return result.status;
}

int applyFill(Composition& composition, const MethodLibrary& library,
              const std::vector<std::pair<int, std::string>>& methods) {
    for (const auto& [n, text] : methods) composition.setMethodAt(n, false);
    int failed = 0;
    for (const auto& [n, text] : methods) {
        const MajorMethod method(text, library);
        composition.tryMethodAt(n, &method);
        composition.setMethodAt(n, true);
        composition.releaseTrial();
        const Method* committed = composition.committedMethodAt(n);
        if ((committed == nullptr || committed->notationText() != text) && failed == 0) failed = n;
    }
    return failed;
}

std::string noTrueFillText(const search::Constraints& constraints) {
    const std::string asked = constraints.summary();
    return asked.empty() ? "No true fill exists" : "No true fill keeps the constraints: " + asked;
}

}  // namespace quarnel::fill
