#pragma once
// quarnel-cli layout FILE [--lead-heads]: a composition written as composers
// publish it (a course layout, or a lead list with lead heads), and the
// lines prove adds (course heads and calling).
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/options.h"
#include "composition/layout_text.h"

namespace quarnel {
class Composition;
class MethodLibrary;
}  // namespace quarnel

namespace quarnel::cli {

// The published layout (composition/layout_text.h), as this command writes it.
using quarnel::layoutText;

// The course heads of the part and the calling by positions, e.g.
// "Course heads: 23456 45236" and "Calling: W H sB".
void writeCallingLines(std::ostream& out, const Composition& composition);

// quarnel-cli layout FILE [--lead-heads]. Returns the exit status (1 when
// the file does not read).
int layoutCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace quarnel::cli
