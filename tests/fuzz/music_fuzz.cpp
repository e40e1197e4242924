// A music file: it always reads, and its scores of the starter composition
// are the same scored twice and from a second reading of the same file.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>

#include "fuzz_support.h"

using namespace quarnel;

namespace {

Composition& starterComposition() {
    static std::unique_ptr<Composition> c = [] {
        std::ifstream in(std::string(QUARNEL_REPO_DATA) + "/quarnel.txt", std::ios::binary);
        return readComposition(in, 16, fuzz::starterLibrary());
    }();
    return *c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Composition& c = starterComposition();
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::istringstream in(text);
    MusicTable table = MusicTable::read(in);
    const int leads = static_cast<int>(c.leadCount());
    std::vector<int> scores;
    for (int n = 0; n <= leads; ++n) scores.push_back(c.musicScore(n, table, false));
    std::istringstream again(text);
    MusicTable second = MusicTable::read(again);
    for (int n = leads; n >= 0; --n) {
        fuzz::require(c.musicScore(n, table, false) == scores[static_cast<std::size_t>(n)], "a remembered score is the score");
        fuzz::require(c.musicScore(n, second, false) == scores[static_cast<std::size_t>(n)], "a music file scores the same read twice");
    }
    long long sum = 0;
    for (int n = 1; n <= leads; ++n) sum += scores[static_cast<std::size_t>(n)];
    if (sum > -2000000000LL && sum < 2000000000LL)
        fuzz::require(scores[0] == sum, "the whole composition's music is the sum of its leads'");
    return 0;
}
