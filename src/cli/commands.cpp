#include "cli/commands.h"
#include "cli/analysis_lines.h"
#include "cli/library_command.h"
#include "cli/fill_command.h"
#include "cli/import_command.h"
#include "cli/layout_command.h"
#include "cli/sheet_command.h"

#include <charconv>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include <fstream>
#include <memory>

#include "composition/composition.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "methods/method_generator.h"
#include "methods/library_location.h"
#include "methods/method_library.h"
#include "methods/name_matching.h"
#include "ringing/notation_forms.h"
#include "session/composer_session.h"
#include "session/headless_view.h"
#include "ringing/model_error.h"

namespace quarnel::cli {
namespace {

constexpr std::string_view Usage =
    "usage: quarnel-cli COMMAND [ARGS] [--library DIR]\n"
    "commands:\n"
    "  rows TEXT                 the 33 rows of a method (library name or notation text;\n"
    "                            \"cambridge\" and \"Cambridge Surprise\" find Cambridge S)\n"
    "  generate CODE [--right-place] [--symmetric-sections] [--two-places]\n"
    "           [--surprise] [--delight] [--treble-bob] [--limit N]\n"
    "                            the generator's methods for a lead-head code, in order\n"
    "  prove FILE [--music MUSIC]\n"
    "                            reads and proves a composition over all its parts\n"
    "  save FILE                 the composition file as Save writes it\n"
    "  layout FILE [--lead-heads]\n"
    "                            the composition as composers publish it: the course\n"
    "                            layout, or the lead list with lead heads\n"
    "  import FILE [--method NAME]\n"
    "                            a published course layout, lead list or method strings\n"
    "                            written as the composition file Save writes\n"
    "  try FILE --lead N --method TEXT [--music MUSIC]\n"
    "                            tries a method in a lead: falseness report, score, profile\n"
    "  export FILE --text | --microsiril\n"
    "                            the text export or the MicroSiril input file\n"
    "  library import CCCBR_methods.xml DIR\n"
    "                            the Central Council's Surprise, Delight and Treble Bob\n"
    "                            Major methods written as S8, D8 and T8 in DIR\n"
    "  search FILE --lead N [--right-place] [--symmetric-sections] [--two-places]\n"
    "         [--surprise] [--delight] [--treble-bob] [--named] [--max-falseness K]\n"
    "         [--different | --match] [--music MUSIC] [--method TEXT]\n"
    "                            one press of Next (Different, Match) in the lead\n"
    "  fill FILE [--all] [--music MUSIC] [class and generator options] [--all-different]\n"
    "       [--max-uses K] [--threads N] [--time-limit SECONDS] [--node-limit N]\n"
    "                            fills the empty leads with a true set of methods of the\n"
    "                            most music ('quarnel-cli fill --help' for every option)\n"
    "  sheet FILE [--music MUSIC] [--composer TEXT] [--letter] -o OUT.pdf\n"
    "                            the composition sheet: layout, figures, music, blue lines\n"
    "  line TEXT [--leads N | --plain-course] [--no-numbers] -o OUT.svg|OUT.png|OUT.pdf\n"
    "                            the blue line of a method (sheet and line: built with Qt)\n"
    "The method libraries S8, D8 and T8 (or CCCBR_methods.xml) are read from DIR, or\n"
    "from the working directory, or, when it has none of them, from the library\n"
    "installed with Quarnel.\n";

// The words of a command line: positional words, flags, and options with a value.
struct Arguments {
    std::vector<std::string> words;
    std::set<std::string, std::less<>> flags;
    std::map<std::string, std::string, std::less<>> values;

    bool flag(std::string_view name) const { return flags.count(name) != 0; }
    std::optional<std::string> value(std::string_view name) const {
        const auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
};

bool parse(const std::vector<std::string>& args, const std::set<std::string_view>& valued, Arguments& out,
           std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) == 0 && a.size() > 2) {
            if (valued.count(a) != 0) {
                if (i + 1 >= args.size()) {
                    err << a << " needs a value\n";
                    return false;
                }
                out.values[a] = args[++i];
            } else {
                out.flags.insert(a);
            }
        } else {
            out.words.push_back(a);
        }
    }
    return true;
}

