// quarnel-cli: the composing aid's core from the command line.
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return quarnel::cli::run(args, std::cin, std::cout, std::cerr);
}
