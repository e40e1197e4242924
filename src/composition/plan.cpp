#include "composition/plan.h"

#include <utility>

namespace quarnel {

Plan::Plan(std::vector<PlannedLead> leads) : leads_(std::move(leads)) {
    leadHeads_.reserve(leads_.size());
    Row running;
    for (const PlannedLead& lead : leads_) {
        leadHeads_.push_back(running);
        running = nextLeadHeadOf(running.times(lead.code.leadEndRow()), lead.code, lead.call);
    }
    partEnd_ = PartEnd(running);
}

}  // namespace quarnel
