#include <gtest/gtest.h>

#include <sstream>

#include "composition/composition.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using test::row;

MusicTable music(const std::string& text) {
    std::istringstream in(text);
    return MusicTable::read(in);
}

// The score of a row under a part end (one part unless another is given).
int score(MusicTable& t, std::string_view r, bool backstroke = true, const PartEnd& partEnd = PartEnd(Row())) {
    return t.scoreRow(partEnd, rowKey(partEnd, row(r)), backstroke);
}

class MusicTest : public ::testing::Test {};

TEST_F(MusicTest, PatternsScoreEveryRowTheyMatch) {
    MusicTable t = music("Rollups\n5 0 xxxx5678 5678xxxx\n");
    EXPECT_EQ(t.anyStroke().size(), 2u);
    EXPECT_EQ(score(t, "12345678"), 5);
    EXPECT_EQ(score(t, "56781234"), 5);
    EXPECT_EQ(score(t, "21345678", false), 5);
    EXPECT_EQ(score(t, "56782134"), 5);
    EXPECT_EQ(score(t, "12346578"), 0);
    MusicTable both = music("t\n5 0 xxxx5678 1234xxxx\n");
    EXPECT_EQ(score(both, "12345678"), 10);
}

TEST_F(MusicTest, StrokePatternsApplyAtTheirStrokeOnly) {
    MusicTable hand = music("t\n3 0 12345678H\n");
    EXPECT_EQ(hand.handstroke().size(), 1u);
    EXPECT_TRUE(hand.anyStroke().empty());
    EXPECT_EQ(score(hand, "12345678", false), 3);
    EXPECT_EQ(score(hand, "12345678", true), 0);
    MusicTable fresh = music("t\n3 0 12345678h\n");
    EXPECT_EQ(score(fresh, "12345678", true), 0);  // asked first at backstroke...
    EXPECT_EQ(score(fresh, "12345678", false), 3);  // ...the handstroke score is still right
    MusicTable back = music("t\n-1 0 xxxxxx87B xxxxxx87b\n");
    EXPECT_EQ(score(back, "12345687", true), -2);
    EXPECT_EQ(score(back, "12345687", false), 0);
}

TEST_F(MusicTest, RepeatedPatternsAddUp) {
    MusicTable t = music("a\n2 0 xxxxxxx8\nb\n4 0 xxxxxxx8 \n");
    EXPECT_EQ(t.anyStroke().at("xxxxxxx8"), 6);
    EXPECT_EQ(score(t, "12345678"), 6);
}

TEST_F(MusicTest, WordsOutsideTheFormatAreIgnored) {
    MusicTable t = music("t\n7 0 12345678X 1234567 123456789 XXXX5678 xxxx5678xx\n");
    EXPECT_EQ(t.anyStroke().size(), 1u);  // XXXX5678 is eight characters
    EXPECT_TRUE(t.handstroke().empty());
    EXPECT_TRUE(t.backstroke().empty());
    EXPECT_EQ(score(t, "12345678"), 0);  // upper-case X is no wildcard
}

TEST_F(MusicTest, MalformedDataLinesAreSkippedAndReadingGoesOn) {
    MusicTable t = music(
        "first\r\nfive 0 12345678\r\n"
        "second\n1\n"
        "third\n" + std::string(600, '1') + "\n"
        "fourth\n\x01\xff 2 3\n"
        "fifth\n+2 x9 xxxx5678\n"
        "last\n9 0 1234xxxx");
    EXPECT_EQ(t.anyStroke().size(), 1u);
    EXPECT_EQ(t.anyStroke().at("1234xxxx"), 9);
    EXPECT_EQ(music("only a title\n").anyStroke().size(), 0u);
    EXPECT_EQ(music("").anyStroke().size(), 0u);
    EXPECT_EQ(music(std::string("\0\0\0\n\0", 5)).anyStroke().size(), 0u);
    MusicTable huge = music("t\n99999999999 0 xxxxxxxx xxxxxxxx\n");
    EXPECT_GT(score(huge, "12345678"), 0);  // clamped, never overflowing
}

TEST_F(MusicTest, RowsCountInEveryPart) {
    const PartEnd three(row("23145678"));  // three parts, the eighth always home
    ASSERT_EQ(three.count(), 3);
    MusicTable t = music("t\n2 0 xxxxxxx8\n");
    EXPECT_EQ(score(t, "12345678", true, three), 6);
    EXPECT_EQ(score(t, "12345687", true, three), 0);
    MusicTable queens = music("t\n5 0 13572468\n");
    // Rounds' images are not queens; a row one part before queens is.
    EXPECT_EQ(score(queens, "12345678", true, three), 0);
    EXPECT_EQ(score(queens, "32571468", true, three), 5);
}

