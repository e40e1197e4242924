// A music file: it always reads, its remembered scores of the starter
// composition are the scores, and the whole composition's music is the sum
// of its leads'.
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
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    MusicTable table = MusicTable::read(in);
    const int leads = static_cast<int>(c.leadCount());
    std::vector<int> scores;
    for (int n = 0; n <= leads; ++n) scores.push_back(c.musicScore(n, table, false));
    for (int n = leads; n >= 0; --n) {
        fuzz::require(c.musicScore(n, table, false) == scores[static_cast<std::size_t>(n)], "a remembered score is the score");
    }
    long long sum = 0;
    for (int n = 1; n <= leads; ++n) sum += scores[static_cast<std::size_t>(n)];
    if (sum > -2000000000LL && sum < 2000000000LL)
        fuzz::require(scores[0] == sum, "the whole composition's music is the sum of its leads'");
    return 0;
}
