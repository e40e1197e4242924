#include "cli/fill_command.h"

#include <climits>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>

#include "cli/constraint_options.h"
#include "cli/inputs.h"
#include "composition/analysis.h"
#include "composition/composition.h"
#include "composition/music.h"
#include "fill/fill.h"
#include "fill/fill_lp.h"
#include "methods/method_library.h"
#include "ringing/model_error.h"

namespace quarnel::cli {
namespace {

// Fill's options from the command line, the numbers already checked
// against the table; false (after a message) when two exclude each other.
bool readOptions(const CommandLine& line, fill::FillOptions& o, std::ostream& err) {
    setClassOptions(line, o, &ClassOption::fill);
    o.all = line.flag("--all");
    o.allDifferent = line.flag("--all-different");
    if (const auto k = line.whole("--max-uses")) {
        if (o.allDifferent) {
            err << "--all-different and --max-uses cannot be given together\n";
            return false;
        }
        o.maxUses = *k;
    }
    if (!readConstraints(line, classOptionsOf(&ClassOption::fill), o.constraints, err)) return false;
    search::SearchLimits limits = searchLimitsOf(o);
    readLimits(line, limits);
    o.threads = limits.threads;
    o.timeLimitSeconds = limits.timeLimitSeconds;
    o.nodeLimit = limits.nodeLimit;
    o.generatorLimit = line.whole("--generator-limit").value_or(o.generatorLimit);
    return true;
}

// --lp: the problem written for another solver instead of searched.
int writeLpFile(const fill::FillProblem& problem, const std::string& path, std::ostream& err) {
    std::ostringstream text;
    try {
        fill::writeLp(problem, text);
    } catch (const ModelError& e) {
        err << e.what() << "\n";
        return ExitBadInput;
    }
    std::ofstream file(path, std::ios::binary);
    file << text.str();
    file.close();
    if (!file) {
        err << "Cannot write " << path << "\n";
        return ExitBadInput;
    }
    err << "Wrote " << path << ": " << problem.leadCount() << " leads, " << problem.candidateCount()
        << " candidates; the music of the composition is the objective plus " << problem.fixedMusic() << "\n";
    return ExitDone;
}

}  // namespace

const CommandTable& fillTable() {
    static const CommandTable table = {
        "fill", "FILE", 1,
        "  fills every empty lead (with --all, every lead) with a true set of methods\n"
        "  of the most music; writes the filled composition to standard output\n",
        [] {
            std::vector<Option> options = classOptionsOf(&ClassOption::fill);
            const std::vector<Option> own = {
                MusicOption,
                {"--all", "", "fills every lead, not only the empty ones"},
                {"--all-different", "", "no method in two leads"},
                {"--max-uses", "K", "no method in more than K leads", ValueKind::Whole, "a whole number of 1 or more", 1, INT_MAX},
                {"--lp", "FILE", "writes the search as an integer program (LP format) for another solver, and does not search",
                 ValueKind::Text},
            };
            const std::vector<Option> last = {
                {"--generator-limit", "N", "the most generator methods of one lead-head code (default 20000, 0: all)",
                 ValueKind::Whole, "a whole number, 0 or more", 0, INT_MAX},
                LibraryOption,
            };
            options.insert(options.end(), own.begin(), own.end());
            options.insert(options.end(), constraintOptions().begin(), constraintOptions().end());
            options.insert(options.end(), limitOptions().begin(), limitOptions().end());
            options.insert(options.end(), last.begin(), last.end());
            return options;
        }(),
        UsageShown::Help};
    return table;
}

int fillCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
    fill::FillOptions options;
    if (!readOptions(line, options, err)) return ExitBadInput;
    auto inputs = readInputs(line, err);
    if (!inputs) return ExitBadInput;
    MethodLibrary& library = MethodLibrary::instance();
    std::optional<MusicTable>& music = inputs->music;
    std::unique_ptr<Composition>& composition = inputs->composition;

    fill::FillProblem problem;
    try {
        problem = fill::FillProblem::build(*composition, library, music ? &*music : nullptr, options);
    } catch (const ModelError& e) {
        err << e.what() << "\n";
        return ExitBadInput;
    }
    if (const auto path = line.text("--lp")) return writeLpFile(problem, *path, err);
    if (problem.leadCount() == 0) err << "Every lead has a method: nothing to fill (--all fills them all again)\n";
    // A search over cut candidate sets proves nothing about the methods left out.
    if (!problem.cutCodes().empty())
        err << "Candidates: the first " << options.generatorLimit << " generator methods only, for lead-head code"
            << (problem.cutCodes().size() > 1 ? "s " : " ") << problem.cutCodes() << "\n";
    const std::atomic<bool> stop{false};
    double lastLine = 0;
    const fill::FillResult result = fill::runFill(problem, options, stop, [&err, &lastLine](const fill::FillProgress& p) {
        if (p.complete || p.elapsedSeconds - lastLine < 1.0) return;
        lastLine = p.elapsedSeconds;
        err << std::fixed << std::setprecision(1) << p.elapsedSeconds << " s: " << p.nodes << " nodes, "
            << std::setprecision(0) << p.nodesPerSecond << " nodes/s, best music ";
        if (p.haveFill)
            err << p.bestMusic;
        else
            err << "none yet";
        if (p.haveBound) err << ", Bound: " << p.bound;
        if (p.proved) err << ", Optimal: yes";
        err << "\n" << std::defaultfloat;
    });

    const fill::FillStatus status = fill::reportedStatus(problem, result);
    switch (status) {
    case fill::FillStatus::ImpossibleLead:
        err << "Lead " << result.impossibleLead << " has no candidate\n";
        err << "No true fill exists\n";
        return ExitNoTrueFill;
    case fill::FillStatus::NoTrueFill:
        err << fill::noTrueFillText(options.constraints) << "\n";
        err << "Nodes: " << result.nodes << "\n";
        return ExitNoTrueFill;
    case fill::FillStatus::NoFillWithinLimits:
        err << "No fill found within the limits\n";
        err << "Nodes: " << result.nodes << "\n";
        return ExitNoFillWithinLimits;
    case fill::FillStatus::Optimal:
    case fill::FillStatus::LimitReached:
        break;
    }
    if (const int failed = fill::applyFill(*composition, library, result.methods); failed != 0) {
        err << "The fill's method for lead " << failed << " did not commit\n";
        return ExitBadInput;
    }
    composition->save(out);
    MusicTable none;
    std::set<std::string> different;
    for (std::size_t n = 1; n <= composition->leadCount(); ++n)
        if (const Method* m = composition->committedMethodAt(static_cast<int>(n))) different.insert(m->notationText());
    err << "Music: " << composition->musicScore(0, music ? *music : none, false) << "\n";
    err << "Methods: " << different.size() << " different\n";
    if (options.constraints.any()) {
        err << "Changes of method: " << methodBalance(*composition).changesOfMethod << "\n";
        err << "Score: " << result.score << "\n";
    }
    if (result.haveBound) err << "Bound: " << result.bound << "\n";
    err << "Optimal: " << (result.status == fill::FillStatus::Optimal ? "yes" : "no") << "\n";
    err << "Nodes: " << result.nodes << "\n";
    return ExitDone;
}

}  // namespace quarnel::cli
