#pragma once
// Edits of a composition's plan made on its file text (one line a lead: the
// code letter, the call symbol, the method), so that the edited composition
// is read back exactly as Load reads a file: its lead heads, part end and
// part count worked out again, and every method kept where it is still true
// in its lead. Lead numbers count from 1; an edit given a lead outside the
// text's leads returns the text unchanged.
#include <string>
#include <string_view>
#include <vector>

#include "ringing/call.h"
#include "ringing/lead_head_code.h"

namespace quarnel {

// The lead lines of a composition file text, without their line ends.
std::vector<std::string> planLines(std::string_view text);
// The file text of lead lines, each with its line end.
std::string planText(const std::vector<std::string>& lines);

// Lead n ends with the call.
std::string withCall(std::string_view text, int lead, Call call);
// A lead after lead n (0: before the first) with lead n's code (the code
// given when there is no lead n), plain and without a method.
std::string withLeadInserted(std::string_view text, int lead, LeadHeadCode code);
std::string withLeadDeleted(std::string_view text, int lead);
// Lead n takes the code; its method stays written and is dropped on reading
// when it is of another code.
std::string withCode(std::string_view text, int lead, LeadHeadCode code);
// Lead n takes the code and the method (a library name or notation text).
std::string withMethod(std::string_view text, int lead, LeadHeadCode code, std::string_view method);

// The method text of each lead line (what follows the code, the call and a
// blank), "" for a lead without one, in lead order.
std::vector<std::string> methodTexts(std::string_view text);
// Each lead without a method takes the method given for it (methods[n - 1];
// leads past the end of methods, or given "", stay as they are).
std::string withMethodsWhereNone(std::string_view text, const std::vector<std::string>& methods);

// A plain course of a method of the code: plain leads of the code until the
// lead heads come round, each with the method (none when empty).
std::string plainCourseText(LeadHeadCode code, std::string_view method);

// The question before a lead takes another code: "Lead 5 becomes code F:
// the lead heads of leads 6 to 31 move".
std::string codeChangeQuestion(int lead, int leadCount, LeadHeadCode code);

}  // namespace quarnel
