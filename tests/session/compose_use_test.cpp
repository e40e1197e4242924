#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <fstream>
#include <sstream>

#include "compose/compose.h"
#include "composition/composition.h"
#include "methods/method_library.h"
#include "session/compose_choices.h"
#include "session/composer_session.h"
#include "session/headless_view.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

// Answers the question about unsaved changes from a script and keeps every
// change the session hands over to be undone.
class RecordingView : public HeadlessView {
public:
    explicit RecordingView(std::ostream& messages) : HeadlessView(messages) {}
    SaveChoice askSaveChanges(const std::string& question) override {
        questions.push_back(question);
        return answer;
    }
    void recordChange(const CompositionChange& change) override { changes.push_back(change); }
    SaveChoice answer = SaveChoice::Cancel;
    std::vector<std::string> questions;
    std::vector<CompositionChange> changes;
};

// The file texts of the best touches of Cambridge and Yorkshire of 14 to 16
// leads, as the engine finds them.
std::vector<std::string> composedTexts(const MethodLibrary& library) {
    ComposeChoices choices;
    choices.constraints.methods = {"Cambridge S", "Yorkshire S"};
    choices.length = "448-512";
    choices.count = 3;
    std::string why;
    const auto options = composeOptionsOf(DialogFields{}, choices, why);
    EXPECT_TRUE(options.has_value()) << why;
    const compose::ComposeProblem problem = compose::ComposeProblem::build(library, *options);
    const std::atomic<bool> stop{false};
    const compose::ComposeResult result = compose::runCompose(problem, *options, stop, [](const compose::ComposeProgress&) {});
    std::vector<std::string> texts;
    for (const auto& f : result.compositions) texts.push_back(f.fileText);
    return texts;
}

// What the session holds before the Use.
enum class Before { Nothing, Loaded, Edited };

struct UseCase {
    const char* name;
    Before before;
    SessionView::SaveChoice answer;  // the composer's answer to the question
    bool used;
};

TEST(ComposeUseTest, UseMakesTheComposedTextTheCompositionAsOneChangeThatUndoes) {
    const MethodLibrary& library = test::libraryIn(test::standardMethodsDir());
    const std::vector<std::string> texts = composedTexts(library);
    ASSERT_GE(texts.size(), 2u);
    const UseCase cases[] = {
        {"no composition", Before::Nothing, SessionView::SaveChoice::Cancel, true},
        {"no unsaved changes: no question", Before::Loaded, SessionView::SaveChoice::Cancel, true},
        {"unsaved, discarded", Before::Edited, SessionView::SaveChoice::Discard, true},
        {"unsaved, cancelled", Before::Edited, SessionView::SaveChoice::Cancel, false},
    };
    for (const UseCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::ostringstream messages;
        RecordingView view(messages);
        ComposerSession session(view, library);
        if (c.before != Before::Nothing) {
            // Another composition, loaded from its file.
            const std::string path = testing::TempDir() + "quarnel-compose-use.txt";
            {
                std::ofstream file(path, std::ios::binary);
                file << texts[1];
            }
            ASSERT_TRUE(session.loadFile(path));
        }
        if (c.before == Before::Edited) {
            ASSERT_TRUE(session.setCall(Call::Single));
        }
        view.changes.clear();
        const std::string before = session.saveText();
        view.answer = c.answer;

        messages.str(std::string());
        EXPECT_EQ(session.useComposition(texts[0]), c.used);
        EXPECT_EQ(view.questions.size(), c.before == Before::Edited ? 1u : 0u);
        if (!c.used) {
            EXPECT_EQ(session.saveText(), before);
            EXPECT_TRUE(view.changes.empty());
            continue;
        }
        EXPECT_EQ(session.saveText(), texts[0]);
        EXPECT_TRUE(session.hasUnsavedChanges());
        EXPECT_EQ(session.fields().leadNumber, 1);
        ASSERT_EQ(view.changes.size(), 1u);
        const CompositionChange& change = view.changes.front();
        EXPECT_EQ(change.label, "Compose");
        ASSERT_EQ(change.kind, CompositionChange::Kind::Load);
        EXPECT_EQ(change.loadBefore.loaded, c.before != Before::Nothing);
        session.restoreLoad(change.loadBefore);
        EXPECT_EQ(session.saveText(), before);
        EXPECT_EQ(session.composition() != nullptr, c.before != Before::Nothing);
        session.restoreLoad(change.loadAfter);
        EXPECT_EQ(session.saveText(), texts[0]);
        EXPECT_TRUE(messages.str().empty()) << messages.str();
    }
}

TEST(ComposeUseTest, ATextThatDoesNotReadIsRefusedWithAMessageBeforeAnyQuestion) {
    const MethodLibrary& library = test::libraryIn(test::standardMethodsDir());
    const std::vector<std::string> texts = composedTexts(library);
    ASSERT_FALSE(texts.empty());
    const char* unreadable[] = {"", "B- Nosuchmethod S\nQ? \n"};
    for (const char* text : unreadable) {
        SCOPED_TRACE(text);
        std::ostringstream messages;
        RecordingView view(messages);
        ComposerSession session(view, library);
        ASSERT_TRUE(session.useComposition(texts[0]));
        ASSERT_TRUE(session.setCall(Call::Single));
        const std::string before = session.saveText();
        view.changes.clear();
        view.answer = SessionView::SaveChoice::Discard;
        EXPECT_FALSE(session.useComposition(text));
        EXPECT_EQ(session.saveText(), before);
        EXPECT_TRUE(view.questions.empty());
        EXPECT_TRUE(view.changes.empty());
        EXPECT_NE(messages.str().find("Compose: the composition was not used"), std::string::npos) << messages.str();
    }
}

}  // namespace
}  // namespace quarnel
