#pragma once
// The options of the composer's constraints and of a search's limits, which
// Fill and Compose both take: one set of names, values and help, read one
// way into search::Constraints and search::SearchLimits.
#include <iosfwd>
#include <vector>

#include "cli/options.h"
#include "search/constraints.h"
#include "search/search_limits.h"

namespace quarnel::cli {

// --methods to --single-weight, in the order help lists them.
const std::vector<Option>& constraintOptions();
// --threads, --time-limit and --node-limit.
const std::vector<Option>& limitOptions();

// The constraints of the command line, the numbers already checked against
// the table. False, after a message, when --methods is given with one of the
// class options named, or the constraints contradict each other.
bool readConstraints(const CommandLine& line, const std::vector<Option>& classOptions, search::Constraints& k,
                     std::ostream& err);
// The limits of the command line; those not given keep their value.
void readLimits(const CommandLine& line, search::SearchLimits& limits);

}  // namespace quarnel::cli
