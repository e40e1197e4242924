#include "ringing/notation_forms.h"

#include <array>
#include <initializer_list>

#include "ringing/bell_symbols.h"
#include "ringing/lead_end_table.h"
#include "ringing/method.h"
#include "ringing/place_notation.h"

namespace quarnel {
namespace {

// A Major half lead: sixteen changes, the half-lead change last.
constexpr int MajorHalfLength = MaxHalfLength;

// The twelve lead-head codes of Major, near group (lead end 12) first.
constexpr std::string_view TwelveCodes = "abcdefghjklm";

bool isCrossCharacter(char c) { return c == '-' || c == 'x' || c == 'X'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// A message from its pieces.
std::string joined(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (std::string_view piece : pieces) text += piece;
    return text;
}

// A character quoted in a message.
std::string quoted(char c) { return joined({"'", std::string_view(&c, 1), "'"}); }

NotationReading refused(std::string reason) { return {std::string(), std::move(reason)}; }

// Why a run of place symbols is not a change of eight bells (it is known not
// to read): a place beyond the eighth, or places out of order.
std::string whyNoChange(std::string_view places) {
    for (char c : places)
        if (placeOf(c) > BellCount)
            return "Change " + std::string(places) + ": place " + std::to_string(placeOf(c)) + " is beyond the eighth";
    if (places.size() > BellCount) return "Change " + std::string(places) + ": more places than bells";
    return "Change " + std::string(places) + ": places not in ascending order";
}

// The changes of a place-notation text with "-", "x" or "X" for the cross and
// "." as a separator. Returns the reason when it does not read.
std::string readChanges(std::string_view text, std::array<Change, MajorHalfLength + 1>& changes, int& count) {
    static const Change cross;
    count = 0;
    bool dotBefore = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '.') {
            if (dotBefore) return "Two dots together leave an empty change";
            dotBefore = true;
            ++i;
            continue;
        }
        dotBefore = false;
        if (count > MajorHalfLength) return "More than " + std::to_string(MajorHalfLength) + " changes in the half lead";
        if (isCrossCharacter(c)) {
            changes[static_cast<std::size_t>(count++)] = cross;
            ++i;
            continue;
        }
        if (placeOf(c) == 0) return quoted(c) + " is not a place, a cross or a separator";
        std::size_t k = i;
        while (k < text.size() && placeOf(text[k]) != 0) ++k;
        const std::string_view places = text.substr(i, k - i);
        if (!changes[static_cast<std::size_t>(count)].assign(places)) return whyNoChange(places);
        ++count;
        i = k;
    }
    return {};
}

// The lead head rung from rounds: the half lead, its first h - 1 changes
// again in reverse, and the lead-end change.
Row leadHeadOf(const std::array<Change, MajorHalfLength + 1>& changes, const Change& leadEnd) {
    Row r;
    for (int i = 0; i < MajorHalfLength; ++i) r = applied(r, changes[static_cast<std::size_t>(i)]);
    for (int i = MajorHalfLength - 2; i >= 0; --i) r = applied(r, changes[static_cast<std::size_t>(i)]);
    return applied(r, leadEnd);
}

const Change& plainLeadEndChange(char code) {
    static const Change twelve = *Change::parse("12");
    static const Change eighteen = *Change::parse(HighLeadEndNotation);
    return isNearGroup(code) ? twelve : eighteen;
}

// The lead head of a code: its lead-end row after its plain lead end.
Row codeLeadHead(char code) { return applied(*leadEndRowOf(code), plainLeadEndChange(code)); }

}  // namespace

NotationReading readNotation(std::string_view typed) {
    std::string_view text = trimmed(typed);
    if (text.empty()) return refused("No notation given");

    char code = 0;
    if (text.size() >= 2 && text[1] == '&' && !isCrossCharacter(text[0]) && placeOf(text[0]) == 0 && text[0] != '.') {
        code = text[0];
        if (TwelveCodes.find(code) == std::string_view::npos)
            return refused(quoted(code) + " is not one of the twelve lead-head codes (a to m, without i)");
        text.remove_prefix(2);
    } else if (text.front() == '&') {
        text.remove_prefix(1);
    }

    std::string_view half = text;
    std::string_view leadEndText;
    const std::size_t comma = text.find(',');
    if (comma != std::string_view::npos) {
        half = text.substr(0, comma);
        leadEndText = text.substr(comma + 1);
        if (leadEndText.find(',') != std::string_view::npos) return refused("More than one comma");
        if (leadEndText.empty()) return refused("No lead-end change after the comma");
    }

    std::array<Change, MajorHalfLength + 1> changes{};
    int count = 0;
    if (std::string reason = readChanges(half, changes, count); !reason.empty()) return refused(std::move(reason));
    if (count != MajorHalfLength)
        return refused(std::to_string(count) + (count == 1 ? " change" : " changes") + " in the half lead; a Major half lead has " +
                       std::to_string(MajorHalfLength));

    Change leadEnd;
    if (comma != std::string_view::npos) {
        std::array<Change, MajorHalfLength + 1> written{};
        int n = 0;
        if (std::string reason = readChanges(leadEndText, written, n); !reason.empty()) return refused(std::move(reason));
        if (n != 1) return refused("The lead-end change after the comma must be one change");
        leadEnd = written[0];
    } else if (code == 0) {
        return refused("No code letter and no lead-end change: write b&-3-4-25-36-4-5-6-7 or -38-14-1258-36-14-58-16-78,12");
    }

    const std::string leadEndName(leadEnd.text());
    if (code != 0) {
        if (comma != std::string_view::npos && !(leadEnd == plainLeadEndChange(code)))
            return refused("The lead-end change " + leadEndName + " disagrees with code " + std::string(1, code) +
                           ", whose lead end is " + std::string(plainLeadEndChange(code).text()));
        const Row reached = leadHeadOf(changes, plainLeadEndChange(code));
        if (!(reached == codeLeadHead(code)))
            return refused("The rows reach the lead head " + reached.text() + ", not the lead head of code " +
                           std::string(1, code) + " (" + codeLeadHead(code).text() + ")");
    } else {
        const Row reached = leadHeadOf(changes, leadEnd);
        char sameLeadHead = 0;
        for (char c : TwelveCodes) {
            if (!(codeLeadHead(c) == reached)) continue;
            if (leadEnd == plainLeadEndChange(c)) {
                code = c;
                break;
            }
            sameLeadHead = c;
        }
        if (code == 0 && sameLeadHead != 0)
            return refused("The lead-end change " + leadEndName + " disagrees with code " + std::string(1, sameLeadHead) +
                           " of the lead head " + reached.text() + ", whose lead end is " +
                           std::string(plainLeadEndChange(sameLeadHead).text()));
        if (code == 0)
            return refused("The rows reach the lead head " + reached.text() + ", which is none of the twelve lead-head codes");
    }
    return {notationTextOf(code, changes.data(), MajorHalfLength), std::string()};
}

bool looksLikeNotation(std::string_view typed) {
    std::string_view text = trimmed(typed);
    if (text.size() >= 2 && text[1] == '&') text.remove_prefix(2);
    bool hasChange = false;
    for (char c : text) {
        if (placeOf(c) != 0 || isCrossCharacter(c)) {
            hasChange = true;
        } else if (c != '.' && c != ',' && c != '&') {
            return false;
        }
    }
    return hasChange;
}

}  // namespace quarnel
