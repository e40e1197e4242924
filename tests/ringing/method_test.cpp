#include <gtest/gtest.h>

#include "methods/major_method.h"
#include "ringing/lead_end_table.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using test::row;

class MethodTest : public ::testing::Test {
protected:
    MethodLibrary emptyLibrary;
    MajorMethod make(std::string_view text) { return MajorMethod(text, emptyLibrary); }
};

TEST_F(MethodTest, CambridgeFromItsFullPlaceNotation) {
    const MajorMethod m = make("b&-38-14-1258-36-14-58-16-78");
    ASSERT_TRUE(m.hasNotation());
    EXPECT_EQ(m.code(), 'b');
    EXPECT_EQ(m.rowText(0), "12345678");
    EXPECT_EQ(m.rowText(15), "47528631");
    EXPECT_EQ(m.rowText(16), "74256831");
    EXPECT_EQ(m.rowText(31), "15372846");
    EXPECT_EQ(m.rowText(32), "15738264");
    EXPECT_EQ(m.notationText(), "b&-3-4-25-36-4-5-6-7");
    EXPECT_EQ(m.leadLength(), 32);
    EXPECT_TRUE(m.name().empty());

    const MajorMethod shortForm = make(m.notationText());
    for (int i = 0; i <= 32; ++i) EXPECT_EQ(shortForm.row(i), m.row(i)) << i;
    EXPECT_EQ(shortForm.notationText(), m.notationText());
}

TEST_F(MethodTest, FarGroupCodeUsesTheEighteenLeadEnd) {
    const MajorMethod m = make("g&-38-14-1258-36-14-58-16-78");
    EXPECT_EQ(m.rowText(31), "15372846");
    EXPECT_EQ(m.rowText(32), "13527486");
    // An upper-case code is not after "f": the lead end is "12".
    EXPECT_EQ(make("G&-38-14-1258-36-14-58-16-78").rowText(32), "15738264");
}

TEST_F(MethodTest, TextsThatAreNotNotationGiveNoMethod) {
    for (const char* text : {"Cambridge S", "", "b", "b-&3", "b&-3-9-5", "b&-3-43-5", "b&-3-4x-5", "b&-3-0"}) {
        SCOPED_TRACE(text);
        const MajorMethod m = make(text);
        EXPECT_FALSE(m.hasNotation());
        EXPECT_EQ(m.code(), 0);
        EXPECT_EQ(m.notationText(), "");
        EXPECT_EQ(m.rowText(5), "");
    }
}

TEST_F(MethodTest, MissingChangesActAsCrossesAndSurplusIsIgnored) {
    const MajorMethod shortText = make("b&-3");
    ASSERT_TRUE(shortText.hasNotation());
    EXPECT_EQ(shortText.rowText(3), "21648375");  // "-", "3", then the cross
    EXPECT_TRUE(shortText.change(5).isCross());
    EXPECT_EQ(shortText.notationText(), "b&-3--------------");
    EXPECT_EQ(make(shortText.notationText()).rowText(32), shortText.rowText(32));
    const MajorMethod surplus = make("b&-3-4-25-36-4-5-6-7-5-4-3.9");
    EXPECT_EQ(surplus.notationText(), "b&-3-4-25-36-4-5-6-7");
}

// A dot only separates: beside a cross or at either end it stands for
// nothing, as ringers and other provers read it, so the method rung is the
// one written back.
TEST_F(MethodTest, DotsBesideCrossesOrAtTheEndsAreSeparators) {
    const std::pair<const char*, std::string> cases[] = {
        {"b&-3.-4-25-36-4-5-6-7", "b&-3-4-25-36-4-5-6-7"},
        {"b&-.3-4-25-36-4-5-6-7", "b&-3-4-25-36-4-5-6-7"},
        {"b&.-3-4-25-36-4-5-6-7", "b&-3-4-25-36-4-5-6-7"},
        {"b&.-.3.-.4.-.25.-.36.-.4.-.5.-.6.-.7.", "b&-3-4-25-36-4-5-6-7"},
        {"f&6.-8.68.2.7", "f&6-1.67.2.7"+std::string(10,'-')},
        {"b&-3-4.", "b&-3-4"+std::string(12,'-')},
    };
    for (const auto& [text, written] : cases) {
        SCOPED_TRACE(text);
        const MajorMethod m = make(text);
        ASSERT_TRUE(m.hasNotation());
        EXPECT_EQ(m.notationText(), written);
        const MajorMethod back = make(m.notationText());
        for (int i = 0; i <= m.leadLength(); ++i) EXPECT_EQ(m.rowText(i), back.rowText(i));
    }
}

TEST_F(MethodTest, TwoDotsTogetherGiveNoMethod) {
    for (const char* text : {"b&-3..4-25", "b&..-3", "b&-3-4..", "b&-..3-4", "b&-3.-..4"}) {
        SCOPED_TRACE(text);
        const MajorMethod m = make(text);
        EXPECT_FALSE(m.hasNotation());
        EXPECT_EQ(m.notationText(), "");
    }
}

