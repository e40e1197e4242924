// Every path docs/architecture.md names exists, so that the map a newcomer
// reads does not drift from the tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// The back-quoted words of the text that look like paths in the repository:
// a "/" inside, made only of path characters, not starting with "." or "/"
// (those are places outside it, such as an install's ../share/quarnel).
std::set<std::string> pathsNamed(const std::string& text) {
    std::set<std::string> paths;
    static const std::regex quoted("`([A-Za-z0-9_./-]+/[A-Za-z0-9_./-]*)`");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), quoted); it != std::sregex_iterator(); ++it)
        if (const std::string path = (*it)[1].str(); path.front() != '.' && path.front() != '/') paths.insert(path);
    return paths;
}

// A path is found at the top of the repository or, as includes name them,
// under src/.
bool exists(const fs::path& root, const std::string& path) {
    return fs::exists(root / path) || fs::exists(root / "src" / path);
}

TEST(CodeMapTest, EveryPathTheArchitectureNotesNameExists) {
    const fs::path root = QUARNEL_SOURCE_DIR;
    std::ifstream in(root / "docs" / "architecture.md");
    ASSERT_TRUE(in) << "missing " << (root / "docs" / "architecture.md").string();
    std::stringstream text;
    text << in.rdbuf();
    const std::set<std::string> paths = pathsNamed(text.str());
    EXPECT_GT(paths.size(), 40u) << "the code map names too few files";
    for (const std::string& path : paths) EXPECT_TRUE(exists(root, path)) << "docs/architecture.md names " << path;
}

TEST(CodeMapTest, PathsAreFoundInBackQuotesOnly) {
    const auto paths = pathsNamed("see `ringing/row.h` and ringing/none.h, `a b/c`, `../share/x`, `/usr/x` and `cli/`");
    EXPECT_EQ(paths, (std::set<std::string>{"ringing/row.h", "cli/"}));
}

}  // namespace
