#include <gtest/gtest.h>

#include <sstream>

#include "composition/composition.h"
#include "composition/layout_reader.h"
#include "composition/layout_text.h"
#include "session/course_view.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

std::unique_ptr<Composition> fromLayout(const std::string& layout) {
    std::istringstream in(readLayout(layout, test::starterLibrary()));
    return readComposition(in, 16, test::starterLibrary());
}

// A spliced layout reads back as the courses it was written as: course
// heads, the calls under their positions, the method letters with "." and
// "s", the parts and the key.
TEST(CourseViewTest, ShowsEachCourseAsComposersWriteIt) {
    const auto c = fromLayout(test::readFile(test::testDataDir() + "/compositions/lee_5024_spliced.txt"));
    const CourseViewText view = courseViewText(*c);
    EXPECT_EQ(plainText(view),
              "23456  M  W  H   Methods\n"
              "43652  -         YYY.YR\n"
              "56234  -  -      R.RRRRR.R\n"
              "35264     -  3   RY.YYY.NNNNCCC.CCCCNNN.\n"
              "\n"
              "5 part, 4960 changes\n"
              "C Cambridge S\n"
              "N Lincolnshire S\n"
              "R Rutland S\n"
              "Y Yorkshire S\n");
    // The bob's mark, its lead's letter and the call under M are lead 3's.
    EXPECT_EQ(courseViewLeadAt(view, 1, 20), 3);
    EXPECT_EQ(courseViewLeadAt(view, 1, 19), 3);
    EXPECT_EQ(courseViewLeadAt(view, 1, 7), 3);
    EXPECT_EQ(courseViewLeadAt(view, 1, 21), 4);
    EXPECT_EQ(courseViewLeadAt(view, 2, 17), 6);
    // The three courses of a bob at H are one line, as the published
    // layout writes them; its leads run on to lead 31.
    EXPECT_EQ(courseViewLeadAt(view, 3, 17 + 22), 31);
    const std::string layout = layoutText(*c, test::starterLibrary(), false);
    EXPECT_NE(layout.find("35264     -  3  RY.YYY.NNNNCCC.CCCCNNN.\n"), std::string::npos) << layout;
    EXPECT_EQ(courseViewLeadAt(view, 1, 0), 0);  // a course head is no lead's
    EXPECT_EQ(courseViewLeadAt(view, 0, 17), 0);
    EXPECT_EQ(courseViewLeadAt(view, 40, 17), 0);
}

// A lead without a method shows "?", and a plan whose course heads do not
// have the tenors home prints bells 2 to 8.
TEST(CourseViewTest, LeadsWithoutMethodsAndTenorsAwayAreShown) {
    const auto c = test::composition("B  Cambridge S\nB- \nBs Yorkshire S\n");
    EXPECT_EQ(plainText(courseViewText(*c)), "2345678  B  T   Methods\n"
                                             "4823756  -  s   C?.Ys\n"
                                             "\n"
                                             "10 part, 960 changes\n"
                                             "C Cambridge S\n"
                                             "Y Yorkshire S\n");
}

}  // namespace
}  // namespace quarnel
