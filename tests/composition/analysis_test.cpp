#include "composition/analysis.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "composition/composition.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "ringing/place_notation.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

MusicTable music(const std::string& text) {
    std::istringstream in(text);
    return MusicTable::read(in);
}

const char* const HandCounted =
    "Every row\n1 0 xxxxxxxx\n"
    "Treble leading\n2 0 1xxxxxxx\n"
    "Treble leading at handstroke\n1 0 1xxxxxxxH\n"
    "Rounds\n3 0 12345678\n"
    "Twice listed\n1 0 xxxxxxxx xxxxxxxx\n";

TEST(AnalysisTest, PlainCourseOfOneMethod) {
    std::string course;
    for (int i = 0; i < 7; ++i) course += "B  Cambridge S\n";
    const auto c = test::composition(course);
    const MethodBalance b = methodBalance(*c);
    ASSERT_EQ(b.methods.size(), 1u);
    EXPECT_EQ(b.methods[0].name + " " + std::to_string(b.methods[0].changes), "Cambridge S 224");
    EXPECT_EQ(b.changesOfMethod, 0);
    EXPECT_TRUE(b.allTheWork());  // every bell rings every start once
    EXPECT_EQ(missingWork(b.methods[0]), "");

    MusicTable t = music(HandCounted);
    const auto counts = musicCounts(*c, t);
    ASSERT_EQ(counts.size(), 5u);
    long long total = 0;
    auto check = [&](std::size_t d, long long rows, long long score) {
        SCOPED_TRACE(counts[d].title);
        EXPECT_EQ(counts[d].rows, rows);
        EXPECT_EQ(counts[d].score, score);
        total += counts[d].score;
    };
    check(0, 224, 224);
    check(1, 28, 56);  // the treble leads twice at each end of every lead
    check(2, 14, 14);  // half of those at handstroke
    check(3, 1, 3);    // rounds at the start, once
    check(4, 224, 448);  // a row counts once, its score twice
    EXPECT_EQ(counts[2].title, "Treble leading at handstroke");
    EXPECT_EQ(total, c->musicScore(0, t, false));
}

TEST(AnalysisTest, ThreePartOfTwoMethods) {
    const auto c = test::composition(test::readFile(test::testDataDir() + "/two_leads_three_parts.txt"));
    // The part end 16482573 moves 2 6 5 and 3 4 8 round and leaves the 7 at home.
    ASSERT_EQ(c->partEnd().row().text(), "16482573");
    const MethodBalance b = methodBalance(*c);
    ASSERT_EQ(b.methods.size(), 2u);
    EXPECT_EQ(b.methods[0].name, "Adelaide S");  // 96 changes each: byte order of the name
    EXPECT_EQ(b.methods[1].name, "Cambridge S");
    EXPECT_EQ(b.methods[1].changes, 96);
    EXPECT_EQ(b.changesOfMethod, 5);  // one within each part, two from part to part
    EXPECT_EQ(b.piecesRung(), 38);    // 3 leads of 7 starts, the 7 ringing one start thrice
    EXPECT_EQ(b.piecesPossible(), 98);
    // Cambridge starts from rounds: the 2 rings the starts of 2, 5 and 6.
    const std::string cambridge = missingWork(b.methods[1]);
    EXPECT_EQ(cambridge.substr(0, 17), "2 misses 3 4 7 8;");
    EXPECT_NE(cambridge.find("7 misses 2 3 4 5 6 8"), std::string::npos);
    const auto counts = musicCounts(*c, music(HandCounted));
    EXPECT_EQ(counts[0].rows, 192);
    EXPECT_EQ(counts[1].rows, 24);  // 4 rows a lead, 2 leads, 3 parts
}

TEST(AnalysisTest, ChangesOfMethodCountAcrossParts) {
    auto check = [](std::vector<std::string> leads, int parts, long long expected) {
        SCOPED_TRACE(::testing::PrintToString(leads) + " x" + std::to_string(parts));
        EXPECT_EQ(changesOfMethod(leads, parts), expected);
    };
    check({"a", "a", "b"}, 3, 5);
    check({"a", "b", "a"}, 3, 6);  // a part end between two leads of one method is no change
    check({"a", "", "a"}, 1, 2);   // a lead without a method is no method
    check({}, 2, 0);
    // A 5024 of Rutland, Yorkshire, Lincolnshire and Cambridge in 32 blocks of
    // 44, 40, 38 and 35 leads in all changes method 31 times.
    std::vector<std::string> peal;
    const int leads[4] = {44, 40, 38, 35};
    const int block[4] = {5, 5, 5, 4};
    for (int round = 0; round < 8; ++round)
        for (int m = 0; m < 4; ++m)
            peal.insert(peal.end(), static_cast<std::size_t>(round < 7 ? block[m] : leads[m] - 7 * block[m]), std::string(1, 'a' + m));
    check(peal, 1, 31);
}

