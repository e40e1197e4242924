#include <gtest/gtest.h>

#include <sstream>

#include "methods/method_library.h"
#include "session/composer_session.h"
#include "session/fill_runner.h"
#include "session/headless_view.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

TEST(FillRunnerTest, AFillRunsAwayFromTheCallerAndTakingItCommitsEveryLead) {
    MethodLibrary library;
    ASSERT_EQ(readLibraryFiles(library, test::standardMethodsDir()), 3) << "method library missing: " << test::standardMethodsDir();
    std::ostringstream messages;
    HeadlessView view(messages);
    ComposerSession session(view, library);
    ASSERT_TRUE(session.loadMusicFile(test::testDataDir() + "/major-classic.mus"));
    ASSERT_TRUE(session.loadFile(test::repoDataDir() + "/quarnel.txt"));
    DialogFields& f = session.fields();
    f.allowDelight = f.allowTrebleBob = true;
    fill::FillOptions options = fillOptionsOf(f);
    EXPECT_TRUE(options.surprise && options.delight && options.trebleBob && !options.named);
    options.all = true;

    FillRunner runner;
    ASSERT_TRUE(runner.start(*session.composition(), library, session.musicTable(), options));
    const auto result = runner.wait();
    ASSERT_TRUE(result.has_value());
    ASSERT_EQ(result->status, fill::FillStatus::Optimal);
    EXPECT_TRUE(runner.progress().complete);
    EXPECT_EQ(runner.progress().bestMusic, result->music);
    EXPECT_EQ(runner.progress().bound, result->music);
    EXPECT_TRUE(runner.progress().proved);

    // A candidate in the place-notation field stays the candidate tried.
    f.placeNotationText = session.composition()->leadAt(f.leadNumber)->notation();
    session.rebuildCandidate();
    ASSERT_NE(session.candidate(), nullptr);

    ASSERT_TRUE(session.takeFill(result->methods));
    ASSERT_NE(session.candidate(), nullptr);
    EXPECT_EQ(session.composition()->leadAt(f.leadNumber)->trial(), session.candidate());
    for (int n = 1; n <= static_cast<int>(session.composition()->leadCount()); ++n)
        EXPECT_NE(session.composition()->committedMethodAt(n), nullptr) << n;
    EXPECT_EQ(f.totalMusic, result->music);
}

TEST(FillRunnerTest, TheBestMusicLineSaysHowFarTheBoundIsAbove) {
    auto check = [](bool haveFill, long long best, bool haveBound, long long bound, const std::string& expected) {
        SCOPED_TRACE(expected);
        EXPECT_EQ(bestMusicText(haveFill, best, haveBound, bound), expected);
    };
    check(true, 423, true, 443, "423, at most 443 possible (within 4.5 %)");
    check(true, 418, true, 436, "418, at most 436 possible (within 4.1 %)");
    check(true, 1, true, 3, "1, at most 3 possible (within 66.7 %)");
    // Reached: nothing to gain.
    check(true, 236, true, 236, "236, the most possible");
    // No fill yet, or nothing known of the bound.
    check(false, 0, true, 443, "-, at most 443 possible");
    check(false, 0, false, 0, "-");
    check(true, 236, false, 0, "236");
}

}  // namespace
}  // namespace quarnel
