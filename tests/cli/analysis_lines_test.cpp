#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

std::string temporaryFile(const std::string& name, const std::string& content) {
    const auto path = std::filesystem::temp_directory_path() / ("quarnel-analysis-" + name);
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

TEST(ProveAnalysisTest, LinesFollowTheFiguresInTheirOrder) {
    const std::string data = test::repoDataDir();
    const std::string music = temporaryFile("hand.mus", "Every row\n1 0 xxxxxxxx\nRounds\n3 0 12345678\n");
    std::istringstream in;
    std::ostringstream out, err;
    const int status = cli::run({"prove", test::testDataDir() + "/two_leads_three_parts.txt", "--music", music,
                                 "--library", data}, in, out, err);
    EXPECT_EQ(status, 0) << err.str();
    const std::string figures = "Leads: 2\nParts: 3\nPart end: 16482573\nChanges: 192\nMethods: 2\nMusic: 195\n";
    EXPECT_EQ(out.str(), figures +
                             "ATW: 38 of 98\n"
                             "Changes of method: 5\n"
                             "Methods used: 2\n"
                             "Method: 96 Adelaide S\n"
                             "Method: 96 Cambridge S\n"
                             "Count: 192 192 Every row\n"
                             "Count: 1 3 Rounds\n"
                             // The calling comes last: the bob at the first lead
                             // end leaves the tenor in 5ths.
                             "Course heads: 23456\n"
                             "Calling: V\n");
}

TEST(ProveAnalysisTest, AMusicFileWithoutDefinitionsIsReported) {
    const std::string data = test::repoDataDir();
    const std::string music = temporaryFile("empty.mus", "just a title\nand no numbers\n");
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(cli::run({"prove", data + "/quarnel.txt", "--music", music, "--library", data}, in, out, err), 1);
    EXPECT_EQ(err.str(), "No music definitions in " + music + "\n");
    EXPECT_EQ(out.str().find("Count: "), std::string::npos);
}

}  // namespace
}  // namespace quarnel
