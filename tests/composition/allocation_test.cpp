// The hot paths of a search allocate nothing per candidate: the generator's
// next method, building a MajorMethod from its notation text or from the
// generator's changes, trying it in a lead with its score and profile, and
// scoring the lead's music both ways. Counted with a replaced global
// operator new (this program only).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <sstream>

#include "composition/composition.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "methods/method_generator.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace quarnel {
namespace {

TEST(AllocationTest, TryingCandidatesAllocatesNothing) {
    const auto c = test::composition(test::readFile(test::repoDataDir() + "/quarnel.txt"));
    std::istringstream musicFile(test::readFile(test::repoDataDir() + "/major.mus"));
    MusicTable music = MusicTable::read(musicFile);
    MajorMethodGenerator generator;
    GeneratorOptions options;
    const MethodLibrary& library = test::starterLibrary();

    auto candidate = [&](int start) {
        const std::string& text = generator.nextMethod('c', start, options);
        const MajorMethod m(text, library);
        c->tryMethodAt(3, &m);
        if (!text.empty()) {
            // The dialog's search builds the method from the generator's changes.
            const MajorMethod built(text[0], generator.halfLeadChanges(), library);
            c->tryMethodAt(3, &built);
        }
        const int next = c->falsenessProfile(0, false) - 1;
        return next + c->falsenessScore() * 0 + c->musicScore(3, music, true) * 0 + c->musicScore(3, music, false) * 0 +
               (library.nameOf(text).empty() ? 0 : 0);
    };
    int start = candidate(-1);  // warm up: buffers and the music memo reach their size
    for (int i = 0; i < 200; ++i) start = candidate(start < 0 ? 0 : start);
    const long before = allocations.load();
    EXPECT_GT(before, 0);  // the counter sees the allocations of reading and warming up
    for (int i = 0; i < 2000; ++i) start = candidate(start < 0 ? 0 : start);
    EXPECT_EQ(allocations.load() - before, 0);
}

}  // namespace
}  // namespace quarnel
