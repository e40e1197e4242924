#pragma once
// quarnel-cli sheet FILE [--music MUSIC] [--composer TEXT] [--letter] -o OUT.pdf:
// the composition sheet (session/sheet.h) as a PDF.
// quarnel-cli line TEXT [--leads N | --plain-course] [--no-numbers]
// -o OUT.svg|OUT.png|OUT.pdf: the blue line of one method (session/blue_line.h).
// Built only with Qt (QUARNEL_BUILD_UI): the files are painted by ui/page_writer.h.
#include <iosfwd>

#include "cli/options.h"

namespace quarnel::cli {

const CommandTable& sheetTable();
const CommandTable& lineTable();

// Each returns the exit status: 0 written, 1 an input that does not read or
// a file that cannot be written.
int sheetCommand(const CommandLine& line, std::ostream& out, std::ostream& err);
int lineCommand(const CommandLine& line, std::ostream& out, std::ostream& err);

}  // namespace quarnel::cli
