#include "composition/layout_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "composition/analysis.h"
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
    // Method strings under no title and no key: the customary letters.
    check("anon_1280_spliced.txt", 5, 1280, "23456 64352 ");
    // A cyclic lead list with every lead head printed.
    check("gay_1344_spliced_cyclic.txt", 7, 1344, "23456 35264 56342 ");
    // Block layouts of Bristol: a line spans several courses and prints the
    // course head at its end, which is among these.
    check("davies_5056_bristol.txt", 1, 5056,
          "23456 42356 54326 42563 54263 46253 65432 53624 32546 24365 32465 26354 36452 43652 35426 43526 24536 "
          "43265 53462 45362 63254 52436 34625 26543 64352 34256 ");
    check("bailey_5152_bristol.txt", 1, 5152,
          "23456 43652 64352 45362 56423 62534 23645 53246 25346 32546 24536 43265 36452 65324 52643 65243 54632 "
          "43526 32465 26354 46253 24653 62453 25463 56234 63542 34625 42356 34256 ");
}

// A line of the block form rings lead after lead from its start, each call
// of the line in the order of the columns at the next lead end where the
// tenor is at its position. Bristol's tenor meets H at the first lead end of
// a course, then M, I, B, F, V and W; after a Wrong it is at W again at the
// next lead end. Bailey's first two lines, and the same leads written out.
TEST(LayoutReaderTest, ABlockLineRingsItsCallsWhereTheTenorMeetsThemOverSeveralCourses) {
    const std::string block = "5152 Bristol Surprise Major\nM B W H  23456\n1     1  64352\n1 5 1 2  32546\n";
    const std::string leads = "B Bristol\n"
                              "BB.BBBBBBB.\n"            // the Middle; Home at the next course's first lead end
                              "BB.BBB.BBB\n"             // the Middle and the first Before
                              "BBBB.BBB\nBBBB.BBB\nBBBB.BBB\n"  // three more Befores, a course each
                              "BBBB.BBB.B\n"              // the fifth, then the Wrong: W again, plain
                              "B.B.\n";                  // two Homes, one lead each
    EXPECT_EQ(readLayout(block, library()), readLayout(leads, library()));
    // A line with no calls is a plain course, in the block form as in any.
    EXPECT_EQ(readLayout("5152 Bristol Surprise Major\nM B W H  23456\n1     1  64352\n         64352\n", library()),
              readLayout("B Bristol\nBB.BBBBBBB.\nBBBBBBB\n", library()));
}

// Lines that cannot be read: a call the tenor never meets names what is
// left, and in a layout whose columns keep the tenor's order a wrong course
// head is named as such, not as a call with no place in the first course.
TEST(LayoutReaderTest, ABlockThatCannotBeReadSaysWhy) {
    const auto check = [](const std::string& text, const std::string& message) {
        SCOPED_TRACE(text);
        EXPECT_THROW_MSG(readLayout(text, library()), ModelError, message);
    };
    const std::string title = "64 Bristol Surprise Major\n";
    check(title + "M  B  L  H  23456\n   -  2     64352\n",
          "line 3: no L in a whole course: the tenor meets H, M, I, B, F, V, W and comes home at 35264; left uncalled: 2 "
          "bobs at L");
    std::string davies = test::readFile(test::testDataDir() + "/compositions/davies_5056_bristol.txt");
    davies.replace(davies.find("54263"), 5, "54236");
    check(davies, "line 8: course head 54236 printed, the calling rings 54263");
}

// "5 part, substituting NNN for (R) in one part": the parts are written out,
// the last with NNN, and the figures are the published ones.
TEST(LayoutReaderTest, APartANoteVariesIsWrittenOutWithThePublishedFigures) {
    const auto c = imported(test::readFile(test::testDataDir() + "/compositions/lee_5024_spliced.txt"));
    EXPECT_TRUE(c->loadReport().empty());
    EXPECT_EQ(c->partCount(), 1);
    EXPECT_EQ(c->leadCount() * 32, 5024u);
    // The printed course heads start the first part.
    EXPECT_EQ(courseHeads(*c).substr(0, 30), "23456 43652 56234 23564 52364 ");
    // "Contains 1408 Rutland, 1280 Yorkshire, 1216 Lincolnshire (N), 1120
    // Cambridge, with 31 changes of method and all the work".
    const MethodBalance balance = methodBalance(*c);
    std::string contains;
    for (const MethodFigures& m : balance.methods) contains += std::to_string(m.changes) + " " + m.name + ", ";
    EXPECT_EQ(contains, "1408 Rutland S, 1280 Yorkshire S, 1216 Lincolnshire S, 1120 Cambridge S, ");
    EXPECT_EQ(balance.changesOfMethod, 31);
    EXPECT_TRUE(balance.allTheWork());
}

