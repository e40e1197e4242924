#pragma once
// quarnel-cli sheet FILE [--music MUSIC] [--composer TEXT] [--letter] -o OUT.pdf:
// the composition sheet (session/sheet.h) as a PDF.
// quarnel-cli line NAME|NOTATION [--leads N | --plain-course] [--no-numbers]
// -o OUT.svg|OUT.png|OUT.pdf: the blue line of one method (session/blue_line.h).
// Built only with Qt (QUARNEL_BUILD_UI): the files are painted by ui/page_writer.h.
#include <iosfwd>
#include <string>
#include <vector>

namespace quarnel::cli {

// args: the whole command line, "sheet" first. Returns the exit status: 0
// written, 1 an input that does not read or a file that cannot be written,
// 2 a command line that is not understood.
int sheetCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// args: the whole command line, "line" first.
int lineCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quarnel::cli
