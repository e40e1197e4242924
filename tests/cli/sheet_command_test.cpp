#include "cli/sheet_command.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/cli_run.h"
#include "cli/commands.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

using test::CliRun;

CliRun cli(std::vector<std::string> args) {
    args.push_back("--library");
    args.push_back(test::repoDataDir());
    return test::runCli(args);
}

// A folder of its own for each test's files, removed after it.
class SheetCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("quarnel-paper-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }
    std::string file(const std::string& name) const { return (folder_ / name).string(); }
    // Lee's spliced peal, read from its published layout into a composition file.
    std::string leesSpliced() const {
        const CliRun imported = cli({"import", test::testDataDir() + "/compositions/lee_5024_spliced.txt"});
        EXPECT_EQ(imported.status, 0) << imported.err;
        const std::string path = file("lee.txt");
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs(imported.out.c_str(), f);
        std::fclose(f);
        return path;
    }
    std::vector<std::string> filesLeft() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
};

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

TEST_F(SheetCommandTest, ASheetIsAPdfWithEveryPageOfTheSheet) {
    const CliRun r = cli({"sheet", leesSpliced(), "--music", test::repoDataDir() + "/major.mus", "--composer", "Robert W Lee",
                       "-o", file("lee.pdf")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string pdf = test::readFile(file("lee.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
    // The layout of the five parts written out, then the blue lines: the
    // sheet's "page 1 of 3".
    EXPECT_EQ(countOf(pdf, "/Type /Page\n") + countOf(pdf, "/Type /Page "), 3u);
    EXPECT_EQ(filesLeft(), (std::vector<std::string>{"lee.pdf", "lee.txt"}));
}

// The text of a PDF as pdftotext reads it (poppler-utils).
std::string pdfText(const std::string& pdf) {
    std::string text;
    if (std::FILE* p = popen(("pdftotext -layout '" + pdf + "' - 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) text.append(buffer, n);
        pclose(p);
    }
    return text;
}

TEST_F(SheetCommandTest, TheFilesComposerLineIsOnTheSheetUnlessTheOptionGivesAnother) {
    const std::string path = file("smith.txt");
    {
        std::ofstream out(path, std::ios::binary);
        out << "Composed by A. B. Smith\n" << test::readFile(test::repoDataDir() + "/quarnel.txt");
    }
    const struct {
        std::vector<std::string> options;
        const char* shown;
        const char* notShown;
    } cases[] = {
        {{}, "Composed by A. B. Smith", "Arranged"},
        {{"--composer", "Arranged by C. D. Jones"}, "Arranged by C. D. Jones", "Smith"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        std::vector<std::string> args{"sheet", path, "-o", file("smith.pdf")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun r = cli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string text = pdfText(file("smith.pdf"));
        EXPECT_NE(text.find(c.shown), std::string::npos) << text;
        EXPECT_EQ(text.find(c.notShown), std::string::npos) << text;
    }
}

TEST_F(SheetCommandTest, ABlueLineSvgHoldsOnePathForEachLeadOfEachDrawnBell) {
    const CliRun r = cli({"line", "Cambridge S", "-o", file("cambridge.svg")});
    ASSERT_EQ(r.status, 0) << r.err;
    pugi::xml_document svg;
    ASSERT_TRUE(svg.load_file(file("cambridge.svg").c_str())) << "not XML";
    // Qt writes each line as one polyline in a group stroked in its colour:
    // seven leads of the treble in red and of the 2 in blue, and the lead ends.
    std::map<std::string, int> polylines;
    for (const pugi::xpath_node& node : svg.select_nodes("//polyline"))
        ++polylines[node.node().parent().attribute("stroke").value()];
    EXPECT_EQ(polylines["#dc0000"], 7);
    EXPECT_EQ(polylines["#003ce6"], 7);
    EXPECT_EQ(polylines["#5a5a5a"], 7);
    EXPECT_EQ(polylines.size(), 3u);
}

TEST_F(SheetCommandTest, ABlueLinePngHasTheFiguresSizeAtFourPixelsAPoint) {
    const CliRun r = cli({"line", "-38-14-1258-36-14-58-16-78,12", "--leads", "2", "-o", file("two.png")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string png = test::readFile(file("two.png"));
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    const auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
               (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
    };
    // Two leads: 12 + 2 * (8 * 6 + 12) points wide, with 12 points of margin each side.
    EXPECT_EQ(be32(16), static_cast<unsigned>((12 + 2 * 60 + 24) * 4));
}

TEST_F(SheetCommandTest, BadInputIsRefusedWithTheExportsMessagesAndNothingIsLeftBehind) {
    const std::string lee = leesSpliced();
    const std::string empty = file("empty.txt");
    std::fclose(std::fopen(empty.c_str(), "wb"));
    const struct {
        const char* what;
        std::vector<std::string> args;
        int status;
        std::string err;
    } cases[] = {
        {"no output", {"sheet", lee}, 1, "usage: quarnel-cli sheet"},
        {"not a PDF", {"sheet", lee, "-o", file("lee.svg")}, 1, "A sheet is written as a PDF: "},
        {"no composition file", {"sheet", file("none.txt"), "-o", file("x.pdf")}, 1, "Cannot open " + file("none.txt")},
        {"no leads", {"sheet", empty, "-o", file("x.pdf")}, 1, "No composition in " + empty + ": it has no leads"},
        {"missing folder", {"sheet", lee, "-o", file("missing/x.pdf")}, 1,
         "Cannot write \"" + file("missing/x.pdf") + "\". The file was not saved."},
        {"unknown option", {"sheet", lee, "--colour", "-o", file("x.pdf")}, 1, "Unknown option --colour"},
        {"unknown method", {"line", "Nowhere Surprise", "-o", file("x.svg")}, 1, "Nowhere Surprise"},
        {"both lead options", {"line", "Cambridge S", "--leads", "2", "--plain-course", "-o", file("x.svg")}, 1,
         "--leads and --plain-course do not go together"},
        {"no format", {"line", "Cambridge S", "-o", file("x.jpg")}, 1, "A blue line is written as an SVG, a PNG or a PDF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_EQ(filesLeft(), (std::vector<std::string>{"empty.txt", "lee.txt"}));
}

}  // namespace
}  // namespace quarnel