bool checkFlags(const Arguments& a, const std::set<std::string_view>& known, std::ostream& err) {
    for (const auto& f : a.flags)
        if (known.count(f) == 0) {
            err << "Unknown option " << f << "\n" << Usage;
            return false;
        }
    return true;
}

std::optional<int> toInt(const std::string& text) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

void loadLibrary(const Arguments& a) {
    MethodLibrary& library = MethodLibrary::instance();
    library.clear();
    readLibraryFiles(library, programLibrary(a.value("--library").value_or(""), nullptr).folder);
}

// The text a typed method stands for, as every command reads it: a library
// name as it is; place notation as ringers write it (ringing/notation_forms.h)
// read into the system's notation text; a name written as ringers type it
// ("cambridge", "Cambridge Surprise") that matches one library method, that
// method's notation text. Says why on err and gives nothing when the
// notation does not read, or no name or several names match.
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

int rows(const Arguments& a, std::ostream& out, std::ostream& err) {
    if (a.words.size() != 2) {
        err << Usage;
        return 2;
    }
    loadLibrary(a);
    const auto text = methodText(a.words[1], err);
    if (!text) return 1;
    const MajorMethod method(*text);
    for (int i = 0; i <= method.leadLength(); ++i) out << method.rowText(i) << '\n';
    return 0;
}

GeneratorOptions generatorOptions(const Arguments& a) {
    GeneratorOptions o;
    o.rightPlace = a.flag("--right-place");
    o.symmetricSections = a.flag("--symmetric-sections");
    o.twoPlaces = a.flag("--two-places");
    o.allowSurprise = a.flag("--surprise");
    o.allowDelight = a.flag("--delight");
    o.allowTrebleBob = a.flag("--treble-bob");
    return o;
}

int generate(const Arguments& a, std::ostream& out, std::ostream& err) {
    if (a.words.size() != 2 || a.words[1].empty()) {
        err << Usage;
        return 2;
    }
    long limit = -1;
    if (const auto l = a.value("--limit")) {
        const auto n = toInt(*l);
        if (!n || *n < 0) {
            err << "--limit needs a whole number of 0 or more\n";
            return 2;
        }
        limit = *n;
    }
    loadLibrary(a);
    const GeneratorOptions options = generatorOptions(a);
    MajorMethodGenerator generator;
    const char code = a.words[1].size() == 1 ? a.words[1][0] : '*';
    try {
        int resume = -1;
        for (long n = 0; limit < 0 || n < limit; ++n) {
            const std::string& text = generator.nextMethod(code, resume, options);
            if (text.empty()) break;
            out << text << '\n';
            resume = MethodGenerator::ChosenPositions - 1;
        }
    } catch (const ModelError& e) {
        err << e.what() << "\n";
        return 1;
    }
    return 0;
}

// Reads the composition named by the second word; reports a failure the
// way the program does.
std::unique_ptr<Composition> loadComposition(const Arguments& a, std::ostream& err) {
    std::ifstream in(a.words[1], std::ios::binary);
    if (!in) {
        err << "Cannot open " << a.words[1] << "\n";
        return nullptr;
    }
    try {
        return readComposition(in, MajorMethod::HalfLength);
    } catch (const ModelError& e) {
        err << "Load abandoned: " << e.describe() << "\n";
        return nullptr;
    }
}

// Reads the music file of --music, if given; false when it does not open.
bool loadMusic(const Arguments& a, std::optional<MusicTable>& music, std::ostream& err) {
    const auto file = a.value("--music");
    if (!file) return true;
    std::ifstream in(*file, std::ios::binary);
    if (!in) {
        err << "Cannot open " << *file << "\n";
        return false;
    }
    music = MusicTable::read(in);
    return true;
}

// What a composition command works on: the library, the music file of
// --music (if given) and the composition named by the second word.
struct Inputs {
    std::unique_ptr<Composition> composition;
    std::optional<MusicTable> music;
};