// Each part rings the bracketed pieces as the notes say: the words' forms
// and the footnotes under a layout marked "[..]1".
TEST(LayoutReaderTest, NotesSayWhichPartsRingWhichPieces) {
    const std::string key = "Y Yorkshire, R Rutland, N Lincolnshire, C Cambridge\n";
    // Aligned as printed, the calls under their positions.
    const std::string aligned = "23456  M  W  H  Methods\n43652  -        YYY.YR\n56234  -  -     R.RRRRR.(R)\n"
                                "23564     -  -  RY.YYY.\n52364        -  NNNNCCC.\n35264        -  CCCCNNN.\n";
    const auto leadsOf = [](const std::string& text) { return readLayout(text, library()); };
    const std::string lastPart = leadsOf(aligned + "5 part, substituting NNN for (R) in one part.\n" + key);
    const auto countOf = [](const std::string& leads) { return std::count(leads.begin(), leads.end(), '\n'); };
    EXPECT_EQ(countOf(lastPart), 157);
    EXPECT_EQ(leadsOf(aligned + "5 part.\nNNN instead of (R) in the last part\n" + key), lastPart);
    const std::string firstPart = leadsOf(aligned + "5 part\nNNN for (R) in part 1\n" + key);
    EXPECT_EQ(countOf(firstPart), 157);
    EXPECT_NE(firstPart, lastPart);
    // The same as footnotes; Include keeps a piece in the parts named only.
    std::string footnoted = aligned;
    footnoted.replace(footnoted.find("(R)"), 3, "[R]1[NNN]2");
    EXPECT_EQ(leadsOf(footnoted + "5 part.\n1 Omit in part 5.\n2 Include in part 5.\n" + key), lastPart);
    EXPECT_EQ(leadsOf(footnoted + "5 part.\n1 Include in parts 1, 2, 3 and 4.\n2 Omit in parts 1, 2, 3 and 4.\n" + key),
              lastPart);
    // A note written for another length is passed over: all five parts alike.
    const std::string plain = leadsOf(aligned + "5 part.\nFor 4960 omit [ss] in one part.\n" + key);
    EXPECT_EQ(countOf(plain), 31);
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
    // Notes that vary parts.
    const std::string lee = "23456  M  W  H  Methods\n43652  -        YYY.YR\n56234  -  -     R.RRRRR.(R)\n"
                            "23564     -  -  RY.YYY.\n52364        -  NNNNCCC.\n35264        -  CCCCNNN.\n";
    const std::string key = "Y Yorkshire, R Rutland, N Lincolnshire, C Cambridge\n";
    check(lee + key + "NNN for (R) in one part\n", "line 8: a note varies the parts, but no \"N part\" line says how many");
    check(lee + "5 part, NNN for (B) in one part\n" + key, "line 7: (B) is printed nowhere in the composition");
    check(lee + "5 part\nNNN for (R) in part 6\n" + key, "line 8: part 6 of 5 parts");
    // A varied part is read as that part rings it; with no course heads
    // printed, only its end tells.
    check(lee + "5 part\nNN for (R) in one part\n" + key,
          "line 3, in part 5: course head 56234 printed, the calling rings 4285763");
    check("YYY.YR\nR.RRRRR.(R)\nRY.YYY.\nNNNNCCC.\nCCCCNNN.\n5 part\nNN for (R) in one part\n" + key,
          "line 6: with the parts varied as the notes say, the composition ends at 13684752, not rounds");
    const auto checkStart = [](const std::string& text, const std::string& message) {
        SCOPED_TRACE(text);
        try {
            readLayout(text, library());
            ADD_FAILURE() << "read";
        } catch (const ModelError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
        }
    };
    checkStart(lee + "5 part\nCall Single for -* in alternate parts\n" + key,
               "line 8: a note varying the parts that does not read: \"Call Single for -* in alternate parts\" (no \"in one part\"");
    std::string marked = lee;
    marked.replace(marked.find("(R)"), 3, "[R]1");
    checkStart(marked + "5 part.\n1 Replace bracketed calls with -WsW-W in parts 2 and 3.\n" + key,
               "line 8: a note varying the parts that does not read: \"1 Replace bracketed calls with -WsW-W in parts 2 "
               "and 3\" (a footnote reads only \"Omit\" or \"Include\"");
}

}  // namespace
}  // namespace quarnel
