#pragma once
// quarnel-cli fill: searches every empty lead of a composition for a true
// set of methods with the most music and writes the filled composition.
#include <iosfwd>
#include <string>
#include <vector>

namespace quarnel::cli {

// The command line starts with the word "fill"; returns the exit status:
// 0 with a fill, 2 when no true fill exists, 3 when a limit came first, 1
// for bad input.
int fillCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quarnel::cli
