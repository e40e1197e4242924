#include "compose/compose_problem.h"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <set>

#include "methods/major_method.h"
#include "methods/method_library.h"
#include "methods/name_matching.h"
#include "ringing/lead_head_code.h"
#include "ringing/model_error.h"

namespace quarnel::compose {
namespace {

[[noreturn]] void refuse(const std::string& why) { throw ModelError(why); }

long long ceilDiv(long long a, long long b) { return a <= 0 ? 0 : (a + b - 1) / b; }

// The coursing order of the places of a lead head: 2, 4, 6, 8, 7, 5, 3.
constexpr std::array<int, 7> CoursingPlaces = {1, 3, 5, 7, 6, 4, 2};

// The library names of the options' methods: the list, each name read as
// the name field reads it, or the named methods of the classes.
std::vector<std::string> methodNames(const MethodLibrary& library, const ComposeOptions& o) {
    std::vector<std::string> names;
    if (!o.constraints.methods.empty()) {
        MethodNameIndex index;
        for (const std::string& typed : o.constraints.methods) {
            if (!library.notationOf(typed).empty()) {
                names.push_back(typed);
                continue;
            }
            const std::vector<std::string> matches = index.find(library, typed);
            if (matches.size() != 1) refuse(nameMatchNote(typed, matches));
            names.push_back(matches.front());
        }
        std::set<std::string> seen;
        for (const std::string& n : names)
            if (!seen.insert(n).second) refuse("\"" + n + "\" is named twice in the list of methods");
        return names;
    }
    if (!o.surprise && !o.delight && !o.trebleBob)
        refuse("Compose needs its methods: a list of them, or the classes to take them from");
    for (const auto& [name, notation] : library.byName()) {
        if (name.empty() || notation.empty()) continue;
        const char c = name.back();
        if ((o.trebleBob && c == 'B') || (o.delight && c == 'D') || (o.surprise && c == 'S')) names.push_back(name);
    }
    if (names.empty()) refuse("The method library has no methods of the classes asked for");
    return names;
}

bool isOdd(const Row& r) {
    int inversions = 0;
    for (int i = 0; i < BellCount; ++i)
        for (int j = i + 1; j < BellCount; ++j) inversions += r[i] > r[j] ? 1 : 0;
    return inversions % 2 == 1;
}

std::string plural(long long n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

bool tenorsTogetherAt(const Row& leadHead) {
    for (std::size_t i = 0; i < CoursingPlaces.size(); ++i)
        if (leadHead[CoursingPlaces[i]] == 7) return leadHead[CoursingPlaces[(i + 1) % CoursingPlaces.size()]] == 6;
    return false;
}

std::vector<Row> partEndsOfOrder(int n) {
    std::vector<Row> ends;
    if (n == 1) return {Row()};
    Row::Bells b{0, 1, 2, 3, 4, 5, 6, 7};
    do {
        const Row r(b);
        if (PartEnd(r).count() == n) ends.push_back(r);
    } while (std::next_permutation(b.begin() + 1, b.begin() + 6));
    return ends;
}

struct ComposeProblem::Build {
    ComposeProblem& p;
    const ComposeOptions& o;
    // Each method's rows from rounds, row 0 (the lead head) to row 31 (the
    // lead end).
    std::vector<std::array<Row, LeadRows>> rows;
    // By method: the transposition from a lead head to the next under each call.
    std::vector<std::array<Row, 3>> step;
    // The music of every row alone, by row index and stroke (1: backstroke).
    std::vector<std::array<std::int32_t, 2>> rowMusic;

    void readLength();
    void readPartEnds();
    void readMethods(const MethodLibrary& library);
    void reachLeadHeads();
    void readConstraints();
    void scoreRows();
    void buildPartEnd(PartEndTables& t);
    void bound(PartEndTables& t);
};

void ComposeProblem::Build::readPartEnds() {
    if (o.partEnd) {
        const Row& r = *o.partEnd;
        if (r[0] != 0) refuse("The part end " + r.text() + " is no lead head: the treble must lead");
        if (o.tenorsTogether && (r[6] != 6 || r[7] != 7))
            refuse("The part end " + r.text() + " moves the 7 or the 8: with the tenors together they stay home "
                   "(or compose with the tenors split)");
        p.parts_ = PartEnd(r).count();
        p.partEnds_.push_back({});
        p.partEnds_.back().partEnd = PartEnd(r);
        return;
    }
    if (o.parts < 1) refuse("A composition has at least one part");
    const std::vector<Row> ends = partEndsOfOrder(o.parts);
    if (ends.empty())
        refuse("No part end of " + std::to_string(o.parts) +
               " parts keeps the treble, the 7 and the 8 home (bells 2 to 6 make 1, 2, 3, 4, 5 or 6 parts)");
    p.parts_ = o.parts;
    for (const Row& r : ends) {
        p.partEnds_.push_back({});
        p.partEnds_.back().partEnd = PartEnd(r);
    }
}

void ComposeProblem::Build::readLength() {
    if (o.minLength <= 0 || o.maxLength < o.minLength)
        refuse("The length " + std::to_string(o.minLength) + "-" + std::to_string(o.maxLength) +
               " is no range of changes: give the least and the most, the least first");
    const long long perLead = static_cast<long long>(LeadRows) * p.parts_;
    p.minLeads_ = static_cast<int>(ceilDiv(o.minLength, perLead));
    p.maxLeads_ = static_cast<int>(o.maxLength / perLead);
    const std::string parts = plural(p.parts_, "part", "parts");
    if (p.minLeads_ > p.maxLeads_)
        refuse("No composition of " + parts + " has from " + std::to_string(o.minLength) + " to " +
               std::to_string(o.maxLength) + " changes: its length is a whole number of leads of " +
               std::to_string(perLead) + " changes (" + std::to_string((p.maxLeads_) * perLead) + " or " +
               std::to_string((p.maxLeads_ + 1) * perLead) + ")");
    // Every row at most once: the extent is 40320 rows.
    const int most = RowIndexCount / static_cast<int>(perLead);
    if (p.minLeads_ > most)
        refuse("No composition of " + parts + " has " + std::to_string(o.minLength) +
               " changes: the extent has only 40320 rows");
    p.maxLeads_ = std::min(p.maxLeads_, most);
}

void ComposeProblem::Build::readMethods(const MethodLibrary& library) {
    std::set<std::string> notations;
    for (const std::string& name : methodNames(library, o)) {
        const MajorMethod m(name, library);
        if (!m.hasNotation() || m.halfLength() != MajorMethod::HalfLength) continue;
        if (!notations.insert(m.notationText()).second) continue;
        const auto code = LeadHeadCode::fromEitherCase(m.code());
        if (!code) continue;
        p.names_.push_back(name);
        p.codes_.push_back(code->letter());
        std::array<Row, LeadRows> r{};
        for (int i = 0; i < LeadRows; ++i) r[static_cast<std::size_t>(i)] = m.row(i);
        rows.push_back(r);
        std::array<Row, 3> s{};
        for (const Call c : {Call::Plain, Call::Bob, Call::Single})
            s[static_cast<std::size_t>(c)] = code->leadEndRow().times(leadEndChangeRow(c, code->group()));
        step.push_back(s);
    }
    if (p.names_.empty()) refuse("None of the methods is a treble-dodging Major method of the library");
}

// Every lead head reachable from rounds, breadth first, and the next lead
// head of each method and call.
void ComposeProblem::Build::reachLeadHeads() {
    p.calls_ = {Call::Plain, Call::Bob};
    if (o.calls == CallSet::BobsAndSingles) p.calls_.push_back(Call::Single);
    std::vector<std::int16_t> indexOf(RowIndexCount, NoLeadHead);
    p.leadHeads_.push_back(Row());
    indexOf[static_cast<std::size_t>(rowIndex(Row()))] = 0;
    const std::size_t methods = p.names_.size();
    std::vector<std::array<int, 3>> next;
    for (std::size_t h = 0; h < p.leadHeads_.size(); ++h) {
        const Row head = p.leadHeads_[h];
        for (std::size_t m = 0; m < methods; ++m) {
            std::array<int, 3> to{NoLeadHead, NoLeadHead, NoLeadHead};
            for (const Call c : p.calls_) {
                const Row n = head.times(step[m][static_cast<std::size_t>(c)]);
                if (o.tenorsTogether && !tenorsTogetherAt(n)) continue;
                auto& at = indexOf[static_cast<std::size_t>(rowIndex(n))];
                if (at == NoLeadHead) {
                    at = static_cast<std::int16_t>(p.leadHeads_.size());
                    p.leadHeads_.push_back(n);
                }
                to[static_cast<std::size_t>(c)] = at;
            }
            next.push_back(to);
        }
    }
    p.next_.assign(next.size() * 3, NoLeadHead);
    for (std::size_t i = 0; i < next.size(); ++i)
        for (std::size_t c = 0; c < 3; ++c) p.next_[i * 3 + c] = static_cast<std::int16_t>(next[i][c]);
    for (PartEndTables& t : p.partEnds_) {
        const int at = indexOf[static_cast<std::size_t>(rowIndex(t.partEnd.row()))];
        t.target = at == NoLeadHead ? -1 : at;
    }
}

void ComposeProblem::Build::readConstraints() {
    const search::Constraints& c = o.constraints;
    if (const std::string why = c.contradiction(); !why.empty()) refuse("Contradictory constraints: " + why);
    LeadConstraints& k = p.constraints_;
    const int parts = p.parts_;
    const long long perLead = static_cast<long long>(LeadRows) * parts;
    const std::string leadsText = (p.minLeads_ == p.maxLeads_ ? std::to_string(p.maxLeads_)
                                                              : std::to_string(p.minLeads_) + " to " + std::to_string(p.maxLeads_)) +
                                  " leads of " + std::to_string(perLead) + " changes";
    const std::string cannot = "No composition of this length can keep the constraints: ";
    if (c.minEach) {
        if (*c.minEach > perLead * p.maxLeads_)
            refuse(cannot + "at least " + std::to_string(*c.minEach) + " changes of each method, but the composition has " +
                   leadsText);
        k.minEach = static_cast<int>(ceilDiv(*c.minEach, perLead));
    }
    if (c.maxEach) {
        k.maxEach = static_cast<int>(std::min<long long>(p.maxLeads_, *c.maxEach / perLead));
        if (k.maxEach == 0)
            refuse(cannot + "at most " + std::to_string(*c.maxEach) + " changes of each method is less than one lead (" +
                   std::to_string(perLead) + " changes)");
    }
    k.allTheWork = c.allTheWork;
    k.atwWeight = c.atwWeight;
    // A lead starts 7 pieces of work a part: all 49 need 7 leads over all parts.
    if (c.allTheWork) k.minEach = std::max(k.minEach, static_cast<int>(ceilDiv(7, parts)));
    if (k.maxEach > 0 && k.minEach > k.maxEach)
        refuse(cannot + "each method needs at least " + std::to_string(k.minEach) + " leads but may have at most " +
               std::to_string(k.maxEach));
    k.minMethods = c.minMethods.value_or(0);
    k.maxMethods = c.maxMethods.value_or(INT_MAX);
    if (k.minMethods > p.methodCount())
        refuse(cannot + "at least " + std::to_string(k.minMethods) + " methods, but only " +
               std::to_string(p.methodCount()) + " are Major methods to choose from");
    if (static_cast<long long>(k.minMethods) * std::max(1, k.minEach) > p.maxLeads_)
        refuse(cannot + "at least " + std::to_string(k.minMethods) + " methods of at least " +
               plural(std::max(1, k.minEach), "lead", "leads") + " each, but the composition has " + leadsText);
    if (k.maxEach > 0 && static_cast<long long>(k.maxEach) * std::min(k.maxMethods, p.methodCount()) < p.minLeads_)
        refuse(cannot + "at most " + std::to_string(std::min(k.maxMethods, p.methodCount())) + " methods of at most " +
               plural(k.maxEach, "lead", "leads") + " each cannot ring " + leadsText);
    k.minCom = c.minChangesOfMethod.value_or(0);
    k.maxCom = c.maxChangesOfMethod.value_or(LLONG_MAX);
    k.comWeight = c.comWeight;
    const long long mostCom = static_cast<long long>(p.maxLeads_ - 1) * parts + parts - 1;
    if (k.minCom > mostCom)
        refuse(cannot + "at least " + std::to_string(k.minCom) + " changes of method, but " + leadsText + " in " +
               plural(parts, "part", "parts") + " have at most " + std::to_string(mostCom));
    if (c.balancePercent) k.balancePercent = *c.balancePercent;
    k.bobWeight = c.bobWeight * parts;
    k.singleWeight = c.singleWeight * parts;
}

// The music of every row alone, scored once by the table under one part;
// a row's music over all parts is the sum over its images.
void ComposeProblem::Build::scoreRows() {
    rowMusic.assign(RowIndexCount, {0, 0});
    if (!p.music_) return;
    const PartEnd onePart(Row{});
    for (int i = 0; i < RowIndexCount; ++i) {
        const RowKey key{rowOfIndex(i).value()};
        rowMusic[static_cast<std::size_t>(i)] = {p.music_->scoreRow(onePart, key, false),
                                                 p.music_->scoreRow(onePart, key, true)};
    }
}

void ComposeProblem::Build::buildPartEnd(PartEndTables& t) {
    const std::size_t heads = p.leadHeads_.size();
    const std::size_t methods = p.names_.size();
    // The music of each key over all parts, by stroke.
    std::vector<std::array<std::int32_t, 2>> keyMusic(RowIndexCount, {0, 0});
    for (int i = 0; i < RowIndexCount; ++i) {
        int keyIndex = 0;
        rowKey(t.partEnd, rowOfIndex(i), keyIndex);
        auto& k = keyMusic[static_cast<std::size_t>(keyIndex)];
        k[0] += rowMusic[static_cast<std::size_t>(i)][0];
        k[1] += rowMusic[static_cast<std::size_t>(i)][1];
    }
    t.keys.assign(heads * methods * LeadRows, 0);
    t.music.assign(heads * methods, Unreachable);
    std::array<RowKey, LeadRows> keys{};
    std::array<std::uint16_t, LeadRows> indexes{};
    std::vector<std::uint32_t> seen(RowIndexCount, 0);
    std::uint32_t stamp = 0;
    for (std::size_t h = 0; h < heads; ++h)
        for (std::size_t m = 0; m < methods; ++m) {
            rowKeysOfProducts(t.partEnd, p.leadHeads_[h], rows[m].data(), LeadRows, keys.data(), indexes.data());
            const std::size_t node = h * methods + m;
            std::copy(indexes.begin(), indexes.end(), t.keys.begin() + static_cast<std::ptrdiff_t>(node * LeadRows));
            ++stamp;
            bool isTrue = true;
            long long music = 0;
            for (int i = 0; i < LeadRows; ++i) {
                const std::uint16_t k = indexes[static_cast<std::size_t>(i)];
                if (seen[k] == stamp) isTrue = false;
                seen[k] = stamp;
                // Row 0, the lead head, is at backstroke.
                music += keyMusic[k][i % 2 == 0 ? 1 : 0];
            }
            if (isTrue) t.music[node] = static_cast<std::int32_t>(std::clamp<long long>(music, -1000000, 1000000));
        }
    t.work.assign(heads, 0);
    for (std::size_t h = 0; h < heads; ++h) {
        Row head = p.leadHeads_[h];
        std::uint64_t w = 0;
        for (int part = 0; part < p.parts_; ++part) {
            for (int place = 1; place < BellCount; ++place) w |= std::uint64_t{1} << (7 * (head[place] - 1) + place - 1);
            head = t.partEnd.onePartOn(head);
        }
        t.work[h] = w;
    }
}

// best[d][h]: the most music and call weight that leads d + 1 .. L (L from
// minLeads to maxLeads) can add from lead head h when the part comes round
// after lead L, each lead's rows ignored.
void ComposeProblem::Build::bound(PartEndTables& t) {
    const std::size_t heads = p.leadHeads_.size();
    const std::size_t methods = p.names_.size();
    const int most = p.maxLeads_;
    // exact[k][h]: the most over k leads from h that end at the part end.
    std::vector<std::int32_t> exact(static_cast<std::size_t>(most + 1) * heads, Unreachable);
    if (t.target >= 0) exact[static_cast<std::size_t>(t.target)] = 0;
    for (int k = 1; k <= most; ++k) {
        const std::int32_t* before = &exact[static_cast<std::size_t>(k - 1) * heads];
        std::int32_t* now = &exact[static_cast<std::size_t>(k) * heads];
        for (std::size_t h = 0; h < heads; ++h) {
            std::int32_t best = Unreachable;
            for (std::size_t m = 0; m < methods; ++m) {
                const std::int32_t music = t.music[h * methods + m];
                if (music == Unreachable) continue;
                for (const Call c : p.calls_) {
                    const int n = p.next_[(h * methods + m) * 3 + static_cast<std::size_t>(c)];
                    if (n == NoLeadHead || before[n] == Unreachable) continue;
                    const long long v = static_cast<long long>(music) + p.callWeight(c) + before[n];
                    best = std::max<std::int32_t>(best, static_cast<std::int32_t>(std::clamp<long long>(v, -100000000, 100000000)));
                }
            }
            now[h] = best;
        }
    }
    t.best.assign(static_cast<std::size_t>(most + 1) * heads, Unreachable);
    for (int d = 0; d <= most; ++d)
        for (std::size_t h = 0; h < heads; ++h) {
            std::int32_t best = Unreachable;
            for (int k = std::max(0, p.minLeads_ - d); k <= most - d; ++k)
                best = std::max(best, exact[static_cast<std::size_t>(k) * heads + h]);
            t.best[static_cast<std::size_t>(d) * heads + h] = best;
        }
}

std::size_t ComposeProblem::memoryBytes() const {
    std::size_t bytes = next_.capacity() * sizeof(std::int16_t) + leadHeads_.capacity() * sizeof(Row);
    for (const PartEndTables& t : partEnds_)
        bytes += t.keys.capacity() * 2 + t.music.capacity() * 4 + t.best.capacity() * 4 + t.work.capacity() * 8;
    return bytes;
}

ComposeProblem ComposeProblem::build(const MethodLibrary& library, const ComposeOptions& options) {
    ComposeProblem p;
    Build b{p, options, {}, {}, {}};
    if (options.count < 1) refuse("At least one composition must be asked for");
    p.splice_ = options.splice;
    p.tenorsTogether_ = options.tenorsTogether;
    p.count_ = options.count;
    p.library_ = &library;
    p.music_ = options.music;
    if (const std::string why = options.constraints.contradiction(); !why.empty()) refuse("Contradictory constraints: " + why);
    b.readPartEnds();
    b.readLength();
    b.readMethods(library);
    b.readConstraints();
    b.reachLeadHeads();
    // The tables' size is known before they are built.
    const std::size_t perPartEnd = p.leadHeads_.size() * p.names_.size() * (LeadRows * 2 + 4) +
                                   p.leadHeads_.size() * (static_cast<std::size_t>(p.maxLeads_ + 1) * 4 + 8);
    const std::size_t need = perPartEnd * p.partEnds_.size() + p.next_.size() * 2;
    if (need > TableMemoryLimit)
        refuse("Compose's tables would take " + std::to_string(need >> 20) + " MB for " +
               std::to_string(p.names_.size()) + " methods, " + std::to_string(p.leadHeads_.size()) + " lead heads and " +
               plural(static_cast<long long>(p.partEnds_.size()), "part end", "part ends") + " (at most " +
               std::to_string(TableMemoryLimit >> 20) + " MB): name fewer methods or one part end");
    b.scoreRows();
    bool any = false;
    for (PartEndTables& t : p.partEnds_) {
        if (t.target < 0) continue;
        b.buildPartEnd(t);
        b.bound(t);
        any = any || t.best[static_cast<std::size_t>(p.rounds())] != Unreachable;
    }
    if (!any) {
        std::string ends;
        for (std::size_t i = 0; i < p.partEnds_.size() && i < 3; ++i)
            ends += (i > 0 ? ", " : "") + p.partEnds_[i].partEnd.row().text();
        if (p.partEnds_.size() > 3) ends += ", ...";
        // Plain leads and bobs are even transpositions of a lead head; a
        // single is odd.
        bool odd = false;
        for (const PartEndTables& t : p.partEnds_) odd = odd || isOdd(t.partEnd.row());
        const std::string hint = options.calls == CallSet::Bobs && odd
                                     ? " (plain leads and bobs keep the lead heads even: an odd part end needs singles)"
                                     : "";
        refuse("No calling of these methods comes round at the part end (" + ends + ") in " +
               (p.minLeads_ == p.maxLeads_ ? std::to_string(p.minLeads_) : std::to_string(p.minLeads_) + " to " + std::to_string(p.maxLeads_)) +
               " leads a part" + hint);
    }
    // Part ends that cannot come round are not searched.
    std::erase_if(p.partEnds_, [&p](const PartEndTables& t) {
        return t.target < 0 || t.best[static_cast<std::size_t>(p.rounds())] == Unreachable;
    });
    return p;
}

}  // namespace quarnel::compose
