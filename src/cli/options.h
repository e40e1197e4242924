#pragma once
// The command line of every quarnel-cli command, read through one table per
// command: each option's name, the name of its value (none for a flag), its
// help and the kind of value it takes. The same table writes the command's
// --help and checks what was typed, so that an unknown option, an option
// without its value and a value that is no number of its range each have one
// message, whatever the command. Also the exit statuses every command returns
// and the class and generator options, mapped once to what each engine reads.
#include <cstdint>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compose/compose_options.h"
#include "fill/fill.h"
#include "methods/method_generator.h"
#include "session/dialog_fields.h"

namespace quarnel::cli {

// What every command returns.
inline constexpr int ExitDone = 0;
inline constexpr int ExitBadInput = 1;            // bad input, or a command line that is no usage
inline constexpr int ExitNoTrueFill = 2;          // no true fill (or search result) exists
inline constexpr int ExitNoFillWithinLimits = 3;  // none found before a limit came

enum class ValueKind {
    Flag,     // no value
    Text,     // any text
    Whole,    // a whole number (int) from least to most
    Count,    // a whole number of 0 or more (64 bits)
    Seconds,  // a number of seconds, 0 or more
};

struct Option {
    std::string_view name;   // "--lead"
    std::string_view value;  // the value's name in help ("N"); "" for a flag
    std::string_view help;
    ValueKind kind = ValueKind::Flag;
    // A bad value is reported as "NAME needs <needs>"; with no needs text, as
    // a command line that is no usage.
    std::string_view needs = {};
    long long least = 0, most = 0;  // the range of a Whole
    bool required = false;          // a command line without it is no usage
};

// What a usage error shows after its message.
enum class UsageShown { Overview, Synopsis, Help };

struct CommandTable {
    std::string_view name;     // "prove"
    std::string_view words;    // the words after the name in the synopsis ("FILE")
    std::size_t wordCount;     // how many words the command takes
    std::string_view summary;  // what the command does, lines of help
    std::vector<Option> options;
    UsageShown usage = UsageShown::Overview;
};

// A command line read against its table: the words after the command's
// name and the options given, each value checked against its kind.
class CommandLine {
public:
    std::vector<std::string> words;

    bool flag(std::string_view name) const { return given_.count(name) != 0; }
    std::optional<std::string> text(std::string_view name) const;
    std::optional<int> whole(std::string_view name) const;
    std::optional<std::uint64_t> count(std::string_view name) const;
    std::optional<double> seconds(std::string_view name) const;

private:
    friend std::optional<CommandLine> readCommandLine(const CommandTable&, const std::vector<std::string>&, std::string_view,
                                                      std::ostream&);
    std::map<std::string, std::string, std::less<>> given_;  // a flag's value is ""
};

// Reads args (the words after the command's name) against the table. An
// unknown option, an option without its value, a word count the table does
// not take, a bad value and a required option not given are written to err,
// with the usage the table names (overview: the program's overview), and
// give nothing.
std::optional<CommandLine> readCommandLine(const CommandTable& table, const std::vector<std::string>& args,
                                           std::string_view overview, std::ostream& err);

// The usage line: the command's words and every option (those not required
// in brackets), wrapped at 80 columns.
void writeSynopsis(const CommandTable& table, std::ostream& out);

// The usage line, the summary and a line for each option, as --help writes them.
void writeHelp(const CommandTable& table, std::ostream& out);

// The class and generator options: each one's option and the field it sets
// in the generator's options, the search's fields, Fill's options and
// Compose's options (none: that engine has no such option).
struct ClassOption {
    Option option;
    bool GeneratorOptions::*generator;
    bool DialogFields::*search;
    bool fill::FillOptions::*fill;
    bool compose::ComposeOptions::*compose;
};
extern const std::vector<ClassOption> ClassOptions;

// The class options a command takes: those that set a field of T.
template <typename T>
std::vector<Option> classOptionsOf(bool T::* ClassOption::*field) {
    std::vector<Option> options;
    for (const ClassOption& c : ClassOptions)
        if (c.*field != nullptr) options.push_back(c.option);
    return options;
}

// Sets each class field of T from the command line: true when its option was given.
template <typename T>
void setClassOptions(const CommandLine& line, T& target, bool T::* ClassOption::*field) {
    for (const ClassOption& c : ClassOptions)
        if (c.*field != nullptr) target.*(c.*field) = line.flag(c.option.name);
}

}  // namespace quarnel::cli
