#pragma once
// quarnel-cli library import CCCBR_methods.xml DIR: the Surprise, Delight and
// Treble Bob Major methods of the Central Council's library, written as the
// library files S8, D8 and T8 in DIR.
#include <iosfwd>

#include "cli/options.h"

namespace quarnel::cli {

// The command's options and help.
const CommandTable& libraryTable();

// Words: "import", the XML file and the folder. Returns the exit status;
// nothing is written unless the whole file reads.
int libraryCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace quarnel::cli
