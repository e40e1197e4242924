#pragma once
// One run of quarnel-cli in the test's own process: its exit status and
// what it wrote to standard output and standard error, with no input.
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace quarnel::test {

struct CliRun {
    int status = 0;
    std::string out;
    std::string err;
};

inline CliRun runCli(const std::vector<std::string>& args) {
    std::istringstream in;
    std::ostringstream out, err;
    CliRun r;
    r.status = cli::run(args, in, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

}  // namespace quarnel::test
