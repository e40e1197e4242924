#include "cli/commands.h"
#include "cli/analysis_lines.h"
#include "cli/library_command.h"
#include "cli/compose_command.h"
#include "cli/fill_command.h"
#include "cli/import_command.h"
#include "cli/layout_command.h"
#include "cli/inputs.h"
#include "cli/options.h"
#ifdef QUARNEL_PAPER
#include "cli/sheet_command.h"
#endif

#include <algorithm>
#include <climits>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <string_view>

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
    "  compose --length MIN-MAX|qp|peal --methods LIST | --surprise ... [--parts N]\n"
    "          [--part-end ROW] [--calls bobs|bobs-singles] [--splice leads|calls]\n"
    "          [--music MUSIC] [--count K] [--out DIR]\n"
    "                            the best compositions, calling and methods searched\n"
    "                            together ('quarnel-cli compose --help' for every option)\n"
    "  sheet FILE [--music MUSIC] [--composer TEXT] [--letter] -o OUT.pdf\n"
    "                            the composition sheet: layout, figures, music, blue lines\n"
    "  line TEXT [--leads N | --plain-course] [--no-numbers] -o OUT.svg|OUT.png|OUT.pdf\n"
    "                            the blue line of a method (sheet and line: built with Qt)\n"
    "The method libraries S8, D8 and T8 (or CCCBR_methods.xml) are read from DIR, or\n"
    "from the working directory, or, when it has none of them, from the library\n"
    "installed with Quarnel.\n";

int rows(const CommandLine& a, std::ostream& out, std::ostream& err) {
    loadLibrary(a);
    const auto text = methodText(a.words[0], err);
    if (!text) return ExitBadInput;
    const MajorMethod method(*text);
    for (int i = 0; i <= method.leadLength(); ++i) out << method.rowText(i) << '\n';
    return ExitDone;
}

int generate(const CommandLine& a, std::ostream& out, std::ostream& err) {
    if (a.words[0].empty()) {
        err << Usage;
        return ExitBadInput;
    }
    const long limit = a.whole("--limit").value_or(-1);
    loadLibrary(a);
    GeneratorOptions options;
    setClassOptions(a, options, &ClassOption::generator);
    MajorMethodGenerator generator;
    const char code = a.words[0].size() == 1 ? a.words[0][0] : '*';
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
        return ExitBadInput;
    }
    return ExitDone;
}

int prove(const CommandLine& a, std::ostream& out, std::ostream& err) {
    auto inputs = readInputs(a, err);
    if (!inputs) return ExitBadInput;
    const auto& c = inputs->composition;
    auto& music = inputs->music;
    int methods = 0;
    for (std::size_t n = 1; n <= c->leadCount(); ++n)
        if (c->committedMethodAt(static_cast<int>(n)) != nullptr) ++methods;
    out << "Leads: " << c->leadCount() << "\n";
    out << "Parts: " << c->partCount() << "\n";
    out << "Part end: " << c->partEnd().row().text() << "\n";
    out << "Changes: " << static_cast<long long>(c->partCount()) * c->leadLength() * static_cast<long long>(c->leadCount()) << "\n";
    out << "Methods: " << methods << "\n";
    if (music) out << "Music: " << c->musicScore(0, *music, false) << "\n";
    if (!writeAnalysisLines(out, err, *c, music ? &*music : nullptr, a.text("--music").value_or(""))) return ExitBadInput;
    writeCallingLines(out, *c);
    return ExitDone;
}

int save(const CommandLine& a, std::ostream& out, std::ostream& err) {
    const auto inputs = readInputs(a, err);
    if (!inputs) return ExitBadInput;
    inputs->composition->save(out);
    return ExitDone;
}

