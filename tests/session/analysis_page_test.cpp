#include "session/analysis_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "session/composer_session.h"
#include "session/headless_view.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

std::string musicFile(const std::string& name, const std::string& content) {
    const auto path = std::filesystem::temp_directory_path() / ("quarnel-page-" + name);
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

class AnalysisPageTest : public ::testing::Test {
protected:
    std::ostringstream messages;
    HeadlessView view{messages};
    MajorMethodGenerator generator;
    ComposerSession session{view, test::starterLibrary(), generator};
    DialogFields& f = session.fields();
};

TEST_F(AnalysisPageTest, ShowsTheCompositionTheLeadAndTheCandidateSideBySide) {
    EXPECT_EQ(analysisPage(session).note, "No composition loaded");
    ASSERT_TRUE(session.loadMusicFile(musicFile("every.mus", "Every row\n1 0 xxxxxxxx\nRounds\n2 0 12345678\n")));
    ASSERT_TRUE(session.loadFile(test::testDataDir() + "/two_leads_three_parts.txt"));
    f.leadNumber = 2;
    session.leadChanged();
    f.methodName = "Yorkshire S";
    session.nameChanged();
    const AnalysisPage page = analysisPage(session);
    EXPECT_EQ(page.note, "");
    EXPECT_EQ(page.columns, (std::vector<std::string>{"Music", "Composition", "Lead 2", "Candidate"}));
    ASSERT_EQ(page.counts.size(), 2u);
    EXPECT_EQ(page.counts[0], (std::vector<std::string>{"Every row", "192 (192)", "96 (96)", "96 (96)"}));
    // Rounds opens lead 1, so lead 2 and its candidate have none.
    EXPECT_EQ(page.counts[1], (std::vector<std::string>{"Rounds", "1 (2)", "0 (0)", "0 (0)"}));
    EXPECT_EQ(page.columnWidths, (std::vector<int>{9, 11, 7, 9}));
    ASSERT_EQ(page.work.size(), 3u);
    EXPECT_EQ(page.work[0], "ATW: 38 of 98");
    EXPECT_EQ(page.work[2].substr(0, 31), "Cambridge S: 2 misses 3 4 7 8; ");
    EXPECT_EQ(page.balance, (std::vector<std::string>{"Changes of method: 5", "Methods used: 2", "96 Adelaide S", "96 Cambridge S"}));
}

TEST_F(AnalysisPageTest, AMusicFileWithoutDefinitionsLeavesTheTableThereIs) {
    ASSERT_TRUE(session.loadMusicFile(test::repoDataDir() + "/major.mus"));
    const MusicTable* before = session.musicTable();
    const std::string empty = musicFile("empty.mus", "a title\nno data\n");
    EXPECT_FALSE(session.loadMusicFile(empty));
    EXPECT_EQ(session.musicTable(), before);
    EXPECT_EQ(session.musicTable()->definitions().size(), 17u);
    EXPECT_EQ(messages.str(), "\"" + empty + "\" holds no music definitions. The music table was not changed.\n");
}

}  // namespace
}  // namespace quarnel
