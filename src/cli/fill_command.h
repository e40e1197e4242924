#pragma once
// quarnel-cli fill: searches every empty lead of a composition for a true
// set of methods with the most music and writes the filled composition.
#include <iosfwd>

#include "cli/options.h"

namespace quarnel::cli {

// The command's options and help.
const CommandTable& fillTable();

// Returns the exit status: ExitDone with a fill, ExitNoTrueFill when no true
// fill exists, ExitNoFillWithinLimits when a limit came first, ExitBadInput
// for bad input.
int fillCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace quarnel::cli
