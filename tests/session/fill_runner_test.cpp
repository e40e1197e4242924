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

}  // namespace
}  // namespace quarnel
