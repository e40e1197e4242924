#pragma once
// A plan: the leads of one part as their lead-head codes and the calls at
// their lead ends, without methods. The codes and calls alone fix every lead
// head and lead end of the part, and so the part end (the row after the last
// lead) and the part count; a plan works them out once when it is made, from
// rounds. Two plans are equal when their leads are: the rest follows.
#include <cstddef>
#include <vector>

#include "ringing/call.h"
#include "ringing/lead_head_code.h"
#include "ringing/part_end.h"
#include "ringing/row.h"

namespace quarnel {

// One lead of a plan: its code and the call at its lead end.
struct PlannedLead {
    LeadHeadCode code;
    Call call = Call::Plain;
    friend constexpr bool operator==(const PlannedLead&, const PlannedLead&) = default;
};

class Plan {
public:
    // The plan of these leads, in order, starting from rounds. No leads is a
    // plan of one part whose part end is rounds.
    explicit Plan(std::vector<PlannedLead> leads);

    std::size_t leadCount() const { return leads_.size(); }
    // The leads in order: index 0 is lead 1.
    const std::vector<PlannedLead>& leads() const { return leads_; }
    // The lead head of each lead, in the same order (the first is rounds).
    const std::vector<Row>& leadHeads() const { return leadHeads_; }
    // The lead end of the lead at index i (lead i + 1).
    Row leadEndAt(std::size_t i) const { return leadHeads_[i].times(leads_[i].code.leadEndRow()); }
    const PartEnd& partEnd() const { return partEnd_; }
    int partCount() const { return partEnd_.count(); }

    friend bool operator==(const Plan& a, const Plan& b) { return a.leads_ == b.leads_; }

private:
    std::vector<PlannedLead> leads_;
    std::vector<Row> leadHeads_;
    PartEnd partEnd_;
};

}  // namespace quarnel
