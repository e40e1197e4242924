#include "cli/sheet_command.h"

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

constexpr const char* SheetUsage =
    "usage: quarnel-cli sheet FILE [--music MUSIC] [--composer TEXT] [--letter] -o OUT.pdf [--library DIR]\n";
constexpr const char* LineUsage =
    "usage: quarnel-cli line NAME|NOTATION [--leads N | --plain-course] [--no-numbers]\n"
    "                        -o OUT.svg|OUT.png|OUT.pdf [--library DIR]\n";

struct Words {
    std::vector<std::string> positional;
    std::set<std::string> flags;
    std::map<std::string, std::string> values;
};

// The words after the command; false (and why on err) for an option that is
// not the command's or a value that is missing.
bool readWords(const std::vector<std::string>& args, const std::set<std::string>& valued,
               const std::set<std::string>& flags, Words& words, std::ostream& err) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (valued.count(a) != 0) {
            if (i + 1 >= args.size()) {
                err << a << " needs a value\n";
                return false;
            }
            words.values[a] = args[++i];
        } else if (flags.count(a) != 0) {
            words.flags.insert(a);
        } else if (a.size() > 1 && a[0] == '-' && !looksLikeNotation(a)) {
            err << "Unknown option " << a << "\n";
            return false;
        } else {
            words.positional.push_back(a);
        }
    }
    return true;
}

void loadLibrary(const Words& w) {
    MethodLibrary& library = MethodLibrary::instance();
    library.clear();
    const auto folder = w.values.find("--library");
    readLibraryFiles(library, programLibrary(folder == w.values.end() ? std::string() : folder->second, nullptr).folder);
}

// The notation text of a typed method, as every command of quarnel-cli reads
// it: a library name, place notation as ringers write it, or a name as
// ringers type it that matches one library method.
std::optional<std::string> methodText(const std::string& typed, std::ostream& err) {
    const MethodLibrary& library = MethodLibrary::instance();
    if (const std::string& notation = library.notationOf(typed); !notation.empty()) return notation;
    if (looksLikeNotation(typed)) {
        NotationReading reading = readNotation(typed);
        if (reading.ok()) return std::move(reading.text);
        err << "No method: " << typed << " (" << reading.reason << ")\n";
        return std::nullopt;
    }
    MethodNameIndex names;
    const std::vector<std::string> matches = names.find(library, typed);
    if (matches.size() == 1) return library.notationOf(matches.front());
    err << nameMatchNote(typed, matches) << "\n";
    return std::nullopt;
}

int write(const std::vector<Page>& pages, const std::string& path, PaperFormat format, const std::string& title,
          std::ostream& err) {
    const std::string failure = writePaper(pages, path, format, title);
    if (failure.empty()) return 0;
    err << failure << "\n";
    return 1;
}

}  // namespace

int sheetCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    Words w;
    if (!readWords(args, {"-o", "--music", "--composer", "--library"}, {"--letter"}, w, err)) {
        err << SheetUsage;
        return 2;
    }
    const auto output = w.values.find("-o");
    if (w.positional.size() != 1 || output == w.values.end()) {
        err << SheetUsage;
        return 2;
    }
    if (paperFormatOf(output->second) != PaperFormat::Pdf) {
        err << "A sheet is written as a PDF: " << output->second << " does not end in .pdf\n";
        return 2;
    }
    loadLibrary(w);
    std::optional<MusicTable> music;
    if (const auto file = w.values.find("--music"); file != w.values.end()) {
        std::ifstream in(file->second, std::ios::binary);
        if (!in) {
            err << "Cannot open " << file->second << "\n";
            return 1;
        }
        music = MusicTable::read(in);
        if (music->definitions().empty()) {
            err << "No music definitions in " << file->second << "\n";
            return 1;
        }
    }
    const std::string& file = w.positional.front();
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        err << "Cannot open " << file << "\n";
        return 1;
    }
    std::unique_ptr<Composition> composition;
    try {
        composition = readComposition(in, MajorMethod::HalfLength, MethodLibrary::instance());
    } catch (const ModelError& e) {
        err << "Load abandoned: " << e.describe() << "\n";
        return 1;
    }
    for (const std::string& line : composition->loadReport()) err << line << "\n";
    if (composition->leadCount() == 0) {
        err << "No composition in " << file << ": it has no leads\n";
        return 1;
    }
    SheetOptions options;
    options.paper = w.flags.count("--letter") != 0 ? Letter : A4;
    if (const auto composer = w.values.find("--composer"); composer != w.values.end()) options.composer = composer->second;
    const std::vector<Page> pages = compositionSheet(*composition, MethodLibrary::instance(), music ? &*music : nullptr, options);
    return write(pages, output->second, PaperFormat::Pdf, file, err);
}

int lineCommand(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    Words w;
    if (!readWords(args, {"-o", "--leads", "--library"}, {"--plain-course", "--no-numbers"}, w, err)) {
        err << LineUsage;
        return 2;
    }
    const auto output = w.values.find("-o");
    const auto leadsText = w.values.find("--leads");
    if (w.positional.size() != 1 || output == w.values.end() ||
        (leadsText != w.values.end() && w.flags.count("--plain-course") != 0)) {
        err << LineUsage;
        return 2;
    }
    BlueLineOptions options;
    options.numbers = w.flags.count("--no-numbers") == 0;
    if (leadsText != w.values.end()) {
        const std::string& t = leadsText->second;
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), options.leads);
        if (ec != std::errc() || end != t.data() + t.size() || options.leads < 1 || options.leads > 8) {
            err << "--leads needs a whole number from 1 to 8\n";
            return 2;
        }
    }
    const auto format = paperFormatOf(output->second);
    if (!format) {
        err << "A blue line is written as an SVG, a PNG or a PDF: " << output->second
            << " ends in none of .svg, .png, .pdf\n";
        return 2;
    }
    loadLibrary(w);
    const auto text = methodText(w.positional.front(), err);
    if (!text) return 1;
    const MajorMethod method(*text);
    const std::string& name = MethodLibrary::instance().nameOf(*text);
    const std::string title = name.empty() ? method.notationText() : methodTitle(name);
    const BlueLine line = blueLine(method, title, options);
    if (line.figure.items.empty()) {
        err << "No blue line for " << w.positional.front() << ": its lead-head code has no lead end\n";
        return 1;
    }
    // A margin of a place's width around the figure.
    Figure framed{line.figure.width + 24, line.figure.height + 24, {}};
    Page page = pageOf(framed);
    place(page, line.figure, {12, 12});
    return write({page}, output->second, *format, title, err);
}

}  // namespace quarnel::cli
