#include "cli/compose_command.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "cli/constraint_options.h"
#include "cli/inputs.h"
#include "compose/compose.h"
#include "composition/composition.h"
#include "composition/layout_text.h"
#include "methods/method_library.h"
#include "ringing/model_error.h"

namespace quarnel::cli {
namespace {

namespace fs = std::filesystem;

// Compose's options from the command line; false after a message when one
// does not read or two exclude each other.
bool readOptions(const CommandLine& line, compose::ComposeOptions& o, std::ostream& err) {
    setClassOptions(line, o, &ClassOption::compose);
    if (!readConstraints(line, classOptionsOf(&ClassOption::compose), o.constraints, err)) return false;
    std::string why;
    const auto length = compose::readLength(*line.text("--length"), why);
    if (!length) {
        err << "--length: " << why << "\n";
        return false;
    }
    o.minLength = length->first;
    o.maxLength = length->second;
    if (const auto text = line.text("--part-end")) {
        if (line.flag("--parts")) {
            err << "--part-end and --parts cannot be given together\n";
            return false;
        }
        const auto row = Row::fromSymbols(*text);
        if (!row || text->size() != BellCount) {
            err << "--part-end needs a row of the eight bells (12435678)\n";
            return false;
        }
        o.partEnd = *row;
    }
    o.parts = line.whole("--parts").value_or(1);
    if (const auto calls = line.text("--calls")) {
        if (*calls == "bobs")
            o.calls = compose::CallSet::Bobs;
        else if (*calls == "bobs-singles")
            o.calls = compose::CallSet::BobsAndSingles;
        else {
            err << "--calls needs bobs or bobs-singles\n";
            return false;
        }
    }
    if (const auto splice = line.text("--splice")) {
        if (*splice == "leads")
            o.splice = compose::Splice::EveryLead;
        else if (*splice == "calls")
            o.splice = compose::Splice::AtCalls;
        else {
            err << "--splice needs leads or calls\n";
            return false;
        }
    }
    o.tenorsTogether = !line.flag("--split-tenors");
    o.count = line.whole("--count").value_or(o.count);
    o.onePerCalling = line.flag("--one-per-calling");
    readLimits(line, o.limits);
    return true;
}

// Whether files can be written in the folder: one is made and taken away.
bool writableFolder(const std::string& folder, std::ostream& err) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        err << "--out: " << folder << " is no folder\n";
        return false;
    }
    const fs::path probe = fs::path(folder) / ".quarnel-compose-probe";
    {
        std::ofstream out(probe, std::ios::binary);
        if (!out) {
            err << "--out: cannot write in " << folder << "\n";
            return false;
        }
    }
    fs::remove(probe, ec);
    return true;
}

