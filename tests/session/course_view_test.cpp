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
    const auto c = fromLayout(test::readFile(test::testDataDir() + "/compositions/anon_1280_spliced.txt"));
    const CourseViewText view = courseViewText(*c);
    EXPECT_EQ(plainText(view),
              "23456  M  W  H   Methods\n"
              "64352  -     -   R.CR.\n"
              "56342     -      NYNC.R\n"
              "\n"
              "5 part, 1280 changes\n"
              "C Cambridge S\n"
              "N Lincolnshire S\n"
              "R Rutland S\n"
              "Y Yorkshire S\n");
    // The bob's mark, its lead's letter and the call under M are lead 1's.
    EXPECT_EQ(courseViewLeadAt(view, 1, 17), 1);
    EXPECT_EQ(courseViewLeadAt(view, 1, 18), 1);
    EXPECT_EQ(courseViewLeadAt(view, 1, 7), 1);
    EXPECT_EQ(courseViewLeadAt(view, 1, 19), 2);
    EXPECT_EQ(courseViewLeadAt(view, 1, 13), 3);  // the bob at H
    EXPECT_EQ(courseViewLeadAt(view, 2, 10), 7);  // the bob at W
    EXPECT_EQ(courseViewLeadAt(view, 1, 0), 0);   // a course head is no lead's
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
