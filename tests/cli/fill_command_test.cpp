#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/cli_run.h"
#include "cli/commands.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using Result = test::CliRun;

Result run(const std::vector<std::string>& args) { return test::runCli(args); }

TEST(FillCommandTest, AFillIsWrittenAsSaveWritesItAndProvesWithEveryLeadFilled) {
    const std::string plan = test::repoDataDir() + "/quarnel.txt";
    const std::string music = test::testDataDir() + "/major-classic.mus";
    const std::string library = test::standardMethodsDir();
    const Result r = run({"fill", plan, "--all", "--music", music, "--library", library, "--threads", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Optimal: yes\n"), std::string::npos);
    const std::size_t musicAt = r.err.find("Music: ");
    ASSERT_NE(musicAt, std::string::npos);
    // Searched to the end: the bound is the fill's music.
    EXPECT_NE(r.err.find("Bound: " + r.err.substr(musicAt + 7, r.err.find('\n', musicAt) - musicAt - 7) + "\n"), std::string::npos)
        << r.err;
    const std::string filled = ::testing::TempDir() + "quarnel-filled.txt";
    std::ofstream(filled) << r.out;
    const Result saved = run({"save", filled, "--library", library});
    EXPECT_EQ(saved.out, r.out);
    const Result proved = run({"prove", filled, "--music", music, "--library", library});
    EXPECT_NE(proved.out.find("Leads: 8\n"), std::string::npos);
    EXPECT_NE(proved.out.find("Methods: 8\n"), std::string::npos);
    const std::size_t at = r.err.find("Music: ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(proved.out.find(r.err.substr(at, r.err.find('\n', at) - at + 1)), std::string::npos);
}

TEST(FillCommandTest, AnUnfinishedFillReportsTheBoundAboveItsMusic) {
    // 35 leads of B with bobs and singles: five parts, far too many fills to
    // search in a second from the full library.
    const std::string calls = " - s- -s -  -  -      -     --     ";
    const std::string plan = ::testing::TempDir() + "quarnel-35-leads.txt";
    {
        std::ofstream file(plan);
        for (const char call : calls) file << "B" << call << " Cambridge S\n";
    }
    const Result r = run({"fill", plan, "--all", "--music", test::testDataDir() + "/major-classic.mus", "--library",
                          test::fullMethodsDir(), "--threads", "2", "--time-limit", "1.3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Optimal: no\n"), std::string::npos) << r.err;
    auto numberAfter = [&r](const std::string& label) {
        const std::size_t at = r.err.find(label);
        return at == std::string::npos ? -1 : std::stoll(r.err.substr(at + label.size()));
    };
    const long long music = numberAfter("\nMusic: ");
    EXPECT_GT(music, 0);
    EXPECT_GT(numberAfter("\nBound: "), music);
    // The progress line of the first second shows the bound too.
    EXPECT_GT(numberAfter(", Bound: "), 0) << r.err;
}

TEST(FillCommandTest, HelpNamesTheCommandAndItsOptions) {
    const Result general = run({"--help"});
    EXPECT_EQ(general.status, 0);
    EXPECT_NE(general.out.find("  fill FILE"), std::string::npos) << general.out;
    const Result fill = run({"fill", "--help"});
    EXPECT_EQ(fill.status, 0);
    EXPECT_NE(fill.out.find("--generator-limit"), std::string::npos) << fill.out;
    EXPECT_TRUE(fill.err.empty());
}

TEST(FillCommandTest, BadInputAndFillsThatCannotBeAreReportedWithTheirStatus) {
    const std::string plan = test::repoDataDir() + "/quarnel.txt";
    const std::string library = test::standardMethodsDir();
    auto check = [&](std::vector<std::string> args, int status, const std::string& message) {
        SCOPED_TRACE(message);
        args.insert(args.end(), {"--library", library});
        const Result r = run(args);
        EXPECT_EQ(r.status, status);
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_TRUE(status == 0 || r.out.empty());
    };
    check({"fill", test::testDataDir() + "/missing.txt"}, 1, "Cannot open");
    check({"fill", test::testDataDir() + "/false_lead_heads.txt"}, 1, "Load abandoned: Attempt to insert false row");
    check({"fill", plan, "--fast"}, 1, "Unknown option --fast");
    check({"fill", plan, "--threads", "0"}, 1, "--threads needs a whole number");
    check({"fill", plan, "--time-limit", "-1"}, 1, "--time-limit needs a number of seconds");
    check({"fill", plan, "--node-limit", "-5"}, 1, "--node-limit needs a whole number");
    check({"fill", plan, "--all-different", "--max-uses", "2"}, 1, "cannot be given together");
    check({"fill", plan, "--generator-limit", "-1"}, 1, "--generator-limit needs a whole number");
    // Named generator methods: the generator's unnamed methods are passed
    // over (once this walk started again at every one and never ended).
    check({"fill", plan, "--all", "--named", "--right-place"}, 2, "Lead 4 has no candidate");
    // Two Places alone: far more generator methods than the limit lets in,
    // and none of the first 40 of a code is true here; that proves nothing
    // about the methods left out.
    check({"fill", plan, "--all", "--two-places", "--generator-limit", "40"}, 3,
          "Candidates: the first 40 generator methods only, for lead-head codes ");
    check({"fill", plan, "--all", "--two-places", "--generator-limit", "40"}, 3, "No fill found within the limits");
    // Treble Bob only: the standard methods hold none for some of the codes.
    check({"fill", plan, "--all", "--treble-bob"}, 2, "No true fill exists");
    check({"fill", plan, "--all", "--node-limit", "1"}, 3, "No fill found within the limits");
    // The composer's constraints: contradictions are refused before the search.
    check({"fill", plan, "--min-methods", "4", "--max-methods", "3"}, 1,
          "Contradictory constraints: at least 4 methods but at most 3\n");
    check({"fill", plan, "--methods", "Cambridge,Bristol", "--min-methods", "3"}, 1,
          "Contradictory constraints: at least 3 methods but only 2 given\n");
    check({"fill", plan, "--methods", "Cambridge", "--surprise"}, 1, "--methods and --surprise cannot be given together\n");
    check({"fill", plan, "--methods", "Cambridge,Nowhere"}, 1, "No method named \"Nowhere\"");
    check({"fill", plan, "--balance", "101"}, 1, "--balance needs a whole number from 0 to 100\n");
    check({"fill", plan, "--all", "--min-com", "40"}, 1,
          "No fill of this plan can keep the constraints: at least 40 changes of method, but 8 leads of 160 changes in 5 "
          "parts have at most 39\n");
    check({"fill", plan, "--all", "--max-methods", "1"}, 2, "No true fill keeps the constraints: at most 1 method\n");
}

TEST(FillCommandTest, AFillUnderConstraintsKeepsThemAsProveCountsThem) {
    const std::string plan = ::testing::TempDir() + "six-leads.txt";
    const std::string music = test::testDataDir() + "/major-classic.mus";
    const std::string library = test::standardMethodsDir();
    std::ofstream(plan) << "B-\nB-\nB \nB \nB-\nB \n";
    const Result r = run({"fill", plan, "--music", music, "--library", library, "--methods", "Cambridge S,Yorkshire S,Superlative,Lincolnshire S,Pudsey S", "--max-com", "8", "--min-each", "192", "--threads", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::size_t at = r.err.find("Changes of method: ");
    ASSERT_NE(at, std::string::npos) << r.err;
    const std::string line = r.err.substr(at, r.err.find('\n', at) - at + 1);
    EXPECT_LE(std::stoi(line.substr(19)), 8);
    const std::string filled = ::testing::TempDir() + "six-filled.txt";
    std::ofstream(filled) << r.out;
    // prove counts the same changes of method, and each method rings at
    // least two leads of 3 parts.
    const Result proved = run({"prove", filled, "--music", music, "--library", library});
    EXPECT_NE(proved.out.find(line), std::string::npos) << proved.out;
    EXPECT_EQ(proved.out.find(" 96 changes"), std::string::npos) << proved.out;
}

}  // namespace
}  // namespace quarnel
