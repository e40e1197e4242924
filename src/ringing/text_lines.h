#pragma once
// Reading the system's text files line by line. A carriage return before the
// line feed is dropped, so files written on Windows read the same everywhere.
#include <istream>
#include <string>

namespace quarnel {

// Reads the next line into line, without its line end. Keeps at most
// keepLimit characters of a longer line (the rest of it is read and
// dropped), so that a file without line ends cannot exhaust memory; a line
// cut so is one character longer than keepLimit. Returns false at the end of
// the input when nothing was read. A last line without a line end is read.
bool readTextLine(std::istream& in, std::string& line, std::size_t keepLimit = 4096);

}  // namespace quarnel
