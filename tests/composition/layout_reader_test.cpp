#include "composition/layout_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "composition/calling.h"
#include "composition/composition.h"
#include "ringing/model_error.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

const MethodLibrary& library() { return test::libraryIn(test::fullMethodsDir()); }

std::unique_ptr<Composition> imported(const std::string& text) {
    std::istringstream in(readLayout(text, library()));
    return readComposition(in, 16, library());
}

std::string courseHeads(const Composition& c) {
    std::string text;
    // Bells 2 to 6 with the tenors home, else 2 to 8, as layouts print them.
    for (const CourseCalling& course : compositionCalling(c).courses)
        text += course.head.text().substr(1, course.head.text().substr(6) == "78" ? 5 : 7) + " ";
    return text;
}

TEST(LayoutReaderTest, PublishedCompositionsProveWithTheirLengthPartsAndCourseHeads) {
    const auto check = [](const std::string& file, int parts, long long changes, const std::string& heads) {
        SCOPED_TRACE(file);
        const auto c = imported(test::readFile(test::testDataDir() + "/compositions/" + file));
        EXPECT_TRUE(c->loadReport().empty());
        EXPECT_EQ(c->partCount(), parts);
        EXPECT_EQ(static_cast<long long>(c->partCount()) * c->leadLength() * static_cast<long long>(c->leadCount()), changes);
        for (int n = 1; n <= static_cast<int>(c->leadCount()); ++n) EXPECT_NE(c->committedMethodAt(n), nullptr) << "lead " << n;
        EXPECT_EQ(courseHeads(*c), heads);
    };
    // Every printed course head is checked by the reader itself; these are
    // the course heads of the part as the composition rings them.
    check("pitstow_5088_yorkshire.txt", 3, 5088, "23456 45236 24536 52436 43526 54326 35426 35264 ");
    check("humphrey_5088_yorkshire.txt", 3, 5088, "23456 63452 45236 24536 52436 64235 26435 42635 ");
    check("starbuck_4032_yorkshire.txt", 6, 4032, "23456 52436 36425 ");
    check("taylor_5152_yorkshire.txt", 1, 5152,
          "23456 43652 56234 35264 62453 56423 25463 64352 56342 45362 63254 52436 34625 64523 54326 23645 63542 "
          "53246 42635 62534 35426 42356 34256 ");
    // Rung as a plain 5-part with (R): the published 5024 rings NNN for it
    // in one part, which one part repeated cannot say.
    check("lee_5024_spliced.txt", 5, 4960, "23456 43652 56234 23564 52364 ");
    // Method strings under no title and no key: the customary letters.
    check("anon_1280_spliced.txt", 5, 1280, "23456 64352 ");
    // A cyclic lead list with every lead head printed.
    check("gay_1344_spliced_cyclic.txt", 7, 1344, "23456 35264 56342 ");
}

TEST(LayoutReaderTest, ColumnsMayBeTabbedAndMethodsComeFromTitleLineOrOption) {
    const std::string pitstow = test::readFile(test::testDataDir() + "/compositions/pitstow_5088_yorkshire.txt");
    std::istringstream in(readLayout(pitstow, library()));
    std::ostringstream expected;
    readComposition(in, 16, library())->save(expected);
    const auto check = [&](const std::string& text, const std::string& method) {
        SCOPED_TRACE(text);
        EXPECT_EQ(readLayout(text, library(), method), expected.str());
    };
    check("23456\tW\tB\tH\n52436\t-\t\t3\n35426\t-\t\t3\n23564\t\t-\t2\n3 part\n", "Yorkshire");
    check("Method: Yorkshire Surprise\nW  B  H  23456\n-     3  52436\n-     3  35426\n   -  2  23564\n3-part\n", "");
    check("W  B  H  23456\n-     3  52436\n-     3  35426\n   -  2  23564\n3 parts\n", "yorkshire s");
}

TEST(LayoutReaderTest, LeadListsAndMethodStringsRingTheSameLeads) {
    const std::string list = "Yorkshire     5738264\nYorkshire  -  7864523\nCambridge  s\n";
    const std::string leads = readLayout(list, library());
    EXPECT_EQ(leads, "B  Yorkshire S\nB- Yorkshire S\nBs Cambridge S\n");
    EXPECT_EQ(readLayout("YY.Cs\nY Yorkshire, C Cambridge\n", library()), leads);
    EXPECT_EQ(readLayout("1. Y\n2. Y -\n3. C s\nY = Yorkshire; C: Cambridge\n", library()), leads);
    // A composer's line under the title, rounds over the leads, a bob's
    // mark against the name; customary letters when no key is printed.
    EXPECT_EQ(readLayout("96 Spliced Surprise Major\nA.N.Other\n 2345678\nYorkshire  5738264\nYorkshire- 7864523\nCambridge  s\n",
                         library()),
              leads);
    EXPECT_EQ(readLayout("YY.Cs\n", library()), leads);
}

TEST(LayoutReaderTest, EveryErrorNamesItsLine) {
    const auto check = [](const std::string& text, const std::string& message) {
        SCOPED_TRACE(text);
        EXPECT_THROW_MSG(readLayout(text, library()), ModelError, message);
    };
    const std::string title = "5088 Yorkshire Surprise Major\n";
    check(title + "W  X  H  23456\n-     3  52436\n", "line 2: unknown position X (positions are L, I, B, T, F, V, M, W and H)");
    check("23456 W H\n52436 - 3\n", "line 1: no method: give it in the title, a \"Method: NAME\" line or --method");
    check(title + "M  W  B  H  23456\n-  -  -     52436\n", "line 3: no B in this course: the tenor meets F, I, H and comes home at 54632");
    check(title + "W  B  H  23456\n-     3  45236\n", "line 3: course head 45236 printed, the calling rings 52436");
    check(title + "W  B  H  23456\n-     3  52436\n5 part\n", "line 4: comes round in 3 parts, not 5");
    check(title + "W  B  H  23456\nx     3  52436\n", "line 3: \"x\" under W is no call");
    check(title + "W  B  H  23456\n-     3\n", "line 3: no course head on this line");
    check("YZ.Y\nY Yorkshire\n", "line 1: method letter Z is missing from the key");
    check("Yorkshire - 2345678\n", "line 1: lead head 2345678 printed, the calling rings 3578264");
    check("Yorkshre\n", "line 1: No method named \"Yorkshre\"");
    check("23456 M W H Methods\n43652 - XXX.XR\n", "line 2: method letter X is missing from the key");
    check("YYY.YR\nY Yorkshire\n", "line 1: method letter R is missing from the key");
    check(title + "W  B  H  23456\n-     3  52436\n-  Y.YY  35426\n", "line 4: methods on this line, none on the first course's");
    check("23456\tM\tW\tH\tMethods\n43652\t\t-\t\tYYY.YR\nY Yorkshire, R Rutland\n",
          "line 2: the methods' calls fall at M, the positions say W");
}

}  // namespace
}  // namespace quarnel
