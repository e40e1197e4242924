#pragma once
// Writing a composition as composers publish it: a course layout (course
// heads, calls under calling positions, a Methods column and key for
// spliced) when every course head has the tenors home and the layout reads
// back to the same leads, otherwise a lead list with lead heads. What is
// written reads back with readLayout (composition/layout_reader.h).
#include <string>

#include "ringing/row.h"

namespace quarnel {

class Composition;
class MethodLibrary;

// The published layout of a composition: the course layout when every
// course head has the tenors home and the calls read back to the same
// leads, otherwise (or with leadHeads) the lead list. Empty for no leads.
std::string layoutText(const Composition& composition, const MethodLibrary& library, bool leadHeads);

// How a course head is printed: bells 2 to 6 when the tenors are home,
// otherwise 2 to 8.
std::string courseHeadText(const Row& row);

}  // namespace quarnel