int tryMethod(const CommandLine& a, std::ostream& out, std::ostream& err) {
    const int lead = *a.whole("--lead");
    const std::string typed = *a.text("--method");
    auto inputs = readInputs(a, err);
    if (!inputs) return ExitBadInput;
    const auto& c = inputs->composition;
    auto& music = inputs->music;
    if (lead < 1 || static_cast<std::size_t>(lead) > c->leadCount()) {
        err << "No lead " << lead << " in a composition of " << c->leadCount() << " leads\n";
        return ExitBadInput;
    }
    const auto text = methodText(typed, err);
    if (!text) return ExitBadInput;
    const MajorMethod method(*text);
    c->tryMethodAt(lead, &method);
    c->writeFalsenessReport(out);
    out << "Score: " << c->falsenessScore() << "\n";
    out << "Profile: " << c->falsenessProfile(0, false) << "\n";
    out << "Profile with back-off: " << c->falsenessProfile(0, true) << "\n";
    if (music) {
        out << "Lead music: " << c->musicScore(lead, *music, false) << "\n";
        out << "Candidate music: " << c->musicScore(lead, *music, true) << "\n";
    }
    return ExitDone;
}

int exportComposition(const CommandLine& a, std::ostream& out, std::ostream& err) {
    const bool text = a.flag("--text");
    const bool microSiril = a.flag("--microsiril");
    if (text == microSiril) {
        err << Usage;
        return ExitBadInput;
    }
    const auto inputs = readInputs(a, err);
    if (!inputs) return ExitBadInput;
    if (text)
        inputs->composition->exportText(out);
    else
        inputs->composition->exportMicroSiril(out);
    return ExitDone;
}

int search(const CommandLine& a, std::ostream& out, std::ostream& err) {
    if (a.flag("--different") && a.flag("--match")) {
        err << Usage;
        return ExitBadInput;
    }
    loadLibrary(a);
    HeadlessView view(err);
    ComposerSession session(view);
    DialogFields& f = session.fields();
    setClassOptions(a, f, &ClassOption::search);
    f.maxFalseness = a.whole("--max-falseness").value_or(0);
    if (const auto musicFile = a.text("--music"); musicFile && !session.loadMusicFile(*musicFile)) return ExitBadInput;
    f.leadNumber = *a.whole("--lead");
    auto composition = loadComposition(a.words[0], err);
    if (!composition) return ExitBadInput;
    session.loadComposition(std::move(composition));
    if (const auto typed = a.text("--method")) {
        // As if the previous search had ended on this candidate.
        const auto text = methodText(*typed, err);
        if (!text) return ExitBadInput;
        f.placeNotationText = *text;
        f.methodName = MethodLibrary::instance().nameOf(f.placeNotationText);
        session.rebuildCandidate();
    }
    const SearchResult result = session.search(a.flag("--different"), a.flag("--match"));
    if (result.end != SearchEnd::Searched) {
        err << result.failure << "\n";
        return ExitBadInput;
    }
    out << "Notation: " << f.placeNotationText << "\n";
    out << "Name: " << f.methodName << "\n";
    out << "Candidates: " << result.tried << "\n";
    return ExitDone;
}

// Options several commands take.
const Option LeadOption = {"--lead", "N", "the lead, from 1", ValueKind::Whole, {}, INT_MIN, INT_MAX, true};
const Option MethodOption = {"--method", "TEXT", "the method: library name, notation text or place notation", ValueKind::Text,
                             {}, 0, 0, true};

