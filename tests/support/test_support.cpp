#include "support/test_support.h"

#include <fstream>
#include <sstream>

namespace quarnel::test {

Row row(std::string_view text) {
    const auto r = Row::fromSymbols(text);
    EXPECT_TRUE(r.has_value()) << "not a row: " << text;
    return r.value_or(Row());
}

std::string sharedMethodsDir() { return std::string(QUARNEL_SHARED_DATA) + "/methods"; }
std::string standardMethodsDir() { return std::string(QUARNEL_SHARED_DATA) + "/methods-standard"; }
std::string repoDataDir() { return QUARNEL_REPO_DATA; }
std::string testDataDir() { return QUARNEL_TEST_DATA; }

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
    static const MethodLibrary library = [] {
        MethodLibrary l;
        readLibraryFiles(l, repoDataDir());
        return l;
    }();
    return library;
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
