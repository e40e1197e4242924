#pragma once
// What a Compose looks for and how long it may look: the methods (a list of
// names, or the named methods of the classes allowed), the composer's
// constraints (search/constraints.h, the same as Fill's), the length, the
// parts (a part end, or a number of parts whose part ends the search tries),
// the calls, where the methods may change, tenors together, how many
// compositions to keep, the music table and the limits of the search.
#include <optional>
#include <string>
#include <utility>

#include "composition/music.h"
#include "ringing/row.h"
#include "search/constraints.h"
#include "search/search_limits.h"

namespace quarnel::compose {

// The calls a composition may use: 14 bobs, or 14 bobs and 1234 singles.
enum class CallSet { Bobs, BobsAndSingles };

// Where the method may change: at every lead end, or only at a lead end
// with a call. With more than one part the join from the last lead of a
// part to the first of the next is a lead end like any other: the method
// changes there only when the last lead ends with a call.
enum class Splice { EveryLead, AtCalls };

// The usual lengths: a quarter peal (1250 to 1300 changes) and a peal
// (5000 to 5200).
inline constexpr std::pair<int, int> QuarterPealLength{1250, 1300};
inline constexpr std::pair<int, int> PealLength{5000, 5200};

struct ComposeOptions {
    // The composer's constraints; its list of methods, when given, names the
    // methods and the classes below are not read.
    search::Constraints constraints;
    // Without a list: the library's named methods of these classes.
    bool surprise = false, delight = false, trebleBob = false;
    // The changes of the whole composition, over all its parts.
    int minLength = 0, maxLength = 0;
    // The part end (the treble leading, and with tenors together the 7 and
    // 8 home); without one, every part end of `parts` parts that keeps the
    // 7 and 8 home is tried. One part: the part end is rounds.
    std::optional<Row> partEnd;
    int parts = 1;
    CallSet calls = CallSet::Bobs;
    Splice splice = Splice::EveryLead;
    // Every lead head has the 7 coursing after the 8, so that the course
    // heads have the tenors home and the composition reads as a course
    // layout.
    bool tenorsTogether = true;
    // The best compositions kept and reported (the search prunes by the
    // worst of them once it has this many).
    int count = 10;
    // At most one composition of each calling (the part end and the
    // positions of the calls course by course, as the list shows it): the
    // best of its methods, so that the compositions kept differ in their
    // calls rather than in the methods of a few leads.
    bool onePerCalling = false;
    search::SearchLimits limits;
    // The music table the compositions are scored with; none: all music 0.
    std::optional<MusicTable> music;
};

// Reads a length as a composer types it: "qp" (1250-1300), "peal"
// (5000-5200), "MIN-MAX" or a single number of changes. Nothing, with the
// reason in why, for any other text, a range that falls ("5200-5000") or a
// length of no changes.
std::optional<std::pair<int, int>> readLength(const std::string& text, std::string& why);

}  // namespace quarnel::compose
