#include "support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace quarnel::test {

Row row(std::string_view text) {
    const auto r = Row::fromSymbols(text);
    EXPECT_TRUE(r.has_value()) << "not a row: " << text;
    return r.value_or(Row());
}

std::string fullMethodsDir() { return QUARNEL_REPO_DATA; }
std::string standardMethodsDir() { return std::string(QUARNEL_TEST_DATA) + "/methods-standard"; }
std::string starterMethodsDir() { return std::string(QUARNEL_TEST_DATA) + "/starter"; }
std::string repoDataDir() { return QUARNEL_REPO_DATA; }
std::string testDataDir() { return QUARNEL_TEST_DATA; }

const MethodLibrary& libraryIn(const std::string& folder) {
    static std::map<std::string, MethodLibrary> libraries;
    const auto [it, added] = libraries.try_emplace(folder);
    if (!added) return it->second;
    for (const char* file : {"S8", "D8", "T8"}) {
        const std::filesystem::path path = std::filesystem::path(folder) / file;
        if (!std::filesystem::is_regular_file(path)) ADD_FAILURE() << "method library missing: " << path.string();
    }
    readLibraryFiles(it->second, folder);
    return it->second;
}

void expectGolden(const std::string& actual, const std::string& file) {
    const std::string path = testDataDir() + "/" + file;
    if (const char* bless = std::getenv("QUARNEL_BLESS"); bless != nullptr && std::string(bless) == "1")
        std::ofstream(path, std::ios::binary) << actual;
    EXPECT_EQ(actual, readFile(path)) << "golden file " << path << " (QUARNEL_BLESS=1 rewrites it)";
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> all;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace quarnel::test

#include "support/composition_builders.h"

namespace quarnel::test {

const MethodLibrary& starterLibrary() {
    return libraryIn(starterMethodsDir());
}

std::unique_ptr<Composition> composition(const std::string& text) {
    std::istringstream in(text);
    return readComposition(in, 16, starterLibrary());
}

std::string saved(const Composition& c) {
    std::ostringstream out;
    c.save(out);
    return out.str();
}

}  // namespace quarnel::test
