#pragma once
// quarnel-cli library import CCCBR_methods.xml DIR: the Surprise, Delight and
// Treble Bob Major methods of the Central Council's library, written as the
// library files S8, D8 and T8 in DIR.
#include <iosfwd>
#include <string>
#include <vector>

namespace quarnel::cli {

// words: "library", "import", the XML file and the folder. Returns the exit
// status; nothing is written unless the whole file reads.
int libraryCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

}  // namespace quarnel::cli
