#include "cli/options.h"

#include <charconv>
#include <cmath>
#include <ostream>

namespace quarnel::cli {
namespace {

template <typename T>
std::optional<T> readNumber(const std::string& text) {
    T v{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

std::optional<double> readSeconds(const std::string& text) {
    try {
        std::size_t used = 0;
        const double v = std::stod(text, &used);
        if (used != text.size() || !std::isfinite(v)) return std::nullopt;
        return v;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool valueReads(const Option& o, const std::string& text) {
    switch (o.kind) {
    case ValueKind::Flag:
    case ValueKind::Text:
        return true;
    case ValueKind::Whole: {
        const auto n = readNumber<int>(text);
        return n && *n >= o.least && *n <= o.most;
    }
    case ValueKind::Count:
        return text.empty() || text[0] == '-' ? false : readNumber<std::uint64_t>(text).has_value();
    case ValueKind::Seconds: {
        const auto s = readSeconds(text);
        return s && *s >= 0;
    }
    }
    return false;
}

const Option* find(const CommandTable& table, std::string_view name) {
    for (const Option& o : table.options)
        if (o.name == name) return &o;
    return nullptr;
}

}  // namespace

void writeSynopsis(const CommandTable& table, std::ostream& out) {
    std::string line = "usage: quarnel-cli " + std::string(table.name);
    if (!table.words.empty()) line += " " + std::string(table.words);
    const std::string indent(line.find(' ', 19) + 1, ' ');
    for (const Option& o : table.options) {
        std::string item = std::string(o.name);
        if (!o.value.empty()) item += " " + std::string(o.value);
        if (!o.required) item = "[" + item + "]";
        if (line.size() + 1 + item.size() > 80) {
            out << line << "\n";
            line = indent + item;
        } else {
            line += " " + item;
        }
    }
    out << line << "\n";
}

namespace {

void writeUsage(const CommandTable& table, std::string_view overview, std::ostream& err) {
    switch (table.usage) {
    case UsageShown::Overview: err << overview; break;
    case UsageShown::Synopsis: writeSynopsis(table, err); break;
    case UsageShown::Help: writeHelp(table, err); break;
    }
}

}  // namespace

std::optional<std::string> CommandLine::text(std::string_view name) const {
    const auto it = given_.find(name);
    if (it == given_.end()) return std::nullopt;
    return it->second;
}

std::optional<int> CommandLine::whole(std::string_view name) const {
    const auto t = text(name);
    return t ? readNumber<int>(*t) : std::nullopt;
}

std::optional<std::uint64_t> CommandLine::count(std::string_view name) const {
    const auto t = text(name);
    return t ? readNumber<std::uint64_t>(*t) : std::nullopt;
}

std::optional<double> CommandLine::seconds(std::string_view name) const {
    const auto t = text(name);
    return t ? readSeconds(*t) : std::nullopt;
}

std::optional<CommandLine> readCommandLine(const CommandTable& table, const std::vector<std::string>& args,
                                           std::string_view overview, std::ostream& err) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        // A word, unless it names one of the command's options ("-o" too).
        const Option* o = find(table, a);
        if (o == nullptr && (a.rfind("--", 0) != 0 || a.size() <= 2)) {
            line.words.push_back(a);
            continue;
        }
        if (o == nullptr) {
            err << "Unknown option " << a << "\n";
            writeUsage(table, overview, err);
            return std::nullopt;
        }
        if (o->kind == ValueKind::Flag) {
            line.given_[a];
            continue;
        }
        if (i + 1 >= args.size()) {
            err << a << " needs a value\n";
            return std::nullopt;
        }
        line.given_[a] = args[++i];
    }
    if (line.words.size() != table.wordCount) {
        writeUsage(table, overview, err);
        return std::nullopt;
    }
    for (const Option& o : table.options) {
        const auto value = line.text(o.name);
        if (!value || valueReads(o, *value)) continue;
        if (o.needs.empty())
            writeUsage(table, overview, err);
        else
            err << o.name << " needs " << o.needs << "\n";
        return std::nullopt;
    }
    for (const Option& o : table.options)
        if (o.required && !line.flag(o.name)) {
            writeUsage(table, overview, err);
            return std::nullopt;
        }
    return line;
}

void writeHelp(const CommandTable& table, std::ostream& out) {
    writeSynopsis(table, out);
    out << table.summary;
    for (const Option& o : table.options) {
        std::string left = "  " + std::string(o.name);
        if (!o.value.empty()) left += " " + std::string(o.value);
        constexpr std::size_t column = 28;
        out << left;
        if (left.size() + 1 >= column)
            out << "\n" << std::string(column, ' ');
        else
            out << std::string(column - left.size(), ' ');
        out << o.help << "\n";
    }
}

const std::vector<ClassOption> ClassOptions = {
    {{"--right-place", "", "right-place methods only (generator)"},
     &GeneratorOptions::rightPlace, &DialogFields::rightPlace, &fill::FillOptions::rightPlace, nullptr},
    {{"--symmetric-sections", "", "methods whose sections are symmetric (generator)"},
     &GeneratorOptions::symmetricSections, &DialogFields::symmetricSections, &fill::FillOptions::symmetricSections, nullptr},
    {{"--two-places", "", "no more than two places in a change (generator)"},
     &GeneratorOptions::twoPlaces, &DialogFields::twoPlaces, &fill::FillOptions::twoPlaces, nullptr},
    {{"--surprise", "", "Surprise methods"},
     &GeneratorOptions::allowSurprise, &DialogFields::allowSurprise, &fill::FillOptions::surprise, &compose::ComposeOptions::surprise},
    {{"--delight", "", "Delight methods"},
     &GeneratorOptions::allowDelight, &DialogFields::allowDelight, &fill::FillOptions::delight, &compose::ComposeOptions::delight},
    {{"--treble-bob", "", "Treble Bob methods"},
     &GeneratorOptions::allowTrebleBob, &DialogFields::allowTrebleBob, &fill::FillOptions::trebleBob, &compose::ComposeOptions::trebleBob},
    {{"--named", "", "methods with a library name only"},
     nullptr, &DialogFields::namedOnly, &fill::FillOptions::named, nullptr},
};

}  // namespace quarnel::cli
