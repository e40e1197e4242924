#include <gtest/gtest.h>

#include <sstream>

#include "cli/commands.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result run(std::vector<std::string> args) {
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::run(args, in, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
}

TEST(CliTest, RowsOfANameOrANotationText) {
    const std::string library = test::repoDataDir();
    for (const char* text : {"Cambridge S", "b&-3-4-25-36-4-5-6-7", "b&-38-14-1258-36-14-58-16-78"}) {
        SCOPED_TRACE(text);
        const Result r = run({"rows", text, "--library", library});
        EXPECT_EQ(r.status, 0);
        const auto rows = lines(r.out);
        ASSERT_EQ(rows.size(), 33u);
        EXPECT_EQ(rows[0], "12345678");
        EXPECT_EQ(rows[31], "15372846");
        EXPECT_EQ(rows[32], "15738264");
    }
    const Result none = run({"rows", "Nonesuch S", "--library", library});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err, "");
}

TEST(CliTest, GenerateListsTheGeneratorsMethods) {
    const Result r = run({"generate", "B", "--right-place", "--symmetric-sections", "--surprise", "--library", test::repoDataDir()});
    EXPECT_EQ(r.status, 0);
    const auto methods = lines(r.out);
    ASSERT_EQ(methods.size(), 4417u);
    EXPECT_EQ(methods[1448], "b&-3-4-25-36-4-5-6-7");
    const Result limited = run({"generate", "m", "--surprise", "--limit", "3"});
    EXPECT_EQ(lines(limited.out).size(), 3u);
    const Result noClass = run({"generate", "m"});
    EXPECT_EQ(noClass.status, 0);
    EXPECT_EQ(noClass.out, "");
}

TEST(CliTest, BadInputIsReported) {
    const Result bad = run({"generate", "I", "--surprise"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "Bad lead end group\n");
    EXPECT_EQ(run({"generate", "B", "--limit", "x"}).status, 2);
    EXPECT_EQ(run({"generate", "B", "--bogus"}).status, 2);
    EXPECT_EQ(run({"frobnicate"}).status, 2);
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"--help"}).status, 0);
    EXPECT_EQ(run({"rows"}).status, 2);
}

}  // namespace
}  // namespace quarnel
