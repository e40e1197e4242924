#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <sstream>

#include "cli/cli_run.h"
#include "cli/commands.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using Result = test::CliRun;

Result run(const std::vector<std::string>& args) { return test::runCli(args); }

// The figures `prove` gives a file, as one text to compare.
std::string proved(const std::string& file, const std::string& library, const std::string& music) {
    const Result r = run({"prove", file, "--library", library, "--music", music});
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
}

TEST(ComposeCommandTest, OutWritesEveryCompositionInRankOrderAsAFileThatProvesAsPrinted) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(::testing::TempDir()) / "quarnel-compose-out";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string library = test::standardMethodsDir();
    const std::string music = test::repoDataDir() + "/major.mus";
    const Result r = run({"compose", "--methods", "Cambridge S,Yorkshire S,London S", "--length", "224-320", "--calls",
                          "bobs-singles", "--music", music, "--count", "4", "--threads", "2", "--library", library, "--out",
                          folder.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> summaries;
    for (const std::string& line : test::lines(r.out))
        if (line.rfind("Summary: ", 0) == 0) summaries.push_back(line);
    ASSERT_EQ(summaries.size(), 4u);
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        ++files;
        EXPECT_EQ(entry.path().extension(), ".txt") << "left behind: " << entry.path();
    }
    EXPECT_EQ(files, 4);
    long long last = LLONG_MAX;
    for (int k = 1; k <= 4; ++k) {
        const std::string file = (folder / ("comp-" + std::to_string(k) + ".txt")).string();
        const std::string figures = proved(file, library, music);
        // The music prove counts is the music printed, and never rises down the list.
        const std::size_t at = figures.find("Music: ");
        ASSERT_NE(at, std::string::npos);
        const long long music = std::stoll(figures.substr(at + 7));
        EXPECT_NE(summaries[static_cast<std::size_t>(k - 1)].find(", music " + std::to_string(music) + ","), std::string::npos)
            << summaries[static_cast<std::size_t>(k - 1)];
        EXPECT_LE(music, last);
        last = music;
        EXPECT_NE(figures.find("Parts: 1\n"), std::string::npos);
    }
    fs::remove_all(folder);
}

TEST(ComposeCommandTest, AFolderThatCannotBeWrittenIsRefusedBeforeTheSearch) {
    const std::string file = test::repoDataDir() + "/major.mus";
    const Result r = run({"compose", "--methods", "Cambridge S", "--length", "qp", "--out", file, "--library",
                          test::standardMethodsDir()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "--out: " + file + " is no folder\n");
}

}  // namespace
}  // namespace quarnel
