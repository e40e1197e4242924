#pragma once
// A composition written as composers publish it: the course layout (course
// heads, calls under their positions, the methods of each course, "N part",
// the method key and what it contains), or the lead list with lead heads.
// Used by quarnel-cli layout and by the composition sheet.
#include <string>

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

// How a course head is printed: bells 2 to 6 when the tenors are home,
// otherwise 2 to 8.
std::string courseHeadText(const Row& row);

}  // namespace quarnel
