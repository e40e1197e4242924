#pragma once
// The figures that composition libraries print under a composition: how many
// rows of each music definition it has, how many changes of each method,
// how many changes of method, and whether it is all-the-work. Everything here
// is computed when asked for, from the composition's committed methods over
// all parts; nothing is kept or updated while candidates are tried.
//
// A row is counted once per definition at its stroke (the lead head at
// backstroke, the lead end at handstroke), in every part, exactly as the
// music score counts it: the scores of all definitions add up to the
// composition's music. A method is told apart by its notation text.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace quarnel {

class Composition;
class Method;
class MusicTable;

struct MusicCount {
    std::string title;    // the definition's title line as written
    long long rows = 0;   // rows that match at least one of its patterns
    long long score = 0;  // what those rows add to the music score
};

// One count per definition of the table, in file order, for the whole
// composition.
std::vector<MusicCount> musicCounts(const Composition& composition, const MusicTable& music);
// The same for lead n rung to the method (its committed method or a
// candidate); with no usable method, the lead head and lead end alone. Empty
// counts for a lead number outside the composition.
std::vector<MusicCount> leadMusicCounts(const Composition& composition, int n, const Method* method,
                                        const MusicTable& music);

inline constexpr int WorkingBells = 7;  // bells 2 to 8, each with 7 starts
inline constexpr int PiecesPerMethod = WorkingBells * WorkingBells;

struct MethodFigures {
    std::string notation;  // what tells the method apart
    std::string name;      // the library name, or the notation text when it has none
    int leads = 0;         // leads of one part rung to it
    long long changes = 0; // leads × lead length × parts
    // starts[b]: bit p is set when bell b (index; 1 to 7 are the working
    // bells) starts a lead in place p (0-based) in this method.
    std::array<std::uint8_t, 8> starts{};

    int piecesRung() const;
    bool allTheWork() const { return piecesRung() == PiecesPerMethod; }
};

struct MethodBalance {
    // Most changes first; equal ones in byte order of the name.
    std::vector<MethodFigures> methods;
    // Between consecutive leads over all parts, the last lead of a part to
    // the first of the next included; a lead without a method is no method.
    long long changesOfMethod = 0;

    int piecesRung() const;
    int piecesPossible() const { return PiecesPerMethod * static_cast<int>(methods.size()); }
    bool allTheWork() const { return piecesRung() == piecesPossible(); }
};

MethodBalance methodBalance(const Composition& composition);

// The changes of method in parts of leads whose methods (notation texts,
// empty for none) are given in order.
long long changesOfMethod(const std::vector<std::string>& leadMethods, int parts);

// Which bells miss which starts: "2 misses 3 5; 7 misses 8", or "" when the
// method has all the work. Bells and starts are written as bell symbols.
std::string missingWork(const MethodFigures& method);

}  // namespace quarnel
