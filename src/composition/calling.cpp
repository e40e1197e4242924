#include "composition/calling.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "composition/composition.h"
#include "ringing/lead_end_table.h"

namespace quarnel {
namespace {

// Position letters by the tenor's place (1 to 8) in the lead head after the
// call; a bob and a single differ only in 2nds and 3rds.
constexpr std::string_view BobPositions = "LIBFVMWH";
constexpr std::string_view SinglePositions = "LBTFVMWH";
// The order positions take when nothing the composition rings orders them.
constexpr std::string_view FallbackOrder = "LIBTFVMWH";

struct Customary {
    std::string_view name;
    char letter;
};
// Letters that ringers use for the standard Surprise methods.
constexpr std::array<Customary, 13> CustomaryLetters = {{{"Bristol", 'B'},
                                                         {"Cambridge", 'C'},
                                                         {"Cornwall", 'W'},
                                                         {"Lincolnshire", 'N'},
                                                         {"London", 'L'},
                                                         {"Pudsey", 'P'},
                                                         {"Rutland", 'R'},
                                                         {"Superlative", 'S'},
                                                         {"Yorkshire", 'Y'},
                                                         {"Glasgow", 'G'},
                                                         {"Belfast", 'F'},
                                                         {"Uxbridge", 'U'},
                                                         {"Lessness", 'E'}}};

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A shortest sequence holding both a and b in order; where either element
// could come first, the one earlier in rank goes first.
std::vector<char> mergeInOrder(const std::vector<char>& a, const std::vector<char>& b, const std::string& rank) {
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    // len[i][j]: the shortest merge of a[i..] and b[j..].
    std::vector<std::vector<std::size_t>> len(n + 1, std::vector<std::size_t>(m + 1, 0));
    for (std::size_t i = n + 1; i-- > 0;)
        for (std::size_t j = m + 1; j-- > 0;) {
            if (i == n)
                len[i][j] = m - j;
            else if (j == m)
                len[i][j] = n - i;
            else if (a[i] == b[j])
                len[i][j] = 1 + len[i + 1][j + 1];
            else
                len[i][j] = 1 + std::min(len[i + 1][j], len[i][j + 1]);
        }
    const auto rankOf = [&rank](char c) {
        const auto at = rank.find(c);
        return at == std::string::npos ? rank.size() : at;
    };
    std::vector<char> out;
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n || j < m) {
        if (i == n) {
            out.push_back(b[j++]);
        } else if (j == m) {
            out.push_back(a[i++]);
        } else if (a[i] == b[j]) {
            out.push_back(a[i]);
            ++i;
            ++j;
        } else if (len[i + 1][j] < len[i][j + 1] ||
                   (len[i + 1][j] == len[i][j + 1] && rankOf(a[i]) <= rankOf(b[j]))) {
            out.push_back(a[i++]);
        } else {
            out.push_back(b[j++]);
        }
    }
    return out;
}

}  // namespace

Call callOfLead(const Lead& lead) { return lead.call(); }

char codeOfLead(const Lead& lead) { return lead.code().letter(); }

char callingPosition(Call call, int tenorPlace) {
    if (call == Call::Plain || tenorPlace < 1 || tenorPlace > BellCount) return 0;
    const std::string_view table = call == Call::Bob ? BobPositions : SinglePositions;
    return table[static_cast<std::size_t>(tenorPlace - 1)];
}

Row leadHeadAfterCall(const Row& leadEnd, Call call, char code) {
    switch (call) {
        case Call::Bob:
            return leadEnd.transposedBy("14");
        case Call::Single:
            return leadEnd.transposedBy("s");
        case Call::Plain:
            break;
    }
    return leadEnd.transposedBy(plainLeadEnd(code));
}

char positionAtLeadEnd(const Row& leadEnd, Call call) {
    // The code only matters for a plain lead end, which has no position.
    return callingPosition(call, leadHeadAfterCall(leadEnd, call, 'A').placeOfBell(7) + 1);
}

std::string plainCourseMeetings(char code) {
    std::string met;
    Row row;
    for (int lead = 0; lead < 7; ++lead) {
        const Row leadEnd = row.transposedBy(std::string_view(&code, 1));
        met += positionAtLeadEnd(leadEnd, Call::Bob);
        row = leadHeadAfterCall(leadEnd, Call::Plain, code);
    }
    return met;
}

