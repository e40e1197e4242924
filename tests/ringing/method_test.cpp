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
    EXPECT_EQ(shortText.rowText(3), "21648375");  // "-", "3", then the empty change acting as the cross
    EXPECT_EQ(shortText.change(5).text(), "");
    const MajorMethod surplus = make("b&-3-4-25-36-4-5-6-7-5-4-3.9");
    EXPECT_EQ(surplus.notationText(), "b&-3-4-25-36-4-5-6-7");
    // A "." straight before a cross adds an empty change (another cross).
    const MajorMethod dotCross = make("b&.-3");
    EXPECT_EQ(dotCross.change(0).text(), "");
    EXPECT_EQ(dotCross.change(1).text(), "-");
    EXPECT_EQ(dotCross.change(2).text(), "3");
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
    resetPartEnd();
    const MajorMethod m = make("b&-3-4-25-36-4-5-6-7");
    std::array<RowKey, 16> keys{};
    const Row start = row("13527486");
    m.halfLeadKeys(keys.data(), start);
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
