#include <gtest/gtest.h>

#include <sstream>

#include "cli/options.h"

namespace quarnel::cli {
namespace {

const CommandTable& table() {
    static const CommandTable t = {
        "demo", "FILE", 1, "  what demo does\n",
        {{"--flag", "", "a flag"},
         {"--name", "TEXT", "a text", ValueKind::Text},
         {"--n", "N", "a whole number", ValueKind::Whole, "a whole number from 1 to 9", 1, 9},
         {"--quiet-n", "N", "a number whose bad value is a usage error", ValueKind::Whole, {}, 0, 5},
         {"--count", "N", "a count", ValueKind::Count, "a whole number, 0 or more"},
         {"--seconds", "S", "seconds", ValueKind::Seconds, "a number of seconds, 0 or more"},
         {"--must", "K", "a required option", ValueKind::Text, {}, 0, 0, true}},
        UsageShown::Synopsis};
    return t;
}

struct Read {
    std::optional<CommandLine> line;
    std::string err;
};

Read read(const std::vector<std::string>& args) {
    std::ostringstream err;
    auto line = readCommandLine(table(), args, "OVERVIEW\n", err);
    return {std::move(line), err.str()};
}

std::string synopsis() {
    std::ostringstream out;
    writeSynopsis(table(), out);
    return out.str();
}

TEST(OptionsTest, ReadsWordsFlagsAndValuesByTheTable) {
    const Read r = read({"--n", "3", "file.txt", "--flag", "--must", "x", "--count", "18446744073709551615", "--seconds", "2.5"});
    ASSERT_TRUE(r.line) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.line->words, std::vector<std::string>{"file.txt"});
    EXPECT_TRUE(r.line->flag("--flag"));
    EXPECT_EQ(r.line->whole("--n"), 3);
    EXPECT_EQ(r.line->text("--must"), "x");
    EXPECT_EQ(r.line->count("--count"), 18446744073709551615u);
    EXPECT_EQ(r.line->seconds("--seconds"), 2.5);
    EXPECT_FALSE(r.line->text("--name"));
    EXPECT_FALSE(r.line->whole("--quiet-n"));
}

TEST(OptionsTest, EachKindOfBadCommandLineHasOneMessage) {
    const std::string usage = synopsis();
    auto check = [](const std::vector<std::string>& args, const std::string& message) {
        std::string typed;
        for (const auto& a : args) typed += a + " ";
        SCOPED_TRACE(typed);
        const Read r = read(args);
        EXPECT_FALSE(r.line);
        EXPECT_EQ(r.err, message);
    };
    // Options the table does not name, or without their value.
    check({"f", "--must", "x", "--fast"}, "Unknown option --fast\n" + usage);
    check({"f", "--must", "x", "--name"}, "--name needs a value\n");
    // Numbers out of their kind or range: "NAME needs WHAT".
    check({"f", "--must", "x", "--n", "0"}, "--n needs a whole number from 1 to 9\n");
    check({"f", "--must", "x", "--n", "10"}, "--n needs a whole number from 1 to 9\n");
    check({"f", "--must", "x", "--n", "3x"}, "--n needs a whole number from 1 to 9\n");
    check({"f", "--must", "x", "--n", ""}, "--n needs a whole number from 1 to 9\n");
    check({"f", "--must", "x", "--count", "-5"}, "--count needs a whole number, 0 or more\n");
    check({"f", "--must", "x", "--seconds", "-1"}, "--seconds needs a number of seconds, 0 or more\n");
    check({"f", "--must", "x", "--seconds", "inf"}, "--seconds needs a number of seconds, 0 or more\n");
    // A number without a needs text, a missing word or required option: the usage.
    check({"f", "--must", "x", "--quiet-n", "6"}, usage);
    check({"--must", "x"}, usage);
    check({"f", "g", "--must", "x"}, usage);
    check({"f"}, usage);
}

TEST(OptionsTest, HelpHasTheSynopsisAndALineForEveryOption) {
    std::ostringstream out;
    writeHelp(table(), out);
    const std::string help = out.str();
    EXPECT_EQ(help.substr(0, synopsis().size()), synopsis());
    EXPECT_NE(synopsis().find(" --must K"), std::string::npos) << "a required option is not in brackets";
    EXPECT_NE(synopsis().find("[--n N]"), std::string::npos);
    std::istringstream lines(synopsis());
    for (std::string line; std::getline(lines, line);) EXPECT_LE(line.size(), 80u) << line;
    EXPECT_NE(help.find("  what demo does\n"), std::string::npos);
    for (const Option& o : table().options) {
        SCOPED_TRACE(std::string(o.name));
        std::string left = "  " + std::string(o.name) + (o.value.empty() ? "" : " " + std::string(o.value));
        left.resize(28, ' ');
        EXPECT_NE(help.find(left + std::string(o.help) + "\n"), std::string::npos) << help;
    }
}

TEST(OptionsTest, EachClassOptionSetsItsOwnFieldInEveryEngine) {
    struct Expected {
        const char* name;
        bool GeneratorOptions::*generator;
        bool DialogFields::*search;
        bool fill::FillOptions::*fill;
    };
    const std::vector<Expected> expected = {
        {"--right-place", &GeneratorOptions::rightPlace, &DialogFields::rightPlace, &fill::FillOptions::rightPlace},
        {"--symmetric-sections", &GeneratorOptions::symmetricSections, &DialogFields::symmetricSections,
         &fill::FillOptions::symmetricSections},
        {"--two-places", &GeneratorOptions::twoPlaces, &DialogFields::twoPlaces, &fill::FillOptions::twoPlaces},
        {"--surprise", &GeneratorOptions::allowSurprise, &DialogFields::allowSurprise, &fill::FillOptions::surprise},
        {"--delight", &GeneratorOptions::allowDelight, &DialogFields::allowDelight, &fill::FillOptions::delight},
        {"--treble-bob", &GeneratorOptions::allowTrebleBob, &DialogFields::allowTrebleBob, &fill::FillOptions::trebleBob},
        {"--named", nullptr, &DialogFields::namedOnly, &fill::FillOptions::named},
    };
    ASSERT_EQ(ClassOptions.size(), expected.size());
    CommandTable all = {"all", "", 0, "", classOptionsOf(&ClassOption::search), UsageShown::Overview};
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        std::ostringstream err;
        const auto line = readCommandLine(all, {e.name}, "", err);
        ASSERT_TRUE(line) << err.str();
        GeneratorOptions generator;
        DialogFields search;
        fill::FillOptions fill;
        setClassOptions(*line, generator, &ClassOption::generator);
        setClassOptions(*line, search, &ClassOption::search);
        setClassOptions(*line, fill, &ClassOption::fill);
        // The option's field is set and every other class field is cleared.
        for (const Expected& other : expected) {
            const bool given = &other == &e;
            if (other.generator != nullptr) {
                EXPECT_EQ(generator.*other.generator, given) << other.name;
            }
            EXPECT_EQ(search.*other.search, given) << other.name;
            EXPECT_EQ(fill.*other.fill, given) << other.name;
        }
    }
    EXPECT_EQ(classOptionsOf(&ClassOption::generator).size(), 6u);
    EXPECT_EQ(classOptionsOf(&ClassOption::fill).size(), 7u);
}

}  // namespace
}  // namespace quarnel::cli