CompositionCalling compositionCalling(const Composition& composition) {
    CompositionCalling result;
    const int leads = static_cast<int>(composition.leadCount());
    bool tenorsHomeThroughout = leads > 0;
    std::vector<std::string> names;
    for (int n = 1; n <= leads; ++n) {
        const Lead& lead = *composition.leadAt(n);
        // A course starts at each lead head with the tenor home; the first
        // lead starts one whatever its tenor.
        if (result.courses.empty() || tenorHome(lead.leadHead())) {
            CourseCalling course;
            course.firstLead = n;
            course.head = lead.leadHead();
            if (!tenorsHome(course.head)) tenorsHomeThroughout = false;
            result.courses.push_back(std::move(course));
        }
        CourseCalling& course = result.courses.back();
        ++course.leadCount;
        course.end = lead.nextLeadHead();
        const Call call = callOfLead(lead);
        course.met.push_back(positionAtLeadEnd(lead.leadEnd(), call == Call::Single ? call : Call::Bob));
        if (call != Call::Plain) {
            const CallAt at{n, call, positionAtLeadEnd(lead.leadEnd(), call)};
            course.calls.push_back(at);
            result.calls.push_back(at);
        }
        if (const Method* method = composition.committedMethodAt(n); method != nullptr) {
            const std::string& name = lead.name().empty() ? lead.notation() : lead.name();
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        }
    }
    if (!result.courses.empty() && !tenorsHome(result.courses.back().end)) tenorsHomeThroughout = false;
    result.tenorsHomeAtEveryCourseHead = tenorsHomeThroughout;

    // Ties in the order go to the order the tenor meets the positions in
    // the first course, then to the fallback order.
    std::string rank;
    if (!result.courses.empty())
        for (char p : result.courses.front().met)
            if (rank.find(p) == std::string::npos) rank += p;
    for (char p : FallbackOrder)
        if (rank.find(p) == std::string::npos) rank += p;
    for (const CourseCalling& course : result.courses) {
        std::vector<char> positions;
        for (const CallAt& c : course.calls) positions.push_back(c.position);
        result.positionOrder = mergeInOrder(result.positionOrder, positions, rank);
    }
    result.letters = methodLetters(names);
    return result;
}

std::vector<Row> courseHeadsOfPart(const CompositionCalling& calling, const PartEnd& partEnd, int part) {
    std::vector<Row> heads;
    for (const CourseCalling& course : calling.courses) {
        Row r = course.head;
        for (int p = 0; p < part; ++p) r = partEnd.onePartOn(r);
        heads.push_back(r);
    }
    return heads;
}

std::string baseMethodName(const std::string& name) {
    for (std::string_view suffix : {" S", " D", " TB"})
        if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            return name.substr(0, name.size() - suffix.size());
    return name;
}

std::string customaryMethodOf(std::string_view letter) {
    if (letter.size() != 1) return std::string();
    for (const Customary& c : CustomaryLetters)
        if (c.letter == letter[0]) return std::string(c.name);
    return std::string();
}

std::vector<MethodLetter> methodLetters(const std::vector<std::string>& names) {
    std::vector<MethodLetter> letters(names.size());
    std::vector<std::string> taken;
    const auto free = [&taken](const std::string& l) { return std::find(taken.begin(), taken.end(), l) == taken.end(); };
    // Customary letters first, so that a method named later keeps its own.
    for (std::size_t i = 0; i < names.size(); ++i) {
        letters[i].name = names[i];
        const bool surprise = names[i].size() > 2 && names[i].compare(names[i].size() - 2, 2, " S") == 0;
        if (!surprise) continue;
        const std::string base = baseMethodName(names[i]);
        for (const Customary& c : CustomaryLetters)
            if (base == c.name && free(std::string(1, c.letter))) {
                letters[i].letter = std::string(1, c.letter);
                taken.push_back(letters[i].letter);
            }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!letters[i].letter.empty()) continue;
        const std::string base = baseMethodName(names[i]);
        std::string chosen;
        for (char c : base)
            if (isLetter(c) && free(std::string(1, upper(c)))) {
                chosen = std::string(1, upper(c));
                break;
            }
        // Two letters: the first letter of the name and a later one (never
        // "s", which marks a single in a method string).
        const char first = base.empty() || !isLetter(base[0]) ? 'X' : upper(base[0]);
        for (std::size_t k = 1; chosen.empty() && k < base.size(); ++k) {
            const char second = lower(base[k]);
            if (!isLetter(second) || second == 's') continue;
            if (free(std::string{first, second})) chosen = std::string{first, second};
        }
        for (char second = 'a'; chosen.empty() && second <= 'z'; ++second)
            if (second != 's' && free(std::string{first, second})) chosen = std::string{first, second};
        letters[i].letter = chosen;
        taken.push_back(chosen);
    }
    return letters;
}

}  // namespace quarnel
