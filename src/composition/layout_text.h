#pragma once
// A composition written as composers publish it: the course layout (course
// heads, calls under their positions, the methods of each course, "N part",
// the method key and what it contains), or the lead list with lead heads.
// Used by quarnel-cli layout and by the composition sheet.
#include <cstddef>
#include <string>
#include <vector>

#include "composition/calling.h"
#include "ringing/call.h"
#include "ringing/row.h"

namespace quarnel {

class Composition;
class MethodLibrary;

// The published layout of a composition: the course layout when every
// course head has the tenors home and the calls read back to the same
// leads, otherwise (or with leadHeads) the lead list. Its first line is the
// title ("5024 Spliced Surprise Major (4m)"), with "Composed by A. B. Smith"
// under it when the composition names its composer. Empty for no leads.
std::string layoutText(const Composition& composition, const MethodLibrary& library, bool leadHeads);

// A line of the course layout: the courses it covers (the first, then
// courses of one call each repeating its last call at the same position,
// as "2" under H writes two courses of a bob at H) and its calls. The
// layout writer and the course view group courses alike.
struct LayoutLine {
    std::size_t firstCourse = 0;
    std::size_t courses = 1;
    std::vector<CallAt> calls;  // the first course's calls
    int repeats = 1;            // how many times the last call is made
};
std::vector<LayoutLine> layoutLines(const CompositionCalling& calling);
// A call's cell in the layout: "-" for a bob, "s" for a single; a call made
// count times in a row, "3" or "s2".
std::string callCell(Call call, int count);

// How a course head is printed: bells 2 to 6 when the tenors are home,
// otherwise 2 to 8.
std::string courseHeadText(const Row& row);

}  // namespace quarnel
