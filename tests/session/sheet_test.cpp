#include "session/sheet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "composition/composition.h"
#include "composition/layout_reader.h"
#include "composition/layout_text.h"
#include "composition/music.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

const MethodLibrary& library() { return test::libraryIn(test::fullMethodsDir()); }

std::unique_ptr<Composition> published(const std::string& file) {
    std::istringstream in(readLayout(test::readFile(test::testDataDir() + "/compositions/" + file), library()));
    return readComposition(in, 16, library());
}

MusicTable music() {
    std::ifstream in(test::repoDataDir() + "/major.mus", std::ios::binary);
    return MusicTable::read(in);
}

std::string dump(const std::vector<Page>& pages) {
    std::string out;
    for (const Page& p : pages) out += pageDump(p);
    return out;
}

TEST(SheetTest, LeesSplicedSheetHoldsLayoutFiguresMusicAndBlueLines) {
    const auto c = published("lee_5024_spliced.txt");
    const MusicTable m = music();
    const std::vector<Page> pages = compositionSheet(*c, library(), &m, {A4, "Robert W Lee"});
    test::expectGolden(dump(pages), "sheets/lee_5024_spliced.sheet.txt");
}

TEST(SheetTest, EveryTextOfAPealSheetFitsThePageWidthAndTheCallingIsReadable) {
    for (const char* file : {"pitstow_5088_yorkshire.txt", "lee_5024_spliced.txt"}) {
        for (const PaperSize paper : {A4, Letter}) {
            SCOPED_TRACE(std::string(file) + (paper.width == A4.width ? " A4" : " Letter"));
            const auto c = published(file);
            const MusicTable m = music();
            const std::vector<Page> pages = compositionSheet(*c, library(), &m, {paper, ""});
            ASSERT_FALSE(pages.empty());
            int fixedLines = 0;
            for (const Page& page : pages) {
                EXPECT_EQ(page.width, paper.width);
                for (const PageItem& item : page.items) {
                    const auto* t = std::get_if<PageText>(&item);
                    if (t == nullptr) continue;
                    const double width = t->pitch > 0   ? t->pitch * static_cast<double>(t->text.size())
                                         : t->face == Face::Fixed ? fixedWidth(t->text, t->size)
                                                                 : proportionalWidth(t->text, t->size, t->bold);
                    const double left = t->pitch > 0 ? t->at.x - t->pitch / 2
                                        : t->align == Align::Centre ? t->at.x - width / 2
                                        : t->align == Align::Right  ? t->at.x - width
                                                                    : t->at.x;
                    EXPECT_GE(left, SheetMargin / 2) << t->text;
                    EXPECT_LE(left + width, paper.width - SheetMargin / 2) << t->text;
                    EXPECT_LE(t->at.y, paper.height - SheetMargin / 4) << t->text;
                    if (t->face == Face::Fixed && t->pitch == 0 && t->size >= SheetSmallestCalling) ++fixedLines;
                }
            }
            // Every line of the layout but its title and Contains, at 10 pt or more.
            int layoutLines = 0;
            for (const std::string& line : test::lines(layoutText(*c, library(), false)))
                if (line.rfind("Contains", 0) != 0) ++layoutLines;
            EXPECT_EQ(fixedLines, layoutLines - 1);
        }
    }
}

// The line under the title: the composer option, else the composer the
// file names, else none.
TEST(SheetTest, TheComposerLineComesFromTheOptionOrElseTheFile) {
    const struct {
        const char* fileLine;
        const char* option;
        const char* shown;  // the line under the title; "" for none
    } cases[] = {
        {"Composed by A. B. Smith\n", "", "Composed by A. B. Smith"},
        {"Composer: A. B. Smith\n", "", "Composed by A. B. Smith"},
        {"Composed by A. B. Smith\n", "Arranged by C. D. Jones", "Arranged by C. D. Jones"},
        {"", "Robert W Lee", "Robert W Lee"},
        {"", "", ""},
    };
    std::vector<std::string> plainLayout;  // the fixed-face lines of the first case
    for (const auto& k : cases) {
        SCOPED_TRACE(std::string(k.fileLine) + "/" + k.option);
        std::istringstream in(k.fileLine + test::readFile(test::repoDataDir() + "/quarnel.txt"));
        const auto c = readComposition(in, 16, library());
        const std::vector<Page> pages = compositionSheet(*c, library(), nullptr, {A4, k.option});
        ASSERT_FALSE(pages.empty());
        // The composer's line: centred under the title, a point larger than the text.
        std::string shown;
        std::vector<std::string> layout;
        for (const PageItem& item : pages.front().items) {
            const auto* t = std::get_if<PageText>(&item);
            if (t != nullptr && t->align == Align::Centre && t->size == SheetTextSize + 1) shown += t->text;
            if (t != nullptr && t->face == Face::Fixed && t->size >= SheetSmallestCalling) layout.push_back(t->text);
        }
        EXPECT_EQ(shown, k.shown);
        // The course layout is the same with a composer as without.
        if (plainLayout.empty()) plainLayout = layout;
        EXPECT_EQ(layout, plainLayout);
    }
}

TEST(SheetTest, NoLeadsNoSheet) {
    std::istringstream in("");
    const auto c = readComposition(in, 16, library());
    EXPECT_TRUE(compositionSheet(*c, library(), nullptr).empty());
}

}  // namespace
}  // namespace quarnel
