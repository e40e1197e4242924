#pragma once
// The subcommands of quarnel-cli, callable from tests with their own streams.
#include <iosfwd>
#include <string>
#include <vector>

namespace quarnel::cli {

// Runs one command line (without the program name); returns the exit status.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace quarnel::cli
