#include "composition/calling.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "composition/composition.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

// The composition text of leads of one code and method, with the call of
// each lead given as a character of calls ('.' plain, '-' bob, 's' single).
std::string leads(char code, const std::string& method, const std::string& calls) {
    std::string text;
    for (char c : calls) text += std::string(1, code) + (c == '.' ? ' ' : c) + " " + method + "\n";
    return text;
}

std::string positions(const std::vector<CallAt>& calls) {
    std::string text;
    for (const CallAt& c : calls) text += c.position;
    return text;
}

std::string heads(const CompositionCalling& calling) {
    std::string text;
    for (const CourseCalling& c : calling.courses) text += c.head.text().substr(1, 5) + " ";
    return text;
}

TEST(CallingTest, PositionsFollowTheTenorsPlaceAfterTheCall) {
    const auto check = [](Call call, int place, char expected) {
        SCOPED_TRACE(std::string(call == Call::Bob ? "bob" : "single") + " with the tenor in " + std::to_string(place));
        EXPECT_EQ(callingPosition(call, place), expected);
    };
    // A bob: the tenor in 2nds has run in, in 3rds has run out (Before).
    check(Call::Bob, 1, 'L');
    check(Call::Bob, 2, 'I');
    check(Call::Bob, 3, 'B');
    check(Call::Bob, 4, 'F');
    check(Call::Bob, 5, 'V');
    check(Call::Bob, 6, 'M');
    check(Call::Bob, 7, 'W');
    check(Call::Bob, 8, 'H');
    // A single: the tenor in 2nds or 3rds has made the place there.
    check(Call::Single, 1, 'L');
    check(Call::Single, 2, 'B');
    check(Call::Single, 3, 'T');
    check(Call::Single, 4, 'F');
    check(Call::Single, 5, 'V');
    check(Call::Single, 6, 'M');
    check(Call::Single, 7, 'W');
    check(Call::Single, 8, 'H');
    // No position for a plain lead or a place outside the row.
    check(Call::Plain, 8, 0);
    check(Call::Bob, 0, 0);
    check(Call::Bob, 9, 0);
}

TEST(CallingTest, PlainCourseOfCambridgeMeetsVBMWFIH) {
    const auto c = test::composition(leads('B', "Cambridge S", "......."));
    const CompositionCalling calling = compositionCalling(*c);
    ASSERT_EQ(calling.courses.size(), 1u);
    EXPECT_EQ(std::string(calling.courses[0].met.begin(), calling.courses[0].met.end()), "VBMWFIH");
    EXPECT_EQ(plainCourseMeetings('B'), "VBMWFIH");
    EXPECT_TRUE(calling.tenorsHomeAtEveryCourseHead);
    EXPECT_TRUE(calling.calls.empty());
    EXPECT_TRUE(calling.positionOrder.empty());
}

TEST(CallingTest, PlainCourseOfBristolMeetsItsOwnOrder) {
    // Bristol's lead heads (code m): the tenor's first lead end is Home (a
    // bob there repeats the lead) and its last Wrong.
    const auto c = test::composition(leads('M', "Bristol S", "......."));
    const CompositionCalling calling = compositionCalling(*c);
    ASSERT_EQ(calling.courses.size(), 1u);
    EXPECT_EQ(std::string(calling.courses[0].met.begin(), calling.courses[0].met.end()), "HMIBFVW");
    EXPECT_EQ(plainCourseMeetings('M'), "HMIBFVW");
}

TEST(CallingTest, PitstowsYorkshireCallsWHAndBAtTheirPositions) {
    // 5088 Yorkshire S Major (N. J. Pitstow): W 3H, W 3H, B 2H; 3 part.
    const auto c = test::composition(leads('B', "Yorkshire S", "...-..-......-......-...-..-......-......-.-.-......-"));
    const CompositionCalling calling = compositionCalling(*c);
    EXPECT_EQ(positions(calling.calls), "WHHHWHHHBHH");
    EXPECT_EQ(c->partCount(), 3);
    EXPECT_EQ(heads(calling), "23456 45236 24536 52436 43526 54326 35426 35264 ");
    EXPECT_EQ(calling.courses.back().end.text(), "12356478");
    EXPECT_TRUE(calling.tenorsHomeAtEveryCourseHead);
    // B before W: the order the tenor meets them in a plain course.
    EXPECT_EQ(std::string(calling.positionOrder.begin(), calling.positionOrder.end()), "BWH");
    EXPECT_EQ(calling.courses[0].firstLead, 1);
    EXPECT_EQ(calling.courses[1].firstLead, 8);
    const std::vector<Row> second = courseHeadsOfPart(calling, c->partEnd(), 1);
    EXPECT_EQ(second.front().text(), "12356478");
}

TEST(CallingTest, SinglesAreNamedByTheSingleTable) {
    // A single at the 2nd lead end of Cambridge leaves the tenor in 2nds: B.
    const auto c = test::composition(leads('B', "Cambridge S", ".s.....") );
    const CompositionCalling calling = compositionCalling(*c);
    ASSERT_EQ(calling.calls.size(), 1u);
    EXPECT_EQ(calling.calls[0].call, Call::Single);
    EXPECT_EQ(calling.calls[0].position, 'B');
    EXPECT_EQ(calling.calls[0].lead, 2);
}

TEST(CallingTest, ACourseHeadWithTheTenorsApartIsNoLayout) {
    // A bob at the 5th lead end of Cambridge (F) keeps the tenor out of the
    // way, and the part ends with the tenor away from home.
    const auto c = test::composition(leads('B', "Cambridge S", "....-.."));
    const CompositionCalling calling = compositionCalling(*c);
    EXPECT_FALSE(calling.tenorsHomeAtEveryCourseHead);
}

TEST(CallingTest, MethodLettersAreCustomaryThenTheFirstFreeLetter) {
    const auto check = [](const std::vector<std::string>& names, const std::string& expected) {
        std::string text;
        for (const MethodLetter& l : methodLetters(names)) text += l.letter + " ";
        SCOPED_TRACE(expected);
        EXPECT_EQ(text, expected);
    };
    check({"Cambridge S", "Yorkshire S", "Lincolnshire S", "Cornwall S"}, "C Y N W ");
    check({"Bristol S", "London S", "Rutland S", "Superlative S", "Pudsey S"}, "B L R S P ");
    // Cassiobury first: Cambridge still has C, Cassiobury the next free letter.
    check({"Cassiobury S", "Cambridge S"}, "A C ");
    // A Delight method has no customary letter.
    check({"Cambridge D"}, "C ");
    check({"Ipswich S", "Ilkley S"}, "I L ");
    // No single letter free: two letters, never "s" second.
    check({"Ab S", "Ba S", "Ab D", "Ab TB"}, "A B Ab Aa ");
    EXPECT_EQ(baseMethodName("Cambridge S"), "Cambridge");
    EXPECT_EQ(baseMethodName("Kent TB"), "Kent");
}

}  // namespace
}  // namespace quarnel
