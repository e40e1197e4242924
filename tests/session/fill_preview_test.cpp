#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "composition/composition.h"
#include "methods/method_library.h"
#include "ringing/part_end.h"
#include "session/composer_session.h"
#include "session/fill_preview.h"
#include "session/fill_runner.h"
#include "session/headless_view.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

std::string saveTextOf(const Composition& c) {
    std::ostringstream out;
    c.save(out);
    return out.str();
}

TEST(FillPreviewTest, ThePreviewIsWhatTakeMakesOfTheCompositionAndLeavesItAsItWas) {
    MethodLibrary library;
    ASSERT_EQ(readLibraryFiles(library, test::standardMethodsDir()), 3) << "method library missing: " << test::standardMethodsDir();
    std::ostringstream messages;
    HeadlessView view(messages);
    ComposerSession session(view, library);
    ASSERT_TRUE(session.loadMusicFile(test::testDataDir() + "/major-classic.mus"));
    // Two empty leads of three parts, each of a part end of its own.
    const std::string path = testing::TempDir() + "quarnel-fill-preview.txt";
    {
        std::ofstream plan(path);
        plan << "B-\nC \n";
    }
    ASSERT_TRUE(session.loadFile(path));
    const std::string before = session.saveText();
    const PartEnd partEndBefore = session.composition()->partEnd();

    FillRunner runner;
    ASSERT_TRUE(runner.start(*session.composition(), library, session.musicTable(), fillOptionsOf(session.fields())));
    const auto result = runner.wait();
    ASSERT_TRUE(result.has_value());
    ASSERT_EQ(result->status, fill::FillStatus::Optimal);
    ASSERT_EQ(result->methods.size(), 2u);

    const std::unique_ptr<Composition> preview = previewComposition(*session.composition(), library, *result);
    ASSERT_NE(preview, nullptr);
    for (const auto& [lead, notation] : result->methods) {
        SCOPED_TRACE(lead);
        ASSERT_NE(preview->committedMethodAt(lead), nullptr);
        EXPECT_EQ(preview->committedMethodAt(lead)->notationText(), notation);
        EXPECT_EQ(session.composition()->committedMethodAt(lead), nullptr);
    }
    EXPECT_EQ(session.saveText(), before);
    EXPECT_EQ(session.composition()->partEnd(), partEndBefore);
    EXPECT_EQ(preview->partEnd(), partEndBefore);
    MusicTable music = *session.musicTable();
    EXPECT_EQ(preview->musicScore(0, music, false), result->music);

    ASSERT_TRUE(session.takeFill(result->methods));
    EXPECT_EQ(session.saveText(), saveTextOf(*preview));
}

TEST(FillPreviewTest, AResultWithoutMethodsHasNoPreview) {
    MethodLibrary library;
    ASSERT_EQ(readLibraryFiles(library, test::standardMethodsDir()), 3) << "method library missing: " << test::standardMethodsDir();
    std::istringstream in("B- Cambridge S\nC  Adelaide S\n");
    const std::unique_ptr<Composition> live = readComposition(in, 16, library);
    const auto check = [&](fill::FillStatus status) {
        SCOPED_TRACE(static_cast<int>(status));
        fill::FillResult result;
        result.status = status;
        EXPECT_EQ(previewComposition(*live, library, result), nullptr);
    };
    check(fill::FillStatus::NoTrueFill);
    check(fill::FillStatus::NoFillWithinLimits);
    check(fill::FillStatus::ImpossibleLead);
}

}  // namespace
}  // namespace quarnel
