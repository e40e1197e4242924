#include "composition/analysis.h"

#include <algorithm>
#include <bit>
#include <map>

#include "composition/composition.h"
#include "composition/music.h"
#include "ringing/method.h"

namespace quarnel {
namespace {

bool matches(const std::string& pattern, const std::array<char, BellCount>& text) {
    for (int i = 0; i < BellCount; ++i) {
        const char p = pattern[static_cast<std::size_t>(i)];
        if (p != 'x' && p != text[static_cast<std::size_t>(i)]) return false;
    }
    return true;
}

// Adds one row, rung at the stroke given in the first part, to the counts:
// the row and its images in every later part.
void countRow(const Row& first, bool backstroke, const PartEnd& partEnd, const MusicTable& music, std::vector<MusicCount>& counts) {
    const auto& definitions = music.definitions();
    Row row = first;
    for (int k = 0; k < partEnd.count(); ++k) {
        std::array<char, BellCount> text{};
        for (int i = 0; i < BellCount; ++i) text[static_cast<std::size_t>(i)] = bellSymbol(row[i]);
        for (std::size_t d = 0; d < definitions.size(); ++d) {
            const MusicTable::Definition& definition = definitions[d];
            long long matched = 0;
            for (const std::string& p : definition.anyStroke) matched += matches(p, text) ? 1 : 0;
            for (const std::string& p : backstroke ? definition.backstroke : definition.handstroke)
                matched += matches(p, text) ? 1 : 0;
            if (matched == 0) continue;
            counts[d].rows += 1;
            counts[d].score += matched * definition.score;
        }
        row = partEnd.onePartOn(row);
    }
}

std::vector<MusicCount> emptyCounts(const MusicTable& music) {
    std::vector<MusicCount> counts;
    counts.reserve(music.definitions().size());
    for (const auto& d : music.definitions()) counts.push_back({d.title, 0, 0});
    return counts;
}

// The rows of a lead as the composition rings them: the lead head, the rows
// of the first half from the lead head, those of the second half from the
// lead end, and the lead end. A row at an even position is at backstroke.
void countLead(const Lead& lead, const Method* method, int halfLength, const PartEnd& partEnd, const MusicTable& music,
               std::vector<MusicCount>& counts) {
    countRow(lead.leadHead(), true, partEnd, music, counts);
    countRow(lead.leadEnd(), false, partEnd, music, counts);
    if (method == nullptr || !method->hasNotation() || method->halfLength() != halfLength) return;
    const int leadLength = 2 * halfLength;
    for (int i = 1; i < halfLength; ++i) {
        countRow(lead.leadHead().times(method->row(i)), i % 2 == 0, partEnd, music, counts);
        countRow(lead.leadEnd().times(method->row(i)), (leadLength - 1 - i) % 2 == 0, partEnd, music, counts);
    }
}

}  // namespace

std::vector<MusicCount> musicCounts(const Composition& composition, const MusicTable& music) {
    std::vector<MusicCount> counts = emptyCounts(music);
    const int half = composition.leadLength() / 2;
    for (int n = 1; n <= static_cast<int>(composition.leadCount()); ++n) {
        const Lead& lead = *composition.leadAt(n);
        countLead(lead, lead.committed(), half, composition.partEnd(), music, counts);
    }
    return counts;
}

std::vector<MusicCount> leadMusicCounts(const Composition& composition, int n, const Method* method,
                                        const MusicTable& music) {
    const Lead* lead = composition.leadAt(n);
    if (lead == nullptr) return {};
    std::vector<MusicCount> counts = emptyCounts(music);
    countLead(*lead, method, composition.leadLength() / 2, composition.partEnd(), music, counts);
    return counts;
}

int MethodFigures::piecesRung() const {
    int pieces = 0;
    // Working bells 2 to 8 (indexes 1 to 7), starts in places 2 to 8 (bits 1 to 7).
    for (int b = 1; b < BellCount; ++b) pieces += std::popcount(static_cast<unsigned>(starts[static_cast<std::size_t>(b)] & 0xFE));
    return pieces;
}

int MethodBalance::piecesRung() const {
    int pieces = 0;
    for (const auto& m : methods) pieces += m.piecesRung();
    return pieces;
}

long long changesOfMethod(const std::vector<std::string>& leadMethods, int parts) {
    if (leadMethods.empty() || parts <= 0) return 0;
    long long within = 0;
    for (std::size_t i = 1; i < leadMethods.size(); ++i) within += leadMethods[i] != leadMethods[i - 1] ? 1 : 0;
    const long long across = leadMethods.back() != leadMethods.front() ? 1 : 0;
    return within * parts + across * (parts - 1);
}

MethodBalance methodBalance(const Composition& composition) {
    MethodBalance balance;
    const int parts = composition.partCount();
    const int leads = static_cast<int>(composition.leadCount());
    std::map<std::string, std::size_t, std::less<>> index;  // notation text -> entry
    std::vector<std::string> leadMethods;
    leadMethods.reserve(static_cast<std::size_t>(leads));
    for (int n = 1; n <= leads; ++n) {
        const Lead& lead = *composition.leadAt(n);
        const Method* method = lead.committed();
        const std::string notation = method != nullptr ? method->notationText() : std::string();
        leadMethods.push_back(notation);
        if (notation.empty()) continue;
        auto [it, added] = index.try_emplace(notation, balance.methods.size());
        if (added) {
            MethodFigures& figures = balance.methods.emplace_back();
            figures.notation = notation;
            figures.name = lead.name().empty() ? notation : lead.name();
        }
        MethodFigures& figures = balance.methods[it->second];
        figures.leads += 1;
        Row head = lead.leadHead();
        for (int k = 0; k < parts; ++k) {
            for (int place = 1; place < BellCount; ++place)
                figures.starts[head[place]] = static_cast<std::uint8_t>(figures.starts[head[place]] | (1u << place));
            head = composition.partEnd().onePartOn(head);
        }
    }
    for (auto& m : balance.methods) m.changes = static_cast<long long>(m.leads) * composition.leadLength() * parts;
    std::sort(balance.methods.begin(), balance.methods.end(), [](const MethodFigures& a, const MethodFigures& b) {
        if (a.changes != b.changes) return a.changes > b.changes;
        return a.name < b.name;
    });
    balance.changesOfMethod = changesOfMethod(leadMethods, parts);
    return balance;
}

std::string missingWork(const MethodFigures& method) {
    std::string text;
    for (int b = 1; b < BellCount; ++b) {
        const unsigned missing = ~static_cast<unsigned>(method.starts[static_cast<std::size_t>(b)]) & 0xFE;
        if (missing == 0) continue;
        if (!text.empty()) text += "; ";
        text += bellSymbol(b);
        text += " misses";
        for (int place = 1; place < BellCount; ++place)
            if ((missing & (1u << place)) != 0) {
                text += ' ';
                text += bellSymbol(place);
            }
    }
    return text;
}

}  // namespace quarnel
