#include <gtest/gtest.h>

#include "ringing/place_notation.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

std::string afterChange(std::string row, std::string_view change) {
    EXPECT_TRUE(applyChange(row, change)) << change;
    return row;
}

TEST(PlaceNotationTest, ChangesFromRounds) {
    const std::pair<const char*, const char*> cases[] = {
        {"-", "21436587"},    {"38", "21354768"},   {"3", "21354768"},
        {"14", "13246587"},   {"4", "13246587"},    {"1258", "12435768"}, {"25", "12435768"},
        {"12", "12436587"},   {"2", "12436587"},    {"18", "13254768"},   {"1", "13254768"},
        {"8", "13254768"},    {"58", "21435768"},   {"5", "21435768"},    {"1234", "12346587"},
        {"24", "12346587"},   {"1458", "13245768"}, {"15", "13245768"},   {"12345678", "12345678"}};
    for (const auto& [change, expected] : cases) {
        SCOPED_TRACE(change);
        EXPECT_EQ(afterChange("12345678", change), expected);
        const auto compiled = Change::parse(change);
        ASSERT_TRUE(compiled.has_value());
        EXPECT_EQ(Row().times(compiled->transposition()).text(), expected);
    }
}

TEST(PlaceNotationTest, EveryValidChangeMovesEachBellAtMostOnePlace) {
    for (unsigned mask = 0; mask < 256; ++mask) {
        std::string change = mask == 0 ? "-" : "";
        for (int p = 1; p <= 8; ++p)
            if (mask & (1u << (p - 1))) change += static_cast<char>('0' + p);
        const auto c = Change::parse(change);
        ASSERT_TRUE(c.has_value()) << change;
        const Row& t = c->transposition();
        for (int i = 0; i < BellCount; ++i) {
            EXPECT_LE(std::abs(t[i] - i), 1) << change;
            EXPECT_EQ(t[t[i]], i) << change;  // a change is its own inverse
        }
        for (int p = 1; p <= 8; ++p)
            if (mask & (1u << (p - 1))) {
                EXPECT_EQ(t[p - 1], p - 1) << change << " makes place " << p;
            }
    }
}

TEST(PlaceNotationTest, InvalidChangesAreRefusedAndLeaveTheRowAlone) {
    for (const char* change : {"9", "0", "19", "43", "33", "1x", "x", "--", "1-", ".", "", "123456789", "1 2", "\xff"}) {
        SCOPED_TRACE(change);
        EXPECT_FALSE(Change::parse(change).has_value());
        if (*change == 0) continue;  // the empty text rings as the cross in applyChange
        std::string r = "12345678";
        EXPECT_FALSE(applyChange(r, change));
        EXPECT_EQ(r, "12345678");
    }
}

TEST(PlaceNotationTest, ApplyChangeWorksOnOtherStagesWithinTheRow) {
    EXPECT_EQ(afterChange("123456", "-"), "214365");
    EXPECT_EQ(afterChange("12345", "3"), "21354");  // implied place 5
    EXPECT_EQ(afterChange("1234567890", "10"), "1325476980");
    std::string r = "123";
    EXPECT_FALSE(applyChange(r, "4"));
    EXPECT_EQ(r, "123");
    std::string empty;
    EXPECT_TRUE(applyChange(empty, "-"));
    EXPECT_EQ(empty, "");
}

TEST(PlaceNotationTest, TakeChangeSplitsAtCrossesAndDots) {
    std::string_view text = "-38-14.36.";
    EXPECT_EQ(takeChange(text), "-");
    EXPECT_EQ(takeChange(text), "38");
    EXPECT_EQ(takeChange(text), "-");
    EXPECT_EQ(takeChange(text), "14");
    EXPECT_EQ(takeChange(text), "36");
    EXPECT_EQ(text, ".");
    EXPECT_EQ(takeChange(text), "");
    EXPECT_EQ(text, "");
    EXPECT_EQ(takeChange(text), "");

    std::string_view dotCross = ".-5";
    EXPECT_EQ(takeChange(dotCross), "");
    EXPECT_EQ(dotCross, "-5");
    std::string_view unclosed = "56";
    EXPECT_EQ(takeChange(unclosed), "");
    EXPECT_EQ(unclosed, "56");
}

TEST(PlaceNotationTest, AbbreviateChangeWritesThePlacesAsRung) {
    const std::pair<const char*, const char*> cases[] = {
        {"18", "1"},      {"1", "1"},     {"8", "1"},     {"12", "2"},    {"1258", "25"}, {"38", "3"},   {"1238", "23"},
        {"36", "36"},     {"-", "-"},     {"14", "4"},    {"58", "5"},    {"78", "7"},    {"1234", "234"},
        {"3456", "3456"}, {"3458", "345"}, {"15", "45"},  {"158", "45"},  {"28", "23"},   {"68", "67"},  {"345", "345"},
        {"", ""},         {"9", ""},      {"43", ""}};
    for (const auto& [change, expected] : cases) {
        SCOPED_TRACE(change);
        EXPECT_EQ(abbreviateChange(change), expected);
    }
}

// Every one of the 255 place sets and the cross: the full set is the places
// that keep their bells, and the short form reads back as the same change
// and is its own short form.
TEST(PlaceNotationTest, EveryChangeReadsBackFromItsShortForm) {
    for (unsigned mask = 0; mask < 256; ++mask) {
        std::string change = mask == 0 ? "-" : "";
        for (int p = 1; p <= 8; ++p)
            if (mask & (1u << (p - 1))) change += static_cast<char>('0' + p);
        SCOPED_TRACE(change);
        const auto c = Change::parse(change);
        ASSERT_TRUE(c.has_value());
        std::string still;
        for (int i = 0; i < BellCount; ++i)
            if (c->transposition()[i] == i) still += static_cast<char>('1' + i);
        EXPECT_EQ(c->text(), still.empty() ? "-" : still);
        const auto again = Change::parse(c->shortText());
        ASSERT_TRUE(again.has_value()) << c->shortText();
        EXPECT_EQ(again->transposition(), c->transposition());
        EXPECT_EQ(again->shortText(), c->shortText());
        EXPECT_TRUE(*again == *c);
        EXPECT_EQ(afterChange("12345678", change), afterChange("12345678", c->shortText()));
    }
}

}  // namespace
}  // namespace quarnel