std::vector<Option> join(std::vector<Option> first, const std::vector<Option>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Every command: its table and what runs it.
struct Command {
    CommandTable table;
    int (*run)(const CommandLine&, std::ostream&, std::ostream&);
};

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {{"rows", "TEXT", 1,
          "  the 33 rows of a method (library name or notation text; \"cambridge\" and\n"
          "  \"Cambridge Surprise\" find Cambridge S)\n",
          {LibraryOption}},
         rows},
        {{"generate", "CODE", 1, "  the generator's methods for a lead-head code, in order\n",
          join(classOptionsOf(&ClassOption::generator),
               {{"--limit", "N", "the most methods written", ValueKind::Whole, "a whole number of 0 or more", 0, INT_MAX},
                LibraryOption})},
         generate},
        {{"prove", "FILE", 1, "  reads and proves a composition over all its parts\n", {MusicOption, LibraryOption}}, prove},
        {{"save", "FILE", 1, "  the composition file as Save writes it\n", {LibraryOption}}, save},
        {{"layout", "FILE", 1, "  the composition as composers publish it: the course layout, or the lead list\n  with lead heads\n",
          {{"--lead-heads", "", "the lead list with the lead heads, also where a course layout can be written"},
           LibraryOption}},
         layoutCommand},
        {{"import", "FILE", 1,
          "  a published course layout, lead list or method strings written as the\n  composition file Save writes\n",
          {{"--method", "NAME", "the method of a single-method course layout whose title names none", ValueKind::Text},
           LibraryOption}},
         importCommand},
        {{"try", "FILE", 1, "  tries a method in a lead: falseness report, score, profile\n",
          {LeadOption, MethodOption, MusicOption, LibraryOption}},
         tryMethod},
        {{"export", "FILE", 1, "  the text export or the MicroSiril input file\n",
          {{"--text", "", "the text export"}, {"--microsiril", "", "the MicroSiril input file"}, LibraryOption}},
         exportComposition},
        {libraryTable(), libraryCommand},
        {{"search", "FILE", 1, "  one press of Next (Different, Match) in the lead\n",
          join(join({LeadOption}, classOptionsOf(&ClassOption::search)),
               {{"--max-falseness", "K", "the most falseness a candidate may have (default 0)", ValueKind::Whole, {}, INT_MIN,
                 INT_MAX},
                {"--different", "", "Different: a method of another name"},
                {"--match", "", "Match: a candidate of at least the lead's music"},
                MusicOption,
                {"--method", "TEXT", "the candidate the search goes on from", ValueKind::Text},
                LibraryOption})},
         search},
        {fillTable(), fillCommand},
        {composeTable(), composeCommand},
#ifdef QUARNEL_PAPER
        {sheetTable(), sheetCommand},
        {lineTable(), lineCommand},
#endif
    };
    return all;
}

// The command word: the first word that is no option and no option's value.
std::size_t commandPosition(const std::vector<std::string>& args) {
    std::set<std::string_view> valued;
    for (const Command& c : commands())
        for (const Option& o : c.table.options)
            if (o.kind != ValueKind::Flag) valued.insert(o.name);
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) != 0 || args[i].size() <= 2) return i;
        if (valued.count(args[i]) != 0) ++i;
    }
    return args.size();
}

// No command: the overview, with the library the program reads.
int overview(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandTable table = {"", "", 0, "", {LibraryOption, {"--help", "", ""}}};
    // Only --help and --library (with its value) count here; the rest is passed over.
    std::vector<std::string> known;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--help") known.push_back(args[i]);
        if (args[i] != LibraryOption.name) continue;
        known.push_back(args[i]);
        if (i + 1 < args.size()) known.push_back(args[++i]);
    }
    const auto line = readCommandLine(table, known, Usage, err);
    if (!line) return ExitBadInput;
    const bool help = line->flag("--help");
    (help ? out : err) << Usage << "Method library: " << programLibrary(line->text(LibraryOption.name).value_or(""), nullptr).describe()
                       << "\n";
    return help ? ExitDone : ExitBadInput;
}

}  // namespace

int run(const std::vector<std::string>& args, std::istream&, std::ostream& out, std::ostream& err) {
    const std::size_t at = commandPosition(args);
    if (at == args.size()) return overview(args, out, err);
    std::vector<std::string> rest = args;
    rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(at));
    for (const Command& c : commands()) {
        if (c.table.name != args[at]) continue;
        if (std::find(rest.begin(), rest.end(), "--help") != rest.end()) {
            writeHelp(c.table, out);
            return ExitDone;
        }
        const auto line = readCommandLine(c.table, rest, Usage, err);
        return line ? c.run(*line, out, err) : ExitBadInput;
    }
    err << "Unknown command " << args[at] << "\n" << Usage;
    return ExitBadInput;
}

}  // namespace quarnel::cli
