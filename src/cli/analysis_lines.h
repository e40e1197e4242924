#pragma once
// The analysis lines that `prove` prints after its figures: all-the-work,
// the method balance and, with a music file, the counts of each definition.
#include <iosfwd>
#include <string>

namespace quarnel {
class Composition;
class MusicTable;
}  // namespace quarnel

namespace quarnel::cli {

// Writes the lines to out. A music table without definitions gets a message
// on err naming the music file, and no lines at all: false.
bool writeAnalysisLines(std::ostream& out, std::ostream& err, const Composition& composition, const MusicTable* music,
                        const std::string& musicFile);

}  // namespace quarnel::cli
