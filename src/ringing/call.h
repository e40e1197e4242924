#pragma once
// A call: what is rung at a lead end. A plain lead makes the plain lead-end
// change of its code's group ("12" for codes A to F, "18" for G to M); a bob
// makes "14" and a single "1234", whatever the code. In the composition file
// a call is the character after the code letter: "-" a bob, "s" a single and
// anything else (usually a blank) a plain lead.
#include <string_view>

#include "ringing/lead_head_code.h"
#include "ringing/row.h"

namespace quarnel {

enum class Call : unsigned char { Plain, Bob, Single };

// The character the composition file writes for a call.
constexpr char symbolOf(Call call) {
    switch (call) {
        case Call::Bob: return '-';
        case Call::Single: return 's';
        case Call::Plain: break;
    }
    return ' ';
}

// The call a composition-file character stands for: "-" a bob, "s" a single,
// every other character a plain lead.
constexpr Call callOfSymbol(char symbol) {
    return symbol == '-' ? Call::Bob : symbol == 's' ? Call::Single : Call::Plain;
}

// The place notation of the lead-end change the call makes in a lead of the group.
constexpr std::string_view leadEndChangeOf(Call call, LeadEndGroup group) {
    switch (call) {
        case Call::Bob: return "14";
        case Call::Single: return "1234";
        case Call::Plain: break;
    }
    return plainLeadEndOf(group);
}

// The lead-end change of the call as a row: a lead end times it is the next
// lead head.
const Row& leadEndChangeRow(Call call, LeadEndGroup group);

// The lead head after a lead end, with the call made there in a lead of the code.
inline Row nextLeadHeadOf(const Row& leadEnd, LeadHeadCode code, Call call) {
    return leadEnd.times(leadEndChangeRow(call, code.group()));
}

}  // namespace quarnel
