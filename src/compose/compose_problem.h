#pragma once
// The problem a Compose solves, built once and never changed after. A lead
// of a composition is a lead node: its lead head (the treble leading), its
// method and the call at its lead end. The lead head and the method fix the
// lead's 32 rows; the method's code and the call fix the next lead head.
//
// Built here: the methods and their rows; every lead head the methods and
// calls reach from rounds (with tenors together only those with the 7
// coursing after the 8), numbered, with the next lead head of each method
// and call; and for each part end tried, the rows of every lead over all
// parts as flat key indices (a row and its images in the other parts are
// one key, as the composition's falseness register keeps them), each
// lead's music over all parts, and a table of the most that the leads
// still to ring can add from each lead head at each depth while coming
// round at the part end within the length (ignoring truth): it says both
// whether a lead head can still come round and what bounds the rest.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "compose/compose_options.h"
#include "ringing/call.h"
#include "ringing/part_end.h"
#include "ringing/row.h"

namespace quarnel {
class MethodLibrary;
}

namespace quarnel::compose {

inline constexpr int LeadRows = 32;
// No lead head: the call leads where the search may not go (tenors parted).
inline constexpr std::int16_t NoLeadHead = -1;
// A bound no path reaches: the part end cannot come round from here. Far
// enough from the int32 limits that sums of a few of them do not overflow.
inline constexpr std::int32_t Unreachable = INT32_MIN / 4;
// The most the tables of one problem may take.
inline constexpr std::size_t TableMemoryLimit = std::size_t{512} << 20;

// The tables of one part end.
struct PartEndTables {
    PartEnd partEnd;
    // The lead-head index of the part end: a part comes round when the
    // next lead head is this one.
    int target = 0;
    // By node (leadHead × methods + method): LeadRows key indices, the
    // lead's rows in order from its lead head to its lead end.
    std::vector<std::uint16_t> keys;
    // By node: the lead's music over all parts, or Unreachable when the
    // lead rings a row twice over the parts.
    std::vector<std::int32_t> music;
    // By depth (leads rung) × leadHeads + lead head: the most the leads
    // still to ring (music and call weights) can add from the lead head,
    // coming round within the length; Unreachable when they cannot.
    std::vector<std::int32_t> best;
    // By lead head: the pieces of work it starts over all parts, bit
    // 7 × (bell - 1) + (place - 1) for bells and places 2 to 8.
    std::vector<std::uint64_t> work;
};

// The composer's constraints in the units the search counts: leads of one
// part for each method's share.
struct LeadConstraints {
    int minEach = 0;  // leads of each method used
    int maxEach = 0;  // 0: no limit
    int minMethods = 0, maxMethods = INT_MAX;
    int balancePercent = -1;  // -1: none
    bool allTheWork = false;
    long long atwWeight = 0;
    long long minCom = 0, maxCom = LLONG_MAX, comWeight = 0;
    // Per call, over all parts.
    long long bobWeight = 0, singleWeight = 0;
};

class ComposeProblem {
public:
    // Reads the options against the library. Throws ModelError with a
    // message a composer can act on when a method is no library method, the
    // length or part end cannot be had, the constraints contradict each
    // other or cannot be kept in the length, or no calling of the methods
    // comes round within the length.
    static ComposeProblem build(const MethodLibrary& library, const ComposeOptions& options);

    int methodCount() const { return static_cast<int>(names_.size()); }
    // The library name ("Cambridge S") and the code letter (upper case).
    const std::string& methodName(int m) const { return names_[static_cast<std::size_t>(m)]; }
    char methodCode(int m) const { return codes_[static_cast<std::size_t>(m)]; }

    int leadHeadCount() const { return static_cast<int>(leadHeads_.size()); }
    const Row& leadHead(int h) const { return leadHeads_[static_cast<std::size_t>(h)]; }
    // The lead-head index of rounds, where every part's first lead starts.
    int rounds() const { return 0; }
    // The lead head after a lead of method m from lead head h with the call,
    // or NoLeadHead.
    int next(int h, int m, Call call) const {
        return next_[(static_cast<std::size_t>(h) * names_.size() + static_cast<std::size_t>(m)) * 3 +
                     static_cast<std::size_t>(call)];
    }

    int partEndCount() const { return static_cast<int>(partEnds_.size()); }
    const PartEndTables& partEnd(int p) const { return partEnds_[static_cast<std::size_t>(p)]; }
    int parts() const { return parts_; }
    // Leads of one part: every composition has from minLeads to maxLeads.
    int minLeads() const { return minLeads_; }
    int maxLeads() const { return maxLeads_; }
    const std::vector<Call>& calls() const { return calls_; }
    Splice splice() const { return splice_; }
    bool tenorsTogether() const { return tenorsTogether_; }
    int count() const { return count_; }
    const LeadConstraints& constraints() const { return constraints_; }
    // The objective's weight of a call over all parts.
    long long callWeight(Call call) const {
        return call == Call::Bob ? constraints_.bobWeight : call == Call::Single ? constraints_.singleWeight : 0;
    }
    const std::optional<MusicTable>& music() const { return music_; }
    // The library the methods were read from (it must outlive the problem).
    const MethodLibrary& library() const { return *library_; }

    // Bytes held by the tables.
    std::size_t memoryBytes() const;

private:
    struct Build;

    std::vector<std::string> names_;
    std::vector<char> codes_;
    std::vector<Row> leadHeads_;
    std::vector<std::int16_t> next_;
    std::vector<PartEndTables> partEnds_;
    int parts_ = 1;
    int minLeads_ = 0, maxLeads_ = 0;
    std::vector<Call> calls_;
    Splice splice_ = Splice::EveryLead;
    bool tenorsTogether_ = true;
    int count_ = 10;
    LeadConstraints constraints_;
    std::optional<MusicTable> music_;
    const MethodLibrary* library_ = nullptr;
};

// Whether the 7 courses after the 8 at a lead head (the treble leading):
// in the coursing order of the places 2, 4, 6, 8, 7, 5, 3 (round again),
// the bell after the 8 is the 7.
bool tenorsTogetherAt(const Row& leadHead);

// The part ends of n parts that keep the treble, the 7 and the 8 home, in
// row order (rounds alone for one part).
std::vector<Row> partEndsOfOrder(int n);

}  // namespace quarnel::compose
