#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "composition/composition.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "session/drawing.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

TEST(DrawingTest, DisplayLayoutSpreadsLeadsOverColumns) {
    const DisplayLayout twenty = displayLayout(20, 580);
    EXPECT_EQ(twenty.columns, 1);
    EXPECT_EQ(twenty.rows, 20);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(displayPosition(i, twenty, 600, 580), (Point{0, i * 580 / 20}));
    EXPECT_EQ(displayPosition(1, twenty, 600, 580).y, 29);
    const DisplayLayout fifty = displayLayout(50, 580);
    EXPECT_EQ(fifty.columns, 2);
    EXPECT_EQ(fifty.rows, 25);
    EXPECT_EQ(displayPosition(25, fifty, 600, 580), (Point{300, 0}));
    EXPECT_EQ(displayPosition(24, fifty, 600, 580), (Point{0, 24 * 580 / 25}));
    EXPECT_EQ(displayLayout(0, 580).columns, 0);
    EXPECT_EQ(displayLayout(5, 3).columns, 5);  // smaller than one line: never a division by zero
}

TEST(DrawingTest, DisplayColoursMarkTheCurrentLeadAndTheClashes) {
    const auto c = test::composition(test::readFile(test::repoDataDir() + "/quarnel.txt"));
    const MajorMethod own("Cassiobury S", test::starterLibrary());
    c->tryMethodAt(3, &own);
    EXPECT_EQ(displayColour(*c, 3, 3), Blue);
    EXPECT_EQ(displayColour(*c, 1, 3), Black);
    const MajorMethod wrongCode("Cambridge S", test::starterLibrary());
    c->tryMethodAt(3, &wrongCode);
    EXPECT_EQ(displayColour(*c, 3, 3), Violet);
    const MajorMethod clash("h&-34-4-2-6-4-1-2-1", test::starterLibrary());
    c->tryMethodAt(6, &clash);
    EXPECT_EQ(displayColour(*c, 6, 6), Violet);  // false against the lead heads
    EXPECT_EQ(displayColour(*c, 1, 6), Red);
    EXPECT_EQ(displayColour(*c, 2, 6), Black);
}

TEST(DrawingTest, DiagramGeometryCentresSixtyFiveByThirtyThreeUnits) {
    const DiagramGeometry g = diagramGeometry(650, 330);
    EXPECT_EQ(g.unit, 10);
    EXPECT_EQ(g.panelStep, 90);
    EXPECT_EQ(g.leftMargin, 0);
    EXPECT_EQ(g.y[0], 0);
    EXPECT_EQ(g.y[32], 320);
    const DiagramGeometry wide = diagramGeometry(1000, 330);
    EXPECT_EQ(wide.unit, 10);
    EXPECT_EQ(wide.leftMargin, (1000 - 650) / 2);
    const DiagramGeometry tiny = diagramGeometry(10, 10);
    EXPECT_EQ(tiny.unit, 0);
}

TEST(DrawingTest, DiagramFollowsTheTrebleAndOneWorkingBell) {
    const DiagramGeometry g = diagramGeometry(650, 330);
    const MajorMethod cambridge("Cambridge S", test::starterLibrary());
    const auto lines = diagramLines(cambridge, g);
    ASSERT_EQ(lines.size(), 14u);
    for (int panel = 0; panel < 7; ++panel) {
        EXPECT_EQ(lines[static_cast<std::size_t>(panel)].colour, Red);
        EXPECT_EQ(lines[static_cast<std::size_t>(panel)].points.size(), 33u);
        EXPECT_EQ(lines[static_cast<std::size_t>(panel)].points[0], (Point{panel * 90, 0}));  // the treble leads
        EXPECT_EQ(lines[static_cast<std::size_t>(panel)].points[16].x, 7 * 10 + panel * 90);  // lying at the half lead
    }
    // Code b: the blue line starts on the second; each panel starts where the
    // last one ended, and after seven leads the bell is home again.
    EXPECT_EQ(lines[7].colour, Blue);
    EXPECT_EQ(lines[7].points[0].x, 1 * 10);
    for (int panel = 1; panel < 7; ++panel)
        EXPECT_EQ(lines[static_cast<std::size_t>(7 + panel)].points[0].x - panel * 90,
                  lines[static_cast<std::size_t>(6 + panel)].points[32].x - (panel - 1) * 90);
    EXPECT_EQ(lines[13].points[32].x - 6 * 90, 1 * 10);
    const MajorMethod tavistock("Tavistock S", test::starterLibrary());  // code j
    EXPECT_EQ(diagramLines(tavistock, g)[7].points[0].x, 7 * 10);
    const MajorMethod none("not a method", test::starterLibrary());
    EXPECT_TRUE(diagramLines(none, g).empty());
}

}  // namespace
// Lines 100 wide and 15 high never overlap: the columns of today's layout
// when they fit, fewer columns spread over the height, or a list that scrolls.
TEST(DrawingTest, ListLayoutNeverPrintsLinesOverEachOther) {
    const auto check = [](int leads, int width, int height, int columns, int rows, int contentHeight) {
        SCOPED_TRACE(std::to_string(leads) + " leads in " + std::to_string(width) + "x" + std::to_string(height));
        const ListLayout list = listLayout(leads, width, height, 100, 15);
        EXPECT_EQ(list.layout.columns, columns);
        EXPECT_EQ(list.layout.rows, rows);
        EXPECT_EQ(list.contentHeight, contentHeight);
        for (int i = 0; i + 1 < leads; ++i) {
            const Point a = displayPosition(i, list.layout, width, list.contentHeight);
            const Point b = displayPosition(i + 1, list.layout, width, list.contentHeight);
            if (a.x == b.x) EXPECT_GE(b.y - a.y, 15);
            else EXPECT_GE(b.x - a.x, 100);
        }
    };
    check(8, 660, 580, 1, 8, 580);       // today's layout: one column
    check(70, 660, 580, 2, 35, 580);     // today's two columns fit
    check(175, 660, 580, 5, 35, 580);    // today's five columns fit
    check(175, 450, 680, 4, 44, 680);    // five do not: four do, 44 lines 15 apart
    check(175, 250, 580, 2, 88, 1320);   // even two columns are too tall: it scrolls
    check(0, 660, 580, 0, 0, 580);
}

