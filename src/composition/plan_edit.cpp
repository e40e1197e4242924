#include "composition/plan_edit.h"

#include "composition/composer_line.h"
#include "composition/plan.h"

namespace quarnel {
namespace {

// A lead line as the composition file reads it: a code letter (or one of
// the letters that read as a lead without a lead-end row) first.
bool isLeadLine(std::string_view line) {
    if (line.empty() || composerOfLine(line)) return false;
    const char c = line[0];
    return (c >= 'A' && c <= 'M') || c == 'Q' || c == 'Z';
}

bool valid(const std::vector<std::string>& lines, int lead) {
    return lead >= 1 && static_cast<std::size_t>(lead) <= lines.size();
}

std::string& lineOf(std::vector<std::string>& lines, int lead) { return lines[static_cast<std::size_t>(lead - 1)]; }

// The line of a lead: code, call symbol, and the method after a blank.
std::string leadLine(LeadHeadCode code, Call call, std::string_view method) {
    std::string line;
    line += code.letter();
    line += symbolOf(call);
    if (!method.empty()) {
        line += ' ';
        line += method;
    }
    return line;
}

// The edited lead lines as a file text, under the composer line of the text
// they were taken from: an edit of the plan keeps the composer.
std::string edited(std::string_view original, const std::vector<std::string>& lines) {
    const std::string composer = composerOfText(original);
    return (composer.empty() ? std::string() : composerLine(composer) + "\n") + planText(lines);
}

}  // namespace

std::vector<std::string> planLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string line(text.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (isLeadLine(line)) lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string planText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

std::string withCall(std::string_view text, int lead, Call call) {
    std::vector<std::string> lines = planLines(text);
    if (!valid(lines, lead)) return std::string(text);
    std::string& line = lineOf(lines, lead);
    if (line.size() < 2) line.resize(2, ' ');
    line[1] = symbolOf(call);
    return edited(text, lines);
}

std::string withLeadInserted(std::string_view text, int lead, LeadHeadCode code) {
    std::vector<std::string> lines = planLines(text);
    if (lead < 0 || static_cast<std::size_t>(lead) > lines.size()) return std::string(text);
    if (valid(lines, lead)) code = LeadHeadCode::fromLetter(lineOf(lines, lead)[0]).value_or(code);
    lines.insert(lines.begin() + lead, leadLine(code, Call::Plain, {}));
    return edited(text, lines);
}

std::string withLeadDeleted(std::string_view text, int lead) {
    std::vector<std::string> lines = planLines(text);
    if (!valid(lines, lead)) return std::string(text);
    lines.erase(lines.begin() + (lead - 1));
    return edited(text, lines);
}

std::string withCode(std::string_view text, int lead, LeadHeadCode code) {
    std::vector<std::string> lines = planLines(text);
    if (!valid(lines, lead)) return std::string(text);
    lineOf(lines, lead)[0] = code.letter();
    return edited(text, lines);
}

std::string withMethod(std::string_view text, int lead, LeadHeadCode code, std::string_view method) {
    std::vector<std::string> lines = planLines(text);
    if (!valid(lines, lead)) return std::string(text);
    std::string& line = lineOf(lines, lead);
    line = leadLine(code, callOfSymbol(line.size() > 1 ? line[1] : ' '), method);
    return edited(text, lines);
}

std::vector<std::string> methodTexts(std::string_view text) {
    std::vector<std::string> methods;
    for (const std::string& line : planLines(text)) {
        // As a lead reads its line: the method starts at the fourth character.
        std::string method = line.size() > 3 ? line.substr(3) : std::string();
        while (!method.empty() && (method.back() == ' ' || method.back() == '\t')) method.pop_back();
        methods.push_back(std::move(method));
    }
    return methods;
}

std::string withMethodsWhereNone(std::string_view text, const std::vector<std::string>& methods) {
    std::vector<std::string> lines = planLines(text);
    const std::vector<std::string> present = methodTexts(text);
    for (std::size_t i = 0; i < lines.size() && i < methods.size(); ++i) {
        if (methods[i].empty() || !present[i].empty()) continue;
        std::string& line = lines[i];
        if (line.size() < 2) line.resize(2, ' ');
        line.resize(2);
        line += ' ';
        line += methods[i];
    }
    return planText(lines);
}

std::string plainCourseText(LeadHeadCode code, std::string_view method) {
    // A plain course of a treble-dodging Major method has at most seven
    // leads; the lead heads of any code come round within eight.
    std::vector<PlannedLead> leads;
    std::vector<std::string> lines;
    do {
        leads.push_back({code, Call::Plain});
        lines.push_back(leadLine(code, Call::Plain, method));
    } while (!Plan(leads).partEnd().row().isRounds() && leads.size() < 8);
    return planText(lines);
}

std::string codeChangeQuestion(int lead, int leadCount, LeadHeadCode code) {
    std::string text = "Lead " + std::to_string(lead) + " becomes code " + std::string(1, code.letter()) + ": ";
    if (lead >= leadCount)
        text += "the part end moves";
    else if (lead + 1 == leadCount)
        text += "the lead head of lead " + std::to_string(leadCount) + " moves";
    else
        text += "the lead heads of leads " + std::to_string(lead + 1) + " to " + std::to_string(leadCount) + " move";
    return text;
}

}  // namespace quarnel