// The short form is written from the places rung: "8" rings as "18" and is
// written "1", "15" as "1458" written "45", so the text reads back as the
// same method and writes again the same.
TEST_F(MethodTest, ImpliedPlacesSurviveTheWrittenText) {
    const std::pair<const char*, const char*> cases[] = {
        {"f&-8.56.47-57-3-4.5-2.3.7", "f&-1.56.47-567-3-4.5-2.3.7-"},
        {"m&-3-8-5-36-2-1-2-1", "m&-3-1-5-36-2-1-2-1"},
        {"b&-15-28-68-158-3-4-5-6", "b&-45-23-67-45-3-4-5-6"}};
    for (const auto& [text, written] : cases) {
        SCOPED_TRACE(text);
        const MajorMethod m = make(text);
        ASSERT_TRUE(m.hasNotation());
        EXPECT_EQ(m.notationText(), written);
        const MajorMethod again = make(m.notationText());
        EXPECT_EQ(again.notationText(), m.notationText());
        for (int r = 0; r <= 32; ++r) EXPECT_EQ(again.row(r), m.row(r)) << r;
    }
}

// The edge forms in every position of a half lead, between crosses and
// between the changes of another method: the written text is a fixed point
// and rings the rows of the text it came from.
TEST_F(MethodTest, EdgeFormsRoundTripInEveryPosition) {
    const std::array<std::string, 16> cambridge = {"-", "38", "-", "14", "-", "1258", "-", "36",
                                                   "-", "14", "-", "58", "-", "16", "-", "78"};
    std::array<std::string, 16> crosses;
    crosses.fill("-");
    auto join = [](char code, const std::array<std::string, 16>& changes) {
        std::string text{code, '&'};
        for (std::size_t i = 0; i < changes.size(); ++i) {
            if (i > 0 && changes[i] != "-" && changes[i - 1] != "-") text += '.';
            text += changes[i];
        }
        return text;
    };
    for (const char* form : {"1", "8", "18", "78", "12", "1238", "3", "34", "345"}) {
        for (const auto& base : {crosses, cambridge}) {
            for (std::size_t i = 0; i < 16; ++i) {
                std::array<std::string, 16> changes = base;
                changes[i] = form;
                const std::string text = join(i % 2 == 0 ? 'b' : 'h', changes);
                SCOPED_TRACE(text);
                const MajorMethod m = make(text);
                ASSERT_TRUE(m.hasNotation());
                std::string row = m.rowText(static_cast<int>(i));
                ASSERT_TRUE(applyChange(row, form));
                EXPECT_EQ(m.rowText(static_cast<int>(i) + 1), row);
                const MajorMethod again = make(m.notationText());
                EXPECT_EQ(again.notationText(), m.notationText());
                for (int r = 0; r <= 32; ++r) EXPECT_EQ(again.row(r), m.row(r)) << r;
            }
        }
    }
}

TEST_F(MethodTest, CopiesAreDeepAndKeepTheName) {
    MethodLibrary library;
    library.addMethod("b&-3-4-25-36-4-5-6-7", "Cambridge S", "Cambridge");
    const MajorMethod named("Cambridge S", library);
    EXPECT_EQ(named.name(), "Cambridge S");
    EXPECT_EQ(named.notationText(), "b&-3-4-25-36-4-5-6-7");
    const auto copy = named.clone();
    EXPECT_EQ(copy->name(), "Cambridge S");
    EXPECT_EQ(copy->row(31), named.row(31));
    EXPECT_EQ(copy->nameFromNotation("b&-3-4-25-36-4-5-6-7"), "Cambridge S");
    // Built from its notation text the method has no name of its own.
    EXPECT_EQ(MajorMethod("b&-3-4-25-36-4-5-6-7", library).name(), "");
}

TEST_F(MethodTest, HalfLeadKeysFromAStartRow) {
    const PartEnd none;
    const MajorMethod m = make("b&-3-4-25-36-4-5-6-7");
    std::array<RowKey, 16> keys{};
    const Row start = row("13527486");
    m.halfLeadKeys(none, keys.data(), start);
    for (int i = 1; i < 16; ++i) EXPECT_EQ(keys[static_cast<std::size_t>(i - 1)].value, start.times(m.row(i)).value());
}

TEST_F(MethodTest, BellPathsFollowEveryBell) {
    const MajorMethod m = make("b&-3-4-25-36-4-5-6-7");
    BellPaths paths{};
    ASSERT_TRUE(m.fillBellPaths(paths));
    for (int r = 0; r <= 32; ++r)
        for (int b = 0; b < BellCount; ++b) EXPECT_EQ(m.row(r)[paths[static_cast<std::size_t>(b)][static_cast<std::size_t>(r)]], b) << r;
    BellPaths untouched{};
    EXPECT_FALSE(make("i&-3-4-25-36-4-5-6-7").fillBellPaths(untouched));
    EXPECT_FALSE(make("nonsense").fillBellPaths(untouched));
}

}  // namespace
}  // namespace quarnel
