#include "session/blue_line.h"

#include <gtest/gtest.h>

#include "methods/major_method.h"
#include "ringing/notation_forms.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

const MethodLibrary& library() { return test::libraryIn(test::standardMethodsDir()); }

// The rows of the plain course rung change by change from rounds: the half
// lead, the same changes back, the lead-end change; apart from the method's
// own rows.
std::vector<Row> plainCourse(const Method& m, int leads) {
    std::vector<Row> rows{Row()};
    const Change leadEnd = *Change::parse(m.code() < 'g' ? "12" : "18");
    for (int k = 0; k < leads; ++k) {
        std::vector<const Change*> changes;
        for (int i = 0; i < m.halfLength(); ++i) changes.push_back(&m.change(i));
        for (int i = m.halfLength() - 2; i >= 0; --i) changes.push_back(&m.change(i));
        changes.push_back(&leadEnd);
        for (const Change* c : changes) rows.push_back(rows.back().times(c->transposition()));
    }
    return rows;
}

std::vector<const PageLine*> linesOfColour(const Figure& f, Rgb colour) {
    std::vector<const PageLine*> out;
    for (const PageItem& item : f.items)
        if (const auto* l = std::get_if<PageLine>(&item); l != nullptr && l->colour == colour) out.push_back(l);
    return out;
}

TEST(BlueLineTest, NotationIsPrintedAsRingersPrintIt) {
    const struct {
        const char* method;
        const char* printed;
    } cases[] = {
        {"Cambridge S", "-38-14-1258-36-14-58-16-78,12"},
        {"Yorkshire S", "-38-14-58-16-12-38-14-78,12"},
        {"Bristol S", "-58-14.58-58.36.14-14.58-14-18,18"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.method);
        EXPECT_EQ(printedNotation(MajorMethod(c.method, library())), c.printed);
    }
}

TEST(BlueLineTest, PrintedNotationReadsBackAsTheSameMethodForEveryStandardMethod) {
    for (const auto& [name, notation] : library().byName()) {
        SCOPED_TRACE(name);
        const MajorMethod m(name, library());
        EXPECT_EQ(readNotation(printedNotation(m)).text, m.notationText());
    }
}

TEST(BlueLineTest, TrebleAndWorkingBellFollowTheRowsOfThePlainCourse) {
    for (const char* name : {"Cambridge S", "Bristol S", "Superlative S"}) {
        SCOPED_TRACE(name);
        const MajorMethod m(name, library());
        const BlueLineStyle s;
        const BlueLine line = blueLine(m, name, {}, s);
        ASSERT_EQ(line.leadOrigins.size(), 7u);
        const auto treble = linesOfColour(line.figure, TrebleRed);
        const auto working = linesOfColour(line.figure, BlueLineBlue);
        ASSERT_EQ(treble.size(), 7u);
        ASSERT_EQ(working.size(), 7u);
        const std::vector<Row> rows = plainCourse(m, 7);
        for (int k = 0; k < 7; ++k) {
            const PagePoint o = line.leadOrigins[static_cast<std::size_t>(k)];
            for (int r = 0; r <= 32; ++r) {
                const Row& row = rows[static_cast<std::size_t>(32 * k + r)];
                const auto at = [&](int bell) {
                    return PagePoint{o.x + (row.placeOfBell(bell) + 0.5) * s.place, o.y + r * s.row};
                };
                EXPECT_EQ(treble[static_cast<std::size_t>(k)]->points[static_cast<std::size_t>(r)], at(0)) << k << " " << r;
                EXPECT_EQ(working[static_cast<std::size_t>(k)]->points[static_cast<std::size_t>(r)], at(line.workingBell))
                    << k << " " << r;
            }
        }
        EXPECT_TRUE(rows.back().isRounds());
    }
}

TEST(BlueLineTest, CambridgePlacesBellsInItsPlainCourseOrder) {
    // Lead head 15738264: the 2nds place bell becomes 6ths place bell, and so on.
    const BlueLine line = blueLine(MajorMethod("Cambridge S", library()), "Cambridge");
    EXPECT_EQ(line.workingBell, 1);
    EXPECT_EQ(line.placeBells, (std::vector<int>{2, 6, 7, 3, 4, 8, 5}));
    std::string circled;
    for (const PageItem& item : line.figure.items)
        if (const auto* t = std::get_if<PageText>(&item); t != nullptr && t->colour == BlueLineBlue) circled += t->text;
    EXPECT_EQ(circled, "2673485");
}

TEST(BlueLineTest, RowsAreGreyNumbersWithoutTheTwoDrawnBellsOrNoneAtAll) {
    const MajorMethod m("Cambridge S", library());
    const BlueLine numbered = blueLine(m, "Cambridge", {2, true});
    std::vector<std::string> rows;
    for (const PageItem& item : numbered.figure.items)
        if (const auto* t = std::get_if<PageText>(&item); t != nullptr && t->colour == LightGrey) rows.push_back(t->text);
    ASSERT_EQ(rows.size(), 66u);
    EXPECT_EQ(rows[0], "  345678");
    EXPECT_EQ(rows[1], "  436587");  // 21436587 with the treble and the 2 drawn as lines
    EXPECT_EQ(rows[33], " 5738 64");  // lead head 15738264
    const BlueLine bare = blueLine(m, "Cambridge", {2, false});
    for (const PageItem& item : bare.figure.items)
        if (const auto* t = std::get_if<PageText>(&item)) {
            EXPECT_NE(t->colour, LightGrey);
        }
    EXPECT_EQ(bare.figure.width, numbered.figure.width);
}

TEST(BlueLineTest, AMethodWithoutNotationDrawsNothing) {
    EXPECT_TRUE(blueLine(MajorMethod("not a method", library()), "x").figure.items.empty());
}

}  // namespace
}  // namespace quarnel
