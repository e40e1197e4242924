#include "cli/commands.h"

#include <charconv>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "methods/major_method.h"
#include "methods/method_generator.h"
#include "methods/method_library.h"
#include "ringing/model_error.h"

namespace quarnel::cli {
namespace {

constexpr std::string_view Usage =
    "usage: quarnel-cli COMMAND [ARGS] [--library DIR]\n"
    "commands:\n"
    "  rows TEXT                 the 33 rows of a method (library name or notation text)\n"
    "  generate CODE [--right-place] [--symmetric-sections] [--two-places]\n"
    "           [--surprise] [--delight] [--treble-bob] [--limit N]\n"
    "                            the generator's methods for a lead-head code, in order\n"
    "The method libraries S8, D8 and T8 are read from the working directory or DIR.\n";

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
    readLibraryFiles(library, a.value("--library").value_or(""));
}

int rows(const Arguments& a, std::ostream& out, std::ostream& err) {
    if (a.words.size() != 2) {
        err << Usage;
        return 2;
    }
    loadLibrary(a);
    const MajorMethod method(a.words[1]);
    if (!method.hasNotation()) {
        err << "No method: " << a.words[1] << "\n";
        return 1;
    }
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
    MajorMethodGenerator& generator = MajorMethodGenerator::instance();
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

}  // namespace

int run(const std::vector<std::string>& args, std::istream&, std::ostream& out, std::ostream& err) {
    Arguments a;
    if (!parse(args, {"--library", "--limit"}, a, err)) return 2;
    if (a.words.empty() || a.flag("--help")) {
        (a.words.empty() && !a.flag("--help") ? err : out) << Usage;
        return a.flag("--help") ? 0 : 2;
    }
    const std::string& command = a.words[0];
    if (command == "rows") return checkFlags(a, {}, err) ? rows(a, out, err) : 2;
    if (command == "generate")
        return checkFlags(a, {"--right-place", "--symmetric-sections", "--two-places", "--surprise", "--delight", "--treble-bob"}, err)
                   ? generate(a, out, err)
                   : 2;
    err << "Unknown command " << command << "\n" << Usage;
    return 2;
}

}  // namespace quarnel::cli
