#include "cli/layout_command.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "cli/commands.h"
#include "composition/composition.h"
#include "composition/layout_reader.h"
#include "ringing/model_error.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

const MethodLibrary& library() { return test::libraryIn(test::fullMethodsDir()); }

std::unique_ptr<Composition> read(const std::string& text) {
    std::istringstream in(text);
    return readComposition(in, 16, library());
}

std::string saved(const Composition& c) {
    std::ostringstream out;
    c.save(out);
    return out.str();
}

TEST(LayoutCommandTest, PitstowsPealIsWrittenAsItsCourseLayout) {
    const auto c = read(readLayout(test::readFile(test::testDataDir() + "/compositions/pitstow_5088_yorkshire.txt"), library()));
    EXPECT_EQ(cli::layoutText(*c, library(), false),
              "5088 Yorkshire Surprise Major\n"
              "Method: Yorkshire\n"
              "23456  B  W  H\n"
              "52436     -  3\n"
              "35426     -  3\n"
              "23564  -     2\n"
              "3 part\n");
}

// One method is written in blocks as composers print Bristol: a line takes
// its calls in the columns' order over as many courses as it takes, "5"
// under B five Befores in five courses, "2" under M two Middles at
// successive lead ends. The published peals come out line for line.
TEST(LayoutCommandTest, OneMethodIsWrittenInBlocksLineForLineAsPublished) {
    const std::string folder = test::testDataDir() + "/compositions/";
    const struct {
        const char* file;
        const char* body;  // the layout after its title and method lines
    } cases[] = {
        {"bailey_5152_bristol.txt",
         "23456  M  B  W  H\n"
         "64352  -        -\n"
         "32546  -  5  -  2\n"
         "65243  -  5     -\n"
         "62453     5  -  2\n"
         "23456  -  5     2\n"
         "1 part\n"},
        {"starbuck_4032_yorkshire.txt",
         "23456  M  W  H\n"
         "52436     -\n"
         "42365  s  2  -\n"
         "6 part\n"},
        {"davies_5056_bristol.txt",
         "23456  M  B  W  H\n"
         "42356           -\n"
         "54326        -\n"
         "54263     -     -\n"
         "32465  -  5     -\n"
         "26354     -\n"
         "43652  -        -\n"
         "43526     -     -\n"
         "24536        -\n"
         "43265     -\n"
         "45362  2        -\n"
         "63254  -     -\n"
         "52436  -     -\n"
         "34625  -     -\n"
         "26543  -     -\n"
         "64352  -     2\n"
         "23456  -        -\n"
         "1 part\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto composition = read(readLayout(test::readFile(folder + c.file), library()));
        const std::string text = cli::layoutText(*composition, library(), false);
        const std::size_t body = text.find("23456  ");
        ASSERT_NE(body, std::string::npos) << text;
        EXPECT_EQ(text.substr(body), c.body);
        EXPECT_EQ(readLayout(text, library()), saved(*composition));
    }
}

TEST(LayoutCommandTest, SplicedIsWrittenWithMethodsKeyAndContents) {
    const auto c = read(readLayout(test::readFile(test::testDataDir() + "/compositions/anon_1280_spliced.txt"), library()));
    EXPECT_EQ(cli::layoutText(*c, library(), false),
              "1280 Spliced Surprise Major (4m)\n"
              "23456  M  W  H  Methods\n"
              "64352  -     -  R.CR.\n"
              "56342     -     NYNC.R\n"
              "5 part\n"
              "C Cambridge, N Lincolnshire, R Rutland, Y Yorkshire\n"
              "Contains 480 Rutland, 320 Cambridge, 320 Lincolnshire, 160 Yorkshire, 35 changes of method\n");
}

// Lee's 5024 rings NNN for (R) in one part: written out as one part, its
// first part as published (three courses ending at H in a row on one line,
// "3" under H), the last part with NNN, and the published Contains figures.
TEST(LayoutCommandTest, APartVariedByANoteIsWrittenOutWithThePublishedContents) {
    const auto c = read(readLayout(test::readFile(test::testDataDir() + "/compositions/lee_5024_spliced.txt"), library()));
    const std::string layout = cli::layoutText(*c, library(), false);
    const std::string first = "5024 Spliced Surprise Major (4m)\n"
                              "23456  M  W  H  Methods\n"
                              "43652  -        YYY.YR\n"
                              "56234  -  -     R.RRRRR.R\n"
                              "35264     -  3  RY.YYY.NNNNCCC.CCCCNNN.\n";
    const std::string last = "R.RRRRR.NNN\n"
                             "23456     -  3  RY.YYY.NNNNCCC.CCCCNNN.\n"
                             "1 part\n"
                             "C Cambridge, N Lincolnshire, R Rutland, Y Yorkshire\n"
                             "Contains 1408 Rutland, 1280 Yorkshire, 1216 Lincolnshire, 1120 Cambridge, 31 changes of method\n";
    EXPECT_EQ(layout.substr(0, first.size()), first) << layout;
    ASSERT_GE(layout.size(), last.size());
    EXPECT_EQ(layout.substr(layout.size() - last.size()), last) << layout;
}

// Davies's 3-part of five-spliced, printed with its course heads as whole
// rows under "12345678": the published length, part end and Contains.
TEST(LayoutCommandTest, APublishedThreePartWithWholeRowCourseHeadsImportsAtItsLength) {
    const auto c = read(readLayout(test::readFile(test::testDataDir() + "/compositions/davies_5088_spliced.txt"), library()));
    EXPECT_EQ(c->partCount(), 3);
    EXPECT_EQ(c->partEnd().row().text(), "12356478");
    const std::string layout = cli::layoutText(*c, library(), false);
    EXPECT_EQ(layout.substr(0, layout.find('\n')), "5088 Spliced Surprise Major (5m)");
    EXPECT_NE(layout.find("Contains 1152 Bristol, 1152 Yorkshire, 960 Cambridge, 960 Lincolnshire, 864 Rutland, "
                          "74 changes of method\n"),
              std::string::npos)
        << layout;
}

TEST(LayoutCommandTest, ALeadListGivesEachLeadsMethodCallAndLeadHead) {
    const auto c = read("B  Yorkshire S\nB- Yorkshire S\nBs Cambridge S\n");
    EXPECT_EQ(cli::layoutText(*c, library(), true),
              "960 Spliced Surprise Major (2m)\n"
              "Yorkshire     5738264\n"
              "Yorkshire  -  7864523\n"
              "Cambridge  s  4823756\n"
              "10 part\n");
}

// A lead list whose last lead head is rounds: "Lincolnshire  2345678" is a
// lead, not the header of a course layout.
TEST(LayoutCommandTest, ALeadListEndingInRoundsReadsBack) {
    for (const char* method : {"Lincolnshire S", "Cambridge S"}) {
        SCOPED_TRACE(method);
        std::string plainCourse;
        for (int lead = 0; lead < 7; ++lead) plainCourse += std::string("B  ") + method + "\n";
        const auto c = read(plainCourse);
        ASSERT_EQ(c->leadCount(), 7u);
        const std::string layout = cli::layoutText(*c, library(), true);
        EXPECT_EQ(readLayout(layout, library()), saved(*c)) << layout;
    }
}

TEST(LayoutCommandTest, ImportThenLayoutThenImportIsTheSameComposition) {
    const auto check = [](const std::string& file) {
        SCOPED_TRACE(file);
        const auto c = read(readLayout(test::readFile(file), library()));
        for (bool leadHeads : {false, true}) {
            const std::string layout = cli::layoutText(*c, library(), leadHeads);
            EXPECT_EQ(readLayout(layout, library()), saved(*c)) << layout;
        }
    };
    for (const char* name : {"pitstow_5088_yorkshire.txt", "humphrey_5088_yorkshire.txt", "starbuck_4032_yorkshire.txt",
                             "taylor_5152_yorkshire.txt", "lee_5024_spliced.txt", "anon_1280_spliced.txt",
                             "gay_1344_spliced_cyclic.txt", "davies_5088_spliced.txt", "davies_5056_bristol.txt",
                             "bailey_5152_bristol.txt"})
        check(test::testDataDir() + "/compositions/" + name);
}

TEST(LayoutCommandTest, LayoutThenImportGivesBackEveryTestComposition) {
    const auto check = [](const std::string& file) {
        SCOPED_TRACE(file);
        const auto c = read(test::readFile(file));
        for (bool leadHeads : {false, true}) {
            const std::string layout = cli::layoutText(*c, library(), leadHeads);
            EXPECT_EQ(readLayout(layout, library()), saved(*c)) << layout;
        }
    };
    check(test::repoDataDir() + "/quarnel.txt");
    check(test::testDataDir() + "/two_leads_three_parts.txt");
}

TEST(LayoutCommandTest, RandomTrueCallingsOfYorkshireReadBack) {
    // Seeded: the same callings every run. A calling whose methods are not
    // all committed (false) is skipped: its layout names no method there.
    std::mt19937 random(17);
    int checked = 0;
    for (int trial = 0; trial < 200 && checked < 40; ++trial) {
        const int leads = 7 + static_cast<int>(random() % 28);
        std::string text;
        for (int n = 0; n < leads; ++n) {
            const unsigned r = random() % 10;
            text += std::string("B") + (r < 2 ? '-' : r < 3 ? 's' : ' ') + (r % 2 == 0 ? " Yorkshire S\n" : " Cambridge S\n");
        }
        std::unique_ptr<Composition> c;
        try {
            c = read(text);
        } catch (const ModelError&) {
            continue;  // a lead head or lead end rung twice
        }
        if (!c->loadReport().empty()) continue;
        ++checked;
        SCOPED_TRACE(text);
        for (bool leadHeads : {false, true}) {
            const std::string layout = cli::layoutText(*c, library(), leadHeads);
            EXPECT_EQ(readLayout(layout, library()), saved(*c)) << layout;
        }
    }
    EXPECT_GT(checked, 5);
}

TEST(LayoutCommandTest, ImportExitsOneNamingTheLine) {
    const std::string file = testing::TempDir() + "/bad_layout.txt";
    {
        std::ofstream out(file);
        out << "5088 Yorkshire Surprise Major\nW  B  H  23456\n-     3  45236\n";
    }
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(cli::run({"import", file, "--library", test::fullMethodsDir()}, in, out, err), 1);
    EXPECT_EQ(err.str(), file + ": line 3: course head 45236 printed, the calling rings 52436\n");
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace quarnel