// Writes the file whole or not at all: into a temporary name, then renamed.
bool writeWhole(const fs::path& path, const std::string& text, std::ostream& err) {
    const fs::path part = path.string() + ".part";
    {
        std::ofstream out(part, std::ios::binary);
        out << text;
        out.flush();
        if (!out) {
            err << "Cannot write " << path.string() << "\n";
            std::error_code ec;
            fs::remove(part, ec);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(part, path, ec);
    if (ec) {
        err << "Cannot write " << path.string() << ": " << ec.message() << "\n";
        fs::remove(part, ec);
        return false;
    }
    return true;
}

// "1280 changes, 2 parts, music 123, ATW 380/392, 38 changes of method;
// Bristol S 192, Cambridge S 160, ..."
std::string summaryLine(const compose::FoundComposition& f, bool weighted) {
    std::string text = std::to_string(f.length) + " changes, " + std::to_string(f.parts) +
                       (f.parts == 1 ? " part" : " parts (part end " + f.partEnd.text() + ")") + ", music " + std::to_string(f.music);
    if (weighted) text += ", score " + std::to_string(f.score);
    text += ", ATW " + std::to_string(f.piecesRung) + "/" + std::to_string(f.piecesPossible) + ", " +
            std::to_string(f.changesOfMethod) + " changes of method;";
    for (std::size_t i = 0; i < f.methods.size(); ++i)
        text += (i == 0 ? " " : ", ") + f.methods[i].first + " " + std::to_string(f.methods[i].second);
    return text;
}

}  // namespace

const CommandTable& composeTable() {
    static const CommandTable table = {
        "compose", "", 0,
        "  searches the calling and the methods together for the best true compositions\n"
        "  of the length; writes each as a course layout with its figures\n",
        [] {
            std::vector<Option> options = classOptionsOf(&ClassOption::compose);
            const std::vector<Option> own = {
                {"--length", "MIN-MAX", "the changes: MIN-MAX, qp (1250-1300) or peal (5000-5200)", ValueKind::Text, {}, 0, 0,
                 true},
                {"--part-end", "ROW", "the part end (default: rounds, one part)", ValueKind::Text},
                {"--parts", "N", "N parts: every part end of N parts with the treble, 7 and 8 home is tried",
                 ValueKind::Whole, "a whole number from 1 to 15", 1, 15},
                {"--calls", "bobs|bobs-singles", "the calls (default bobs): 14 bobs, or 14 bobs and 1234 singles",
                 ValueKind::Text},
                {"--splice", "leads|calls", "the method changes at any lead end (default) or only at a call",
                 ValueKind::Text},
                {"--split-tenors", "", "lead heads need not have the 7 coursing after the 8"},
            };
            const std::vector<Option> last = {
                MusicOption,
                {"--count", "K", "the best K compositions (default 10)", ValueKind::Whole, "a whole number from 1 to 1000",
                 1, 1000},
                {"--one-per-calling", "", "only the best methods of each calling, so that the compositions differ in their calls"},
            };
            const std::vector<Option> after = {
                {"--out", "DIR", "writes DIR/comp-1.txt, comp-2.txt, ... as composition files, best first",
                 ValueKind::Text},
                LibraryOption,
            };
            options.insert(options.end(), own.begin(), own.end());
            options.insert(options.end(), constraintOptions().begin(), constraintOptions().end());
            options.insert(options.end(), last.begin(), last.end());
            options.insert(options.end(), limitOptions().begin(), limitOptions().end());
            options.insert(options.end(), after.begin(), after.end());
            return options;
        }(),
        UsageShown::Help};
    return table;
}

int composeCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
    compose::ComposeOptions options;
    if (!readOptions(line, options, err)) return ExitBadInput;
    const std::optional<std::string> folder = line.text("--out");
    if (folder && !writableFolder(*folder, err)) return ExitBadInput;
    loadLibrary(line);
    if (const auto file = line.text(MusicOption.name)) {
        std::ifstream in(*file, std::ios::binary);
        if (!in) {
            err << "Cannot open " << *file << "\n";
            return ExitBadInput;
        }
        options.music = MusicTable::read(in);
    }
    const MethodLibrary& library = MethodLibrary::instance();
    compose::ComposeProblem problem;
    try {
        problem = compose::ComposeProblem::build(library, options);
    } catch (const ModelError& e) {
        err << e.what() << "\n";
        return ExitBadInput;
    }
    const std::atomic<bool> stop{false};
    double lastLine = 0;
    const compose::ComposeResult result =
        compose::runCompose(problem, options, stop, [&err, &lastLine](const compose::ComposeProgress& p) {
            if (p.complete || p.elapsedSeconds - lastLine < 1.0) return;
            lastLine = p.elapsedSeconds;
            err << std::fixed << std::setprecision(1) << p.elapsedSeconds << " s: " << p.nodes << " nodes, "
                << std::setprecision(0) << p.nodesPerSecond << " nodes/s, best music ";
            if (p.haveComposition)
                err << p.bestMusic << ", " << p.found << " found";
            else
                err << "none yet";
            err << "\n" << std::defaultfloat;
        });
    switch (result.status) {
    case compose::ComposeStatus::NoComposition:
        err << "No true composition keeps the constraints\n";
        err << "Nodes: " << result.nodes << "\n";
        return ExitNoTrueFill;
    case compose::ComposeStatus::NoneWithinLimits:
        err << "No composition found within the limits\n";
        err << "Nodes: " << result.nodes << "\n";
        return ExitNoFillWithinLimits;
    case compose::ComposeStatus::Complete:
    case compose::ComposeStatus::LimitReached:
        break;
    }
    const bool weighted = options.constraints.any() && (options.constraints.comWeight != 0 || options.constraints.bobWeight != 0 ||
                                                        options.constraints.singleWeight != 0 || options.constraints.atwWeight != 0);
    int rank = 0;
    for (const compose::FoundComposition& f : result.compositions) {
        ++rank;
        std::istringstream in(f.fileText);
        const std::unique_ptr<Composition> c = readComposition(in, 16, library);
        if (rank > 1) out << "\n";
        out << layoutText(*c, library, false);
        out << "Calling: " << f.calling << "\n";
        out << "Summary: " << summaryLine(f, weighted) << "\n";
        if (folder && !writeWhole(fs::path(*folder) / ("comp-" + std::to_string(rank) + ".txt"), f.fileText, err))
            return ExitBadInput;
    }
    err << "Compositions: " << result.compositions.size() << " (" << result.found << " found)\n";
    if (result.rejected > 0) err << "Rejected: " << result.rejected << " that did not prove\n";
    err << "First composition: " << std::fixed << std::setprecision(1) << result.firstSeconds << " s\n" << std::defaultfloat;
    err << "Complete: " << (result.status == compose::ComposeStatus::Complete ? "yes" : "no") << "\n";
    err << "Nodes: " << result.nodes << "\n";
    return ExitDone;
}

}  // namespace quarnel::cli