// A click finds the lead whose line it falls on, and nothing between lines.
TEST(DrawingTest, AClickFindsTheLeadUnderIt) {
    const ListLayout list = listLayout(175, 660, 580, 100, 15);
    const auto at = [&](int x, int y) { return displayIndexAt({x, y}, list.layout, 175, 660, list.contentHeight, 15); };
    EXPECT_EQ(at(5, 2), 0);
    const Point p = displayPosition(37, list.layout, 660, list.contentHeight);
    EXPECT_EQ(at(p.x + 10, p.y + 14), 37);
    EXPECT_EQ(at(p.x + 10, p.y + 15), -1);  // below the line, above the next
    EXPECT_EQ(at(659, 579), -1);            // past the last lead
    EXPECT_EQ(at(-1, 5), -1);
}

// The leads of a false plan's repeats are brown, apart from the red of a clash.
TEST(DrawingTest, FalsePlanLeadsHaveAColourOfTheirOwn) {
    std::istringstream in("B \nB \nB \n");
    const auto c = readComposition(in, 16, test::starterLibrary(), PlanRepeats::Record);
    ASSERT_TRUE(c->planIsFalse());
    EXPECT_EQ(leadColour(*c, 2, 1), FalsePlanBrown);
    EXPECT_EQ(leadColour(*c, 1, 1), Violet);  // the current lead keeps its marks
    EXPECT_NE(FalsePlanBrown, Red);
}

// The lead list: a held method after its lead's line where a name would
// stand; with music, the lines padded alike and each lead's score
// right-aligned after them, adding up to the composition's music.
TEST(DrawingTest, TheLeadListShowsHeldMethodsAndAMusicColumn) {
    const auto c = test::composition("B  Cambridge S\nB- \nBs Yorkshire S\n");
    const std::vector<std::string> held{"", "London S", ""};
    const std::vector<std::string> plain = leadListLines(*c, held, nullptr);
    ASSERT_EQ(plain.size(), 3u);
    EXPECT_EQ(plain[0], c->displayLine(1));
    EXPECT_EQ(plain[1], c->displayLine(2) + " (held: London S)");
    EXPECT_EQ(leadListLines(*c, {}, nullptr)[1], c->displayLine(2));  // nothing held
    std::istringstream file("Rounds\n10 0 12345678\nQueens\n10 0 13572468\nRuns\n1 0 xxxx5678 xxxx8765\n");
    MusicTable music = MusicTable::read(file);
    const std::vector<std::string> scored = leadListLines(*c, held, &music);
    std::size_t width = 0;
    for (const std::string& line : plain) width = std::max(width, line.size());
    int total = 0;
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        const std::string& line = scored[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(line.substr(0, plain[static_cast<std::size_t>(n - 1)].size()), plain[static_cast<std::size_t>(n - 1)]);
        EXPECT_EQ(line.size(), scored[0].size());
        total += std::stoi(line.substr(width));
    }
    EXPECT_GT(total, 0);
    EXPECT_EQ(total, c->musicScore(0, music, false));
}

}  // namespace quarnel
