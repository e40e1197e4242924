#pragma once
// quarnel-cli compose: searches the calling and the methods together and
// writes the best compositions found as course layouts (and, with --out, as
// composition files).
#include <iosfwd>

#include "cli/options.h"

namespace quarnel::cli {

// The command's options and help.
const CommandTable& composeTable();

// Returns the exit status: ExitDone with compositions, ExitNoTrueFill when
// the search ran to its end without one, ExitNoFillWithinLimits when a limit
// came first, ExitBadInput for bad input.
int composeCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace quarnel::cli