std::optional<Inputs> readInputs(const Arguments& a, std::ostream& err) {
    loadLibrary(a);
    Inputs inputs;
    if (!loadMusic(a, inputs.music, err)) return std::nullopt;
    inputs.composition = loadComposition(a, err);
    if (!inputs.composition) return std::nullopt;
    return inputs;
}

int prove(const Arguments& a, std::ostream& out, std::ostream& err) {
    if (a.words.size() != 2) {
        err << Usage;
        return 2;
    }
    auto inputs = readInputs(a, err);
    if (!inputs) return 1;
    const auto& c = inputs->composition;
    auto& music = inputs->music;
    for (const std::string& line : c->loadReport()) err << line << "\n";
    int methods = 0;
    for (std::size_t n = 1; n <= c->leadCount(); ++n)
        if (c->committedMethodAt(static_cast<int>(n)) != nullptr) ++methods;
    out << "Leads: " << c->leadCount() << "\n";
    out << "Parts: " << c->partCount() << "\n";
    out << "Part end: " << c->partEnd().row().text() << "\n";
    out << "Changes: " << static_cast<long long>(c->partCount()) * c->leadLength() * static_cast<long long>(c->leadCount()) << "\n";
    out << "Methods: " << methods << "\n";
    if (music) out << "Music: " << c->musicScore(0, *music, false) << "\n";
    if (!writeAnalysisLines(out, err, *c, music ? &*music : nullptr, a.value("--music").value_or(""))) return 1;
    writeCallingLines(out, *c);
    return 0;
}

int save(const Arguments& a, std::ostream& out, std::ostream& err) {
    if (a.words.size() != 2) {
        err << Usage;
        return 2;
    }
    const auto inputs = readInputs(a, err);
    if (!inputs) return 1;
    inputs->composition->save(out);
    return 0;
}

int tryMethod(const Arguments& a, std::ostream& out, std::ostream& err) {
    const auto leadText = a.value("--lead");
    const auto typed = a.value("--method");
    const auto lead = leadText ? toInt(*leadText) : std::nullopt;
    if (a.words.size() != 2 || !lead || !typed) {
        err << Usage;
        return 2;
    }
    auto inputs = readInputs(a, err);
    if (!inputs) return 1;
    const auto& c = inputs->composition;
    auto& music = inputs->music;
    if (*lead < 1 || static_cast<std::size_t>(*lead) > c->leadCount()) {
        err << "No lead " << *lead << " in a composition of " << c->leadCount() << " leads\n";
        return 1;
    }
    const auto text = methodText(*typed, err);
    if (!text) return 1;
    const MajorMethod method(*text);
    c->tryMethodAt(*lead, &method);
    c->writeFalsenessReport(out);
    out << "Score: " << c->falsenessScore() << "\n";
    out << "Profile: " << c->falsenessProfile(0, false) << "\n";
    out << "Profile with back-off: " << c->falsenessProfile(0, true) << "\n";
    if (music) {
        out << "Lead music: " << c->musicScore(*lead, *music, false) << "\n";
        out << "Candidate music: " << c->musicScore(*lead, *music, true) << "\n";
    }
    return 0;
}

int exportComposition(const Arguments& a, std::ostream& out, std::ostream& err) {
    const bool text = a.flag("--text");
    const bool microSiril = a.flag("--microsiril");
    if (a.words.size() != 2 || text == microSiril) {
        err << Usage;
        return 2;
    }
    const auto inputs = readInputs(a, err);
    if (!inputs) return 1;
    if (text)
        inputs->composition->exportText(out);
    else
        inputs->composition->exportMicroSiril(out);
    return 0;
}

