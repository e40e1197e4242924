#pragma once
// quarnel-cli layout FILE [--lead-heads]: a composition written as composers
// publish it (a course layout, or a lead list with lead heads), and the
// lines prove adds (course heads and calling).
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/options.h"

namespace quarnel {
class Composition;
class MethodLibrary;
}  // namespace quarnel

namespace quarnel::cli {

// The published layout of a composition: the course layout when every
// course head has the tenors home and the calls read back to the same
// leads, otherwise (or with leadHeads) the lead list.
std::string layoutText(const Composition& composition, const MethodLibrary& library, bool leadHeads);

// The course heads of the part and the calling by positions, e.g.
// "Course heads: 23456 45236" and "Calling: W H sB".
void writeCallingLines(std::ostream& out, const Composition& composition);

// quarnel-cli layout FILE [--lead-heads]. Returns the exit status (1 when
// the file does not read).
int layoutCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace quarnel::cli
