#include "composition/part_notes.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "ringing/model_error.h"

namespace quarnel {
namespace {

constexpr int MostParts = 1000000;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::vector<std::string> words(std::string_view s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\r') ++i;
        if (i > start) out.emplace_back(s.substr(start, i - start));
    }
    return out;
}

std::optional<int> partNumber(std::string_view s) {
    int v = 0;
    if (s.empty() || s.size() > 7) return std::nullopt;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || v < 1 || v > MostParts) return std::nullopt;
    return v;
}

// A bracketed piece of a layout as a note names it: "(R)", "[ss]".
bool isMarker(std::string_view w) {
    return w.size() >= 3 && ((w.front() == '(' && w.back() == ')') || (w.front() == '[' && w.back() == ']'));
}

// Whether the words from `from` on say which parts: "in one part", "in the
// last part", "in part 3", "in parts 2, 4 and 6". The parts (none for the
// last part), or nothing.
std::optional<std::vector<int>> selector(const std::vector<std::string>& lw, std::size_t from) {
    const std::size_t n = lw.size() - from;
    if (n < 2 || lw[from] != "in") return std::nullopt;
    const auto is = [&](std::size_t k, const char* w) { return from + k < lw.size() && lw[from + k] == w; };
    if (n == 3 && is(1, "one") && is(2, "part")) return std::vector<int>{};
    if (n == 4 && is(1, "the") && is(2, "last") && is(3, "part")) return std::vector<int>{};
    if (n == 4 && is(1, "the") && is(2, "first") && is(3, "part")) return std::vector<int>{1};
    if (n == 3 && is(1, "part"))
        if (const auto p = partNumber(lw[from + 2])) return std::vector<int>{*p};
    if (n >= 3 && is(1, "parts")) {
        std::vector<int> parts;
        for (std::size_t k = from + 2; k < lw.size(); ++k) {
            std::string w = lw[k];
            if (w == "and" || w == "&") continue;
            if (!w.empty() && w.back() == ',') w.pop_back();
            const auto p = partNumber(w);
            if (!p) return std::nullopt;
            parts.push_back(*p);
        }
        if (!parts.empty()) return parts;
    }
    return std::nullopt;
}

// Whether a note speaks of varying parts at all, read or not.
bool speaksOfParts(const std::string& low) {
    for (const char* p : {" in one part", " in part ", " in parts ", " in the last part", " in the first part",
                          " in alternate parts", " in the other parts", " in other parts", " in each part"})
        if ((" " + low + " ").find(p) != std::string::npos) return true;
    return false;
}

[[noreturn]] void notRead(int line, std::string_view text, const std::string& why) {
    throw ModelError("line " + std::to_string(line) + ": a note varying the parts that does not read: \"" +
                     std::string(text) + "\" (" + why +
                     "; read are \"NNN for (R) in one part\", \"omit [ss] in parts 2 and 3\" and footnotes such as "
                     "\"1 Omit in part 3\" or \"1 Include in parts 1 and 4\" under a layout marked \"[CCC]1\")");
}

}  // namespace

bool PartVariation::varies(int part, int count) const {
    const bool listed = parts.empty() ? part == count : std::find(parts.begin(), parts.end(), part) != parts.end();
    return allBut ? !listed : listed;
}

std::vector<std::string> footnoteMarkersIn(std::string_view line) {
    std::vector<std::string> out;
    for (std::size_t open = line.find('['); open != std::string_view::npos; open = line.find('[', open + 1)) {
        const std::size_t close = line.find(']', open);
        if (close == std::string_view::npos) break;
        std::size_t end = close + 1;
        while (end < line.size() && isDigit(line[end])) ++end;
        if (end > close + 1 && close > open + 1) out.emplace_back(line.substr(open, end - open));
    }
    return out;
}

std::vector<PartVariation> partNote(std::string_view text, int line, const std::vector<std::string>& footnoteMarkers) {
    while (!text.empty() && (text.back() == '.' || text.back() == ' ' || text.back() == '\r')) text.remove_suffix(1);
    const std::vector<std::string> w = words(text);
    if (w.empty()) return {};
    std::vector<std::string> lw;
    for (const std::string& x : w) lw.push_back(lowered(x));
    // A variation for another length ("For 5152 omit [ss] in one part").
    if (lw.size() >= 2 && lw[0] == "for" && partNumber(lw[1])) return {};
    const bool footnote = partNumber(w[0]).has_value() && lw.size() >= 2 &&
                          (lw[1] == "omit" || lw[1] == "include" || lw[1] == "replace" || lw[1] == "call");
    if (!footnote && !speaksOfParts(lowered(text))) return {};

    // The parts: the note ends "in ... part(s) ...".
    std::optional<std::vector<int>> parts;
    std::size_t at = 0;
    for (std::size_t k = 0; k < lw.size() && !parts; ++k)
        if (lw[k] == "in" && (parts = selector(lw, k))) at = k;
    if (!parts) notRead(line, text, "no \"in one part\", \"in part N\" or \"in parts N and M\" at its end");

    PartVariation v;
    v.parts = *parts;
    v.line = line;
    std::vector<std::string> act(w.begin(), w.begin() + static_cast<long>(at));
    std::vector<std::string> la(lw.begin(), lw.begin() + static_cast<long>(at));
    if (footnote) {
        if (act.size() != 2 || (la[1] != "omit" && la[1] != "include"))
            notRead(line, text, "a footnote reads only \"Omit\" or \"Include\"");
        v.allBut = la[1] == "include";
        // Every bracketed piece of the layout with this footnote's number.
        std::vector<PartVariation> out;
        for (const std::string& m : footnoteMarkers) {
            const std::size_t close = m.rfind(']');
            if (m.substr(close + 1) != w[0]) continue;
            v.marker = m;
            v.printed = m.substr(1, close - 1);
            out.push_back(v);
        }
        if (out.empty()) notRead(line, text, "no bracketed piece of the layout is marked " + w[0]);
        return out;
    }
    // "[substituting] X for MARK", "X instead of MARK", "omit MARK", "include MARK".
    if (!la.empty() && (la[0] == "substituting" || la[0] == "substitute" || la[0] == "ring" || la[0] == "call")) {
        act.erase(act.begin());
        la.erase(la.begin());
    }
    if (la.size() == 2 && (la[0] == "omit" || la[0] == "include") && isMarker(act[1])) {
        v.marker = act[1];
        v.allBut = la[0] == "include";
    } else if (la.size() == 3 && la[1] == "for" && isMarker(act[2])) {
        v.marker = act[2];
        v.replacement = act[0];
    } else if (la.size() == 4 && la[1] == "instead" && la[2] == "of" && isMarker(act[3])) {
        v.marker = act[3];
        v.replacement = act[0];
    } else {
        notRead(line, text, "it names no bracketed piece of the layout");
    }
    v.printed = v.marker.substr(1, v.marker.size() - 2);
    return {v};
}

std::string asRungInPart(std::string_view text, const std::vector<PartVariation>& variations, int part, int count) {
    std::string out(text);
    for (const PartVariation& v : variations) {
        const std::string& with = v.varies(part, count) ? v.replacement : v.printed;
        for (std::size_t at = out.find(v.marker); at != std::string::npos; at = out.find(v.marker, at + with.size())) {
            out.replace(at, v.marker.size(), with);
        }
    }
    return out;
}

}  // namespace quarnel