int search(const Arguments& a, std::ostream& out, std::ostream& err) {
    const auto leadText = a.value("--lead");
    const auto lead = leadText ? toInt(*leadText) : std::nullopt;
    const auto maxText = a.value("--max-falseness");
    const auto maximum = maxText ? toInt(*maxText) : std::optional<int>(0);
    if (a.words.size() != 2 || !lead || !maximum || (a.flag("--different") && a.flag("--match"))) {
        err << Usage;
        return 2;
    }
    loadLibrary(a);
    HeadlessView view(err);
    ComposerSession session(view);
    DialogFields& f = session.fields();
    f.rightPlace = a.flag("--right-place");
    f.symmetricSections = a.flag("--symmetric-sections");
    f.twoPlaces = a.flag("--two-places");
    f.allowSurprise = a.flag("--surprise");
    f.allowDelight = a.flag("--delight");
    f.allowTrebleBob = a.flag("--treble-bob");
    f.namedOnly = a.flag("--named");
    f.maxFalseness = *maximum;
    if (const auto musicFile = a.value("--music"); musicFile && !session.loadMusicFile(*musicFile)) return 1;
    f.leadNumber = *lead;
    if (!session.loadFile(a.words[1])) return 1;
    if (const auto typed = a.value("--method")) {
        // As if the previous search had ended on this candidate.
        const auto text = methodText(*typed, err);
        if (!text) return 1;
        f.placeNotationText = *text;
        f.methodName = MethodLibrary::instance().nameOf(f.placeNotationText);
        session.rebuildCandidate();
    }
    const long candidates = session.searchCandidates(a.flag("--different"), a.flag("--match"));
    if (f.statusText.rfind("Bad lead end group", 0) == 0) {
        err << "Bad lead end group\n";
        return 1;
    }
    out << "Notation: " << f.placeNotationText << "\n";
    out << "Name: " << f.methodName << "\n";
    out << "Candidates: " << candidates << "\n";
    return 0;
}

}  // namespace

int run(const std::vector<std::string>& args, std::istream&, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "fill") return fillCommand(args, out, err);
#ifdef QUARNEL_PAPER
    if (!args.empty() && args[0] == "sheet") return sheetCommand(args, out, err);
    if (!args.empty() && args[0] == "line") return lineCommand(args, out, err);
#endif
    Arguments a;
    if (!parse(args, {"--library", "--limit", "--music", "--lead", "--method", "--max-falseness"}, a, err)) return 2;
    if (a.words.empty() || a.flag("--help")) {
        (a.words.empty() && !a.flag("--help") ? err : out)
            << Usage << "Method library: " << programLibrary(a.value("--library").value_or(""), nullptr).describe() << "\n";
        return a.flag("--help") ? 0 : 2;
    }
    const std::string& command = a.words[0];
    if (command == "rows") return checkFlags(a, {}, err) ? rows(a, out, err) : 2;
    if (command == "generate")
        return checkFlags(a, {"--right-place", "--symmetric-sections", "--two-places", "--surprise", "--delight", "--treble-bob"}, err)
                   ? generate(a, out, err)
                   : 2;
    if (command == "prove") return checkFlags(a, {}, err) ? prove(a, out, err) : 2;
    if (command == "layout") return checkFlags(a, {"--lead-heads"}, err) ? layoutCommand(a.words, a.flag("--lead-heads"), a.value("--library").value_or(""), out, err) : 2;
    if (command == "import") return checkFlags(a, {}, err) ? importCommand(a.words, a.value("--method").value_or(""), a.value("--library").value_or(""), out, err) : 2;
    if (command == "save") return checkFlags(a, {}, err) ? save(a, out, err) : 2;
    if (command == "try") return checkFlags(a, {}, err) ? tryMethod(a, out, err) : 2;
    if (command == "library") return checkFlags(a, {}, err) ? libraryCommand(a.words, out, err) : 2;
    if (command == "export") return checkFlags(a, {"--text", "--microsiril"}, err) ? exportComposition(a, out, err) : 2;
    if (command == "search")
        return checkFlags(a, {"--right-place", "--symmetric-sections", "--two-places", "--surprise", "--delight",
                              "--treble-bob", "--named", "--different", "--match"}, err)
                   ? search(a, out, err)
                   : 2;
    err << "Unknown command " << command << "\n" << Usage;
    return 2;
}

}  // namespace quarnel::cli