TEST(AnalysisTest, LeadCountsShowTheCommittedMethodOrTheCandidate) {
    const auto c = test::composition("B  Cambridge S\nB- \n");
    const MusicTable t = music(HandCounted);
    const MajorMethod yorkshire("Yorkshire S", test::starterLibrary());
    EXPECT_EQ(leadMusicCounts(*c, 1, c->committedMethodAt(1), t)[0].rows, 32 * 6);
    EXPECT_EQ(leadMusicCounts(*c, 2, nullptr, t)[0].rows, 2 * 6);  // lead head and lead end alone
    EXPECT_EQ(leadMusicCounts(*c, 2, &yorkshire, t)[0].rows, 32 * 6);
    EXPECT_TRUE(leadMusicCounts(*c, 3, &yorkshire, t).empty());
    EXPECT_EQ(methodBalance(*c).changesOfMethod, 11);  // Cambridge, none, six times over
}

// Rings the whole composition change by change from rounds, part after part,
// and counts each definition's rows with a plain matcher: a count that shares
// nothing with the row keys and part ends of the composition.
std::map<std::string, std::pair<long long, long long>> ringAndCount(const Composition& c, const MusicTable& t) {
    std::map<std::string, std::pair<long long, long long>> counts;
    std::string row = "12345678";
    bool backstroke = true;
    auto ring = [&](std::string_view change) {
        for (const auto& d : t.definitions()) {
            long long matched = 0;
            auto match = [&](const std::string& p) {
                for (std::size_t i = 0; i < 8; ++i)
                    if (p[i] != 'x' && p[i] != row[i]) return;
                ++matched;
            };
            for (const auto& p : d.anyStroke) match(p);
            for (const auto& p : backstroke ? d.backstroke : d.handstroke) match(p);
            counts[d.title].first += matched > 0 ? 1 : 0;
            counts[d.title].second += matched * d.score;
        }
        backstroke = !backstroke;
        applyChange(row, change);
    };
    for (int part = 0; part < c.partCount(); ++part)
        for (int n = 1; n <= static_cast<int>(c.leadCount()); ++n) {
            const Lead& lead = *c.leadAt(n);
            const std::string text = lead.committed()->notationText().substr(2) + ".";
            std::string_view rest = text;
            std::vector<std::string> half;
            for (int i = 0; i < 16; ++i) half.emplace_back(takeChange(rest));
            for (int i = 0; i < 16; ++i) ring(half[static_cast<std::size_t>(i)]);
            for (int i = 14; i >= 0; --i) ring(half[static_cast<std::size_t>(i)]);
            ring(lead.call() == Call::Bob ? "14" : lead.call() == Call::Single ? "1234" : lead.code().letter() <= 'F' ? "12" : "18");
        }
    EXPECT_EQ(row, "12345678");  // the composition comes round
    return counts;
}

TEST(AnalysisTest, StandardMusicCountsAgreeWithRingingTheCompositionThrough) {
    const auto c = test::composition(test::readFile(test::repoDataDir() + "/quarnel.txt"));
    for (int n = 1; n <= static_cast<int>(c->leadCount()); ++n) ASSERT_NE(c->committedMethodAt(n), nullptr);
    MusicTable t = music(test::readFile(test::repoDataDir() + "/major.mus"));
    ASSERT_EQ(t.definitions().size(), 17u);
    EXPECT_EQ(t.definitions()[0].title, "4-bell runs (front)");
    EXPECT_EQ(t.definitions()[16].title, "Backrounds");
    const auto expected = ringAndCount(*c, t);
    long long total = 0;
    long long rows = 0;
    for (const auto& count : musicCounts(*c, t)) {
        SCOPED_TRACE(count.title);
        EXPECT_EQ(count.rows, expected.at(count.title).first);
        EXPECT_EQ(count.score, expected.at(count.title).second);
        total += count.score;
        rows += count.rows;
    }
    EXPECT_GT(rows, 0);
    EXPECT_EQ(total, c->musicScore(0, t, false));
}

}  // namespace
}  // namespace quarnel
