#pragma once
// quarnel-cli import FILE [--method NAME]: a composition as composers publish
// it (course layout, lead list or method strings with a key) written as the
// composition file Save writes.
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/options.h"

namespace quarnel::cli {

// quarnel-cli import FILE [--method NAME]. Returns the exit status: 1 with a
// message naming the line when the text does not read, its printed rows
// differ from what the calling rings, or a method is false.
int importCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace quarnel::cli
