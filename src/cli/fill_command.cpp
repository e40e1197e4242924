#include "cli/fill_command.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "composition/composition.h"
#include "composition/music.h"
#include "fill/fill.h"
#include "methods/major_method.h"
#include "methods/library_location.h"
#include "methods/method_library.h"
#include "ringing/model_error.h"

namespace quarnel::cli {
namespace {

constexpr std::string_view FillUsage =
    "usage: quarnel-cli fill FILE [--named] [--surprise] [--delight] [--treble-bob]\n"
    "           [--right-place] [--symmetric-sections] [--two-places] [--music MUSIC] [--all]\n"
    "           [--all-different | --max-uses K] [--threads N] [--time-limit SECONDS]\n"
    "           [--node-limit N] [--generator-limit N] [--library DIR]\n"
    "  fills every empty lead (with --all, every lead) with a true set of methods\n"
    "  of the most music; writes the filled composition to standard output;\n"
    "  --generator-limit: the most generator methods of one lead-head code (default 20000, 0: all)\n";

const std::set<std::string_view> Flags = {"--named", "--surprise", "--delight", "--treble-bob", "--right-place",
                                          "--symmetric-sections", "--two-places", "--all", "--all-different"};
const std::set<std::string_view> Valued = {"--music", "--max-uses", "--threads", "--time-limit", "--node-limit",
                                           "--generator-limit", "--library"};

template <typename T>
std::optional<T> toNumber(const std::string& text) {
    T v{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return v;
}

std::optional<double> toSeconds(const std::string& text) {
    try {
        std::size_t used = 0;
        const double v = std::stod(text, &used);
        if (used != text.size() || !std::isfinite(v)) return std::nullopt;
        return v;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Reads the command line into the options; false (after a message) on bad input.
bool readOptions(const std::vector<std::string>& args, std::string& file, std::map<std::string, std::string, std::less<>>& values,
                 fill::FillOptions& o, std::ostream& err) {
    std::set<std::string, std::less<>> flags;
    std::vector<std::string> words;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) == 0 && a.size() > 2) {
            if (Valued.count(a) != 0) {
                if (i + 1 >= args.size()) {
                    err << a << " needs a value\n";
                    return false;
                }
                values[a] = args[++i];
            } else if (Flags.count(a) != 0) {
                flags.insert(a);
            } else {
                err << "Unknown option " << a << "\n" << FillUsage;
                return false;
            }
        } else {
            words.push_back(a);
        }
    }
    if (words.size() != 1) {
        err << FillUsage;
        return false;
    }
    file = words[0];
    auto flag = [&flags](std::string_view name) { return flags.count(name) != 0; };
    o.named = flag("--named");
    o.surprise = flag("--surprise");
    o.delight = flag("--delight");
    o.trebleBob = flag("--treble-bob");
    o.rightPlace = flag("--right-place");
    o.symmetricSections = flag("--symmetric-sections");
    o.twoPlaces = flag("--two-places");
    o.all = flag("--all");
    o.allDifferent = flag("--all-different");
    if (const auto it = values.find("--max-uses"); it != values.end()) {
        if (o.allDifferent) {
            err << "--all-different and --max-uses cannot be given together\n";
            return false;
        }
        const auto k = toNumber<int>(it->second);
        if (!k || *k < 1) {
            err << "--max-uses needs a whole number of 1 or more\n";
            return false;
        }
        o.maxUses = *k;
    }
    if (const auto it = values.find("--threads"); it != values.end()) {
        const auto n = toNumber<int>(it->second);
        if (!n || *n < 1 || *n > 1024) {
            err << "--threads needs a whole number from 1 to 1024\n";
            return false;
        }
        o.threads = *n;
    }
    if (const auto it = values.find("--time-limit"); it != values.end()) {
        const auto s = toSeconds(it->second);
        if (!s || *s < 0) {
            err << "--time-limit needs a number of seconds, 0 or more\n";
            return false;
        }
        o.timeLimitSeconds = *s;
    }
    if (const auto it = values.find("--node-limit"); it != values.end()) {
        const auto n = it->second.empty() || it->second[0] == '-' ? std::nullopt : toNumber<std::uint64_t>(it->second);
        if (!n) {
            err << "--node-limit needs a whole number, 0 or more\n";
            return false;
        }
        o.nodeLimit = *n;
    }
    if (const auto it = values.find("--generator-limit"); it != values.end()) {
        const auto n = toNumber<int>(it->second);
        if (!n || *n < 0) {
            err << "--generator-limit needs a whole number, 0 or more\n";
            return false;
        }
        o.generatorLimit = *n;
    }
    return true;
}

}  // namespace

int fillCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string file;
    std::map<std::string, std::string, std::less<>> values;
    fill::FillOptions options;
    if (std::find(args.begin(), args.end(), "--help") != args.end()) {
        out << FillUsage;
        return 0;
    }
    if (!readOptions(args, file, values, options, err)) return 1;

    MethodLibrary& library = MethodLibrary::instance();
    library.clear();
    const auto folder = values.find("--library");
    readLibraryFiles(library, programLibrary(folder == values.end() ? std::string() : folder->second, nullptr).folder);
    std::optional<MusicTable> music;
    if (const auto it = values.find("--music"); it != values.end()) {
        std::ifstream in(it->second, std::ios::binary);
        if (!in) {
            err << "Cannot open " << it->second << "\n";
            return 1;
        }
        music = MusicTable::read(in);
    }
    std::unique_ptr<Composition> composition;
    {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            err << "Cannot open " << file << "\n";
            return 1;
        }
        try {
            composition = readComposition(in, MajorMethod::HalfLength, library);
        } catch (const ModelError& e) {
            err << "Load abandoned: " << e.what() << "\n";
            return 1;
        }
    }

    fill::FillProblem problem;
    try {
        problem = fill::FillProblem::build(*composition, library, music ? &*music : nullptr, options);
    } catch (const ModelError& e) {
        err << e.what() << "\n";
        return 1;
    }
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
        return 2;
    case fill::FillStatus::NoTrueFill:
        err << "No true fill exists\n";
        err << "Nodes: " << result.nodes << "\n";
        return 2;
    case fill::FillStatus::NoFillWithinLimits:
        err << "No fill found within the limits\n";
        err << "Nodes: " << result.nodes << "\n";
        return 3;
    case fill::FillStatus::Optimal:
    case fill::FillStatus::LimitReached:
        break;
    }
    if (const int failed = fill::applyFill(*composition, library, result.methods); failed != 0) {
        err << "The fill's method for lead " << failed << " did not commit\n";
        return 1;
    }
    composition->save(out);
    MusicTable none;
    std::set<std::string> different;
    for (std::size_t n = 1; n <= composition->leadCount(); ++n)
        if (const Method* m = composition->committedMethodAt(static_cast<int>(n))) different.insert(m->notationText());
    err << "Music: " << composition->musicScore(0, music ? *music : none, false) << "\n";
    err << "Methods: " << different.size() << " different\n";
    if (result.haveBound) err << "Bound: " << result.bound << "\n";
    err << "Optimal: " << (result.status == fill::FillStatus::Optimal ? "yes" : "no") << "\n";
    err << "Nodes: " << result.nodes << "\n";
    return 0;
}

}  // namespace quarnel::cli
