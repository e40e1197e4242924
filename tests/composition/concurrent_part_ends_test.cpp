#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "composition/analysis.h"
#include "composition/composition.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

// Everything a composition's part end shows in: its part count and part end,
// the music of the whole and of every definition, and for every lead and
// every method the falseness figures and music of the method tried there.
std::string proofOf(const std::string& text, const MethodLibrary& library, const MusicTable& sharedMusic,
                    const std::vector<std::unique_ptr<MajorMethod>>& methods) {
    // Each proof scores with a table of its own: a table remembers scores
    // and is scored by one thread at a time.
    MusicTable music = sharedMusic;
    std::istringstream in(text);
    const std::unique_ptr<Composition> c = readComposition(in, MajorMethod::HalfLength, library);
    std::ostringstream out;
    out << "parts " << c->partCount() << " end " << c->partEnd().row().text() << " music "
        << c->musicScore(0, music, false) << "\n";
    for (const MusicCount& count : musicCounts(*c, music)) out << count.title << ' ' << count.rows << ' ' << count.score << "\n";
    for (int n = 1; n <= static_cast<int>(c->leadCount()); ++n)
        for (const auto& method : methods) {
            c->tryMethodAt(n, method.get());
            out << n << ' ' << method->name() << ": " << c->falsenessScore() << ' ' << c->falsenessProfile(0, false) << ' '
                << c->musicScore(n, music, true) << ' ' << c->falsenessReport();
        }
    c->releaseTrial();
    return out.str();
}

TEST(ConcurrentPartEndsTest, CompositionsOfDifferentPartEndsProveAtOnceOnTwoThreads) {
    const MethodLibrary& library = test::starterLibrary();
    std::ifstream musicFile(test::testDataDir() + "/major-classic.mus");
    ASSERT_TRUE(musicFile) << "music file missing: " << test::testDataDir() << "/major-classic.mus";
    const MusicTable music = MusicTable::read(musicFile);
    std::vector<std::unique_ptr<MajorMethod>> methods;
    for (const char* name : {"Cambridge S", "Yorkshire S", "Lincolnshire S", "Superlative S", "Bristol S", "London S"}) {
        methods.push_back(std::make_unique<MajorMethod>(name, library));
        ASSERT_TRUE(methods.back()->hasNotation()) << name;
    }
    struct Plan {
        const char* what;
        std::string text;
        int parts;
    };
    const std::vector<Plan> plans = {
        {"the sample", test::readFile(test::repoDataDir() + "/quarnel.txt"), 5},
        {"two leads", test::readFile(test::testDataDir() + "/two_leads_three_parts.txt"), 3},
        {"plain course", "B  Cambridge S\n", 7},
    };
    // Each plan proved alone, on this thread.
    std::vector<std::string> alone;
    for (const Plan& plan : plans) {
        SCOPED_TRACE(plan.what);
        alone.push_back(proofOf(plan.text, library, music, methods));
        EXPECT_EQ(alone.back().rfind("parts " + std::to_string(plan.parts) + " ", 0), 0u) << alone.back().substr(0, 40);
    }
    // Every pair proved at once on two threads, again and again: each one's
    // proof is the one it has alone.
    for (std::size_t a = 0; a < plans.size(); ++a)
        for (std::size_t b = a + 1; b < plans.size(); ++b) {
            SCOPED_TRACE(std::string(plans[a].what) + " beside " + plans[b].what);
            int wrong = 0;
            for (int round = 0; round < 100; ++round) {
                std::string first, second;
                std::thread one([&] { first = proofOf(plans[a].text, library, music, methods); });
                std::thread two([&] { second = proofOf(plans[b].text, library, music, methods); });
                one.join();
                two.join();
                if (first != alone[a] || second != alone[b]) ++wrong;
            }
            EXPECT_EQ(wrong, 0);
        }
}

}  // namespace
}  // namespace quarnel
