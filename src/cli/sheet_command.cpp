#include "cli/sheet_command.h"

#include "cli/inputs.h"

#include <charconv>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <set>

#include "composition/composition.h"
#include "composition/music.h"
#include "methods/library_location.h"
#include "methods/major_method.h"
#include "methods/method_library.h"
#include "methods/name_matching.h"
#include "ringing/model_error.h"
#include "ringing/notation_forms.h"
#include "session/blue_line.h"
#include "session/sheet.h"
#include "ui/page_writer.h"

namespace quarnel::cli {
namespace {

int write(const std::vector<Page>& pages, const std::string& path, PaperFormat format, const std::string& title,
          std::ostream& err) {
    const std::string failure = writePaper(pages, path, format, title);
    if (failure.empty()) return ExitDone;
    err << failure << "\n";
    return ExitBadInput;
}

}  // namespace

const CommandTable& sheetTable() {
    static const CommandTable table = {
        "sheet", "FILE", 1, "  the composition sheet as a PDF: layout, figures, music, blue lines\n",
        {MusicOption,
         {"--composer", "TEXT", "the composer's line under the title", ValueKind::Text},
         {"--letter", "", "US Letter paper instead of A4"},
         {"-o", "OUT.pdf", "the PDF file to write", ValueKind::Text, {}, 0, 0, true},
         LibraryOption},
        UsageShown::Synopsis};
    return table;
}

const CommandTable& lineTable() {
    static const CommandTable table = {
        "line", "TEXT", 1, "  the blue line of a method (a library name or place notation)\n",
        {{"--leads", "N", "how many leads of the plain course (1 to 8)", ValueKind::Whole, "a whole number from 1 to 8", 1, 8},
         {"--plain-course", "", "the whole plain course"},
         {"--no-numbers", "", "the blue line without the rows' figures"},
         {"-o", "OUT", "the SVG, PNG or PDF file to write", ValueKind::Text, {}, 0, 0, true},
         LibraryOption},
        UsageShown::Synopsis};
    return table;
}

int sheetCommand(const CommandLine& line, std::ostream&, std::ostream& err) {
    const std::string output = *line.text("-o");
    if (paperFormatOf(output) != PaperFormat::Pdf) {
        err << "A sheet is written as a PDF: " << output << " does not end in .pdf\n";
        return ExitBadInput;
    }
    auto inputs = readInputs(line, err);
    if (!inputs) return ExitBadInput;
    if (inputs->music && inputs->music->definitions().empty()) {
        err << "No music definitions in " << *line.text(MusicOption.name) << "\n";
        return ExitBadInput;
    }
    const std::string& file = line.words[0];
    if (inputs->composition->leadCount() == 0) {
        err << "No composition in " << file << ": it has no leads\n";
        return ExitBadInput;
    }
    SheetOptions options;
    options.paper = line.flag("--letter") ? Letter : A4;
    if (const auto composer = line.text("--composer")) options.composer = *composer;
    const std::vector<Page> pages = compositionSheet(*inputs->composition, MethodLibrary::instance(),
                                                     inputs->music ? &*inputs->music : nullptr, options);
    return write(pages, output, PaperFormat::Pdf, file, err);
}

int lineCommand(const CommandLine& line, std::ostream&, std::ostream& err) {
    if (line.text("--leads") && line.flag("--plain-course")) {
        err << "--leads and --plain-course do not go together\n";
        return ExitBadInput;
    }
    const std::string output = *line.text("-o");
    const auto format = paperFormatOf(output);
    if (!format) {
        err << "A blue line is written as an SVG, a PNG or a PDF: " << output << " ends in none of .svg, .png, .pdf\n";
        return ExitBadInput;
    }
    BlueLineOptions options;
    options.numbers = !line.flag("--no-numbers");
    if (const auto leads = line.whole("--leads")) options.leads = static_cast<int>(*leads);
    loadLibrary(line);
    const auto text = methodText(line.words[0], err);
    if (!text) return ExitBadInput;
    const MajorMethod method(*text);
    const std::string title = blueLineTitle(method, MethodLibrary::instance());
    const BlueLine blue = blueLine(method, title, options);
    if (blue.figure.items.empty()) {
        err << "No blue line for " << line.words[0] << ": its lead-head code has no lead end\n";
        return ExitBadInput;
    }
    return write({blueLinePage(blue)}, output, *format, title, err);
}

}  // namespace quarnel::cli