TEST_F(MusicTest, ScoresAreRememberedUntilThePartEndChanges) {
    MusicTable t = music("t\n1 0 1xxxxxxx\n");
    EXPECT_EQ(score(t, "12345678"), 1);
    const auto matches = t.matchCount();
    EXPECT_EQ(score(t, "12345678"), 1);
    EXPECT_EQ(t.matchCount(), matches);
    const PartEnd two(row("21345678"));  // two parts: the treble leads in one of them
    EXPECT_EQ(score(t, "12345678", true, two), 1);
    EXPECT_GT(t.matchCount(), matches);
    EXPECT_EQ(score(t, "12345678", true, PartEnd()), 0);  // no composition, no parts
}

TEST(LeadMusicTest, LeadsScoreTheirRowsAtTheirStrokes) {
    const auto c = test::composition("B  Cambridge S\nB- \n");
    ASSERT_EQ(c->partCount(), 6);
    ASSERT_NE(c->committedMethodAt(1), nullptr);
    MusicTable every = music("t\n1 0 xxxxxxxx\n");
    EXPECT_EQ(c->musicScore(1, every, false), 32 * 6);
    EXPECT_EQ(c->musicScore(2, every, false), 2 * 6);  // no method: lead head and lead end
    EXPECT_EQ(c->musicScore(0, every, true), 34 * 6);  // the whole composition, committed methods
    EXPECT_EQ(c->musicScore(1, every, true), 2 * 6);   // no trial yet
    EXPECT_EQ(c->musicScore(3, every, false), 0);
    EXPECT_EQ(c->musicScore(-1, every, false), 0);
    MusicTable back = music("t\n1 0 xxxxxxxxB\n");
    EXPECT_EQ(c->musicScore(1, back, false), 16 * 6);
    EXPECT_EQ(c->musicScore(2, back, false), 1 * 6);  // the lead head is at backstroke
    MusicTable hand = music("t\n1 0 xxxxxxxxH\n");
    EXPECT_EQ(c->musicScore(2, hand, false), 1 * 6);  // the lead end at handstroke
    const MajorMethod yorkshire("Yorkshire S", test::starterLibrary());
    c->tryMethodAt(2, &yorkshire);
    EXPECT_EQ(c->musicScore(2, every, true), 32 * 6);
    EXPECT_EQ(c->musicScore(2, back, true), 16 * 6);
}

TEST(LeadMusicTest, LeadMusicFollowsTheMethodTheTableAndThePartEnd) {
    const auto c = test::composition("B  Cambridge S\nB- \n");
    MusicTable every = music("t\n1 0 xxxxxxxx\n");
    MusicTable treble = music("t\n1 0 1xxxxxxx\n");
    const auto check = [&](const char* step, MusicTable& table, int lead, int expected) {
        SCOPED_TRACE(step);
        EXPECT_EQ(c->musicScore(lead, table, false), expected);
        EXPECT_EQ(c->musicScore(lead, table, false), expected);  // the second time as the first
    };
    check("committed", every, 1, 32 * 6);
    // The same lead of a composition that has never been scored.
    const auto fresh = test::composition("B  Cambridge S\nB- \n");
    const int trebleMusic = fresh->musicScore(1, treble, false);
    EXPECT_NE(trebleMusic, 32 * 6);
    check("another table", treble, 1, trebleMusic);
    const MusicTable copy = every;
    EXPECT_EQ(copy.id(), every.id());
    EXPECT_NE(treble.id(), every.id());
    MusicTable again = music("t\n1 0 xxxxxxxx\n");
    EXPECT_NE(again.id(), every.id());
    // A trial changes nothing until it is committed; committing it on lead 2
    // gives lead 2 its music.
    const MajorMethod yorkshire("Yorkshire S", test::starterLibrary());
    c->tryMethodAt(2, &yorkshire);
    check("trial only", every, 2, 2 * 6);
    c->setMethodAt(2, true);
    c->releaseTrial();
    ASSERT_NE(c->committedMethodAt(2), nullptr);
    check("committed on lead 2", every, 2, 32 * 6);
    c->setMethodAt(1, false);
    check("method removed", every, 1, 2 * 6);
    // The same table on a composition of another part end scores that
    // composition's parts, and this one's again after it.
    const auto sevenParts = test::composition("B  Cambridge S\n");
    ASSERT_EQ(sevenParts->partCount(), 7);
    EXPECT_EQ(sevenParts->musicScore(1, every, false), 32 * 7);
    check("another part end between", every, 2, 32 * 6);
}

TEST(LeadMusicTest, SampleCompositionScoresItsRollups) {
    const auto c = test::composition(test::readFile(test::repoDataDir() + "/quarnel.txt"));
    std::istringstream in(test::readFile(test::testDataDir() + "/major-classic.mus"));
    MusicTable t = MusicTable::read(in);
    EXPECT_EQ(t.backstroke().size(), 1u);
    int sum = 0;
    for (int n = 1; n <= 8; ++n) sum += c->musicScore(n, t, false);
    EXPECT_EQ(c->musicScore(0, t, false), sum);
    EXPECT_GT(sum, 0);
}

}  // namespace
}  // namespace quarnel
