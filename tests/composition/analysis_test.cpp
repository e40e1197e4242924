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

std::string plainCourse(const char* method) {
    std::string text;
    for (int i = 0; i < 7; ++i) text += std::string("B  ") + method + "\n";
    return text;
}

TEST(AnalysisTest, PlainCourseOfOneMethodIsAllTheWork) {
    const auto c = test::composition(plainCourse("Cambridge S"));
    ASSERT_EQ(c->partCount(), 1);
    const MethodBalance b = methodBalance(*c);
    ASSERT_EQ(b.methods.size(), 1u);
    EXPECT_EQ(b.methods[0].name, "Cambridge S");
    EXPECT_EQ(b.methods[0].changes, 224);
    EXPECT_EQ(b.changesOfMethod, 0);
    EXPECT_TRUE(b.allTheWork());
    EXPECT_EQ(b.piecesRung(), 49);
    EXPECT_EQ(missingWork(b.methods[0]), "");

    const MusicTable t = music(HandCounted);
    const auto counts = musicCounts(*c, t);
    ASSERT_EQ(counts.size(), 5u);
    auto check = [&](std::size_t d, const char* title, long long rows, long long score) {
        SCOPED_TRACE(title);
        EXPECT_EQ(counts[d].title, title);
        EXPECT_EQ(counts[d].rows, rows);
        EXPECT_EQ(counts[d].score, score);
    };
    check(0, "Every row", 224, 224);
    check(1, "Treble leading", 28, 56);  // the whole pulls at each lead end: 4 rows a lead
    check(2, "Treble leading at handstroke", 14, 14);  // the lead end and the row two before
    check(3, "Rounds", 1, 3);            // rounds at the start, once
    check(4, "Twice listed", 224, 448);  // a row once, its score twice
    long long total = 0;
    for (const auto& count : counts) total += count.score;
    MusicTable scoring = music(HandCounted);
    EXPECT_EQ(total, c->musicScore(0, scoring, false));
}

TEST(AnalysisTest, ThreePartOfTwoMethods) {
    const auto c = test::composition(test::readFile(test::testDataDir() + "/two_leads_three_parts.txt"));
    ASSERT_EQ(c->partCount(), 3);
    // The part end 16482573 moves 2 6 5 and 3 4 8 round and leaves the 7 at home.
    ASSERT_EQ(partEnd().text(), "16482573");
    const MethodBalance b = methodBalance(*c);
    ASSERT_EQ(b.methods.size(), 2u);
    EXPECT_EQ(b.methods[0].name, "Adelaide S");  // equal changes: byte order of the name
    EXPECT_EQ(b.methods[1].name, "Cambridge S");
    EXPECT_EQ(b.methods[0].changes, 96);
    EXPECT_EQ(b.methods[1].changes, 96);
    // One change within each part, and two from the end of a part to the next.
    EXPECT_EQ(b.changesOfMethod, 5);
    // Each method: 3 leads of 7 starts, the 7 ringing the same start thrice.
    EXPECT_EQ(b.piecesRung(), 38);
    EXPECT_EQ(b.piecesPossible(), 98);
    EXPECT_FALSE(b.allTheWork());
    // Cambridge starts from rounds: the 2 rings the starts of 2, 5 and 6.
    const std::string cambridge = missingWork(b.methods[1]);
    EXPECT_EQ(cambridge.substr(0, 17), "2 misses 3 4 7 8;");
    EXPECT_NE(cambridge.find("7 misses 2 3 4 5 6 8"), std::string::npos);

    const auto counts = musicCounts(*c, music(HandCounted));
    EXPECT_EQ(counts[0].rows, 192);
    EXPECT_EQ(counts[1].rows, 24);  // 4 rows a lead, 2 leads, 3 parts
    EXPECT_EQ(counts[3].rows, 1);
}

TEST(AnalysisTest, ChangesOfMethodCountAcrossParts) {
    auto check = [](std::vector<std::string> leads, int parts, long long expected) {
        SCOPED_TRACE(::testing::PrintToString(leads) + " x" + std::to_string(parts));
        EXPECT_EQ(changesOfMethod(leads, parts), expected);
    };
    check({"a", "a", "b"}, 3, 5);
    check({"a", "b", "a"}, 3, 6);  // part ends between two leads of one method: no change
    check({"a", "", "a"}, 1, 2);   // a lead without a method is no method
    check({"a"}, 5, 0);
    check({}, 2, 0);
    // A 5024 of four: Rutland, Yorkshire, Lincolnshire and Cambridge in turn,
    // 32 blocks of 44, 40, 38 and 35 leads, changes method 31 times.
    std::vector<std::string> peal;
    const int leads[4] = {44, 40, 38, 35};
    const int firstBlocks[4] = {5, 5, 5, 4};
    for (int round = 0; round < 8; ++round)
        for (int m = 0; m < 4; ++m) {
            const int n = round < 7 ? firstBlocks[m] : leads[m] - 7 * firstBlocks[m];
            peal.insert(peal.end(), static_cast<std::size_t>(n), std::string(1, static_cast<char>('a' + m)));
        }
    ASSERT_EQ(peal.size(), 157u);
    EXPECT_EQ(changesOfMethod(peal, 1), 31);
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
std::map<std::string, std::pair<long long, long long>> bruteForceCounts(const Composition& c, const MusicTable& t) {
    std::map<std::string, std::pair<long long, long long>> counts;
    auto matchesRow = [](const std::string& pattern, const std::string& row) {
        for (std::size_t i = 0; i < 8; ++i)
            if (pattern[i] != 'x' && pattern[i] != row[i]) return false;
        return true;
    };
    std::string row = "12345678";
    bool backstroke = true;
    auto ring = [&] {
        for (const auto& d : t.definitions()) {
            long long matched = 0;
            for (const auto& p : d.anyStroke) matched += matchesRow(p, row);
            for (const auto& p : backstroke ? d.backstroke : d.handstroke) matched += matchesRow(p, row);
            auto& [rows, score] = counts[d.title];
            rows += matched > 0 ? 1 : 0;
            score += matched * d.score;
        }
        backstroke = !backstroke;
    };
    for (int part = 0; part < c.partCount(); ++part)
        for (int n = 1; n <= static_cast<int>(c.leadCount()); ++n) {
            const Lead& lead = *c.leadAt(n);
            const std::string text = lead.committed()->notationText().substr(2) + ".";
            std::string_view remaining = text;
            std::vector<std::string> changes;
            for (int i = 0; i < 16; ++i) changes.emplace_back(takeChange(remaining));
            for (int i = 0; i < 16; ++i) {
                ring();
                applyChange(row, changes[static_cast<std::size_t>(i)]);
            }
            for (int i = 14; i >= 0; --i) {
                ring();
                applyChange(row, changes[static_cast<std::size_t>(i)]);
            }
            ring();
            const char call = lead.call();
            applyChange(row, call == '-' ? "14" : call == 's' ? "1234" : lead.code() <= 'F' ? "12" : "18");
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
    const auto expected = bruteForceCounts(*c, t);
    long long total = 0;
    long long matchedRows = 0;
    for (const auto& count : musicCounts(*c, t)) {
        SCOPED_TRACE(count.title);
        EXPECT_EQ(count.rows, expected.at(count.title).first);
        EXPECT_EQ(count.score, expected.at(count.title).second);
        total += count.score;
        matchedRows += count.rows;
    }
    EXPECT_GT(matchedRows, 0);
    EXPECT_EQ(total, c->musicScore(0, t, false));
}

}  // namespace
}  // namespace quarnel
