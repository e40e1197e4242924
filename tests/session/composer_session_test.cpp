#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "composition/plan_edit.h"
#include "session/composer_session.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

// A window that records what the session shows and answers from a script.
class RecordingView : public SessionView {
public:
    std::deque<std::optional<std::string>> files;
    std::deque<bool> answers;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    int writes = 0;
    int waits = 0;
    int steps = 0;
    int stopAfter = -1;  // searchStep answers true from this step on
    const Composition* composition = nullptr;
    const Method* committed = nullptr;
    const Method* candidate = nullptr;
    int currentLead = 0;
    std::pair<int, int> range{0, 0};

    void readControls(DialogFields&) override {}
    void writeControls(const DialogFields&) override { ++writes; }
    std::deque<SaveChoice> saveChoices;
    std::vector<std::string> titles;
    std::vector<CompositionChange> changes;
    int compositionChanges = 0;
    std::vector<MessageKind> kinds;

    std::optional<std::string> chooseFile(FileDialog, std::string_view, const std::string&, std::string_view title) override {
        titles.emplace_back(title);
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    void showMessage(const std::string& text, MessageKind kind) override {
        messages.push_back(text);
        kinds.push_back(kind);
    }
    SaveChoice askSaveChanges(const std::string& question) override {
        questions.push_back(question);
        if (saveChoices.empty()) return SaveChoice::Cancel;
        const SaveChoice c = saveChoices.front();
        saveChoices.pop_front();
        return c;
    }
    void compositionChanged() override { ++compositionChanges; }
    void recordChange(const CompositionChange& change) override { changes.push_back(change); }
    bool confirm(const std::string& text) override {
        questions.push_back(text);
        const bool a = !answers.empty() && answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
    void beginWait() override { ++waits; }
    void endWait() override { --waits; }
    void showComposition(const Composition* c) override { composition = c; }
    void showCurrentLead(int lead) override { currentLead = lead; }
    void showCommittedMethod(const Method* m) override { committed = m; }
    void showCandidate(const Method* m) override { candidate = m; }
    void setLeadRange(int low, int high) override { range = {low, high}; }
    bool searchStep() override { return stopAfter >= 0 && ++steps >= stopAfter; }
};

class ComposerSessionTest : public ::testing::Test {
protected:
    RecordingView view;
    MajorMethodGenerator generator;
    ComposerSession session{view, test::starterLibrary(), generator};
    DialogFields& f = session.fields();

    void loadSample() { ASSERT_TRUE(session.loadFile(test::repoDataDir() + "/quarnel.txt")); }
};

TEST_F(ComposerSessionTest, StartsWithTheDefaults) {
    EXPECT_EQ(f.leadNumber, 1);
    EXPECT_EQ(f.leadHeadCodeText, "*");
    EXPECT_TRUE(f.allowSurprise);
    EXPECT_FALSE(f.allowDelight || f.allowTrebleBob || f.namedOnly || f.rightPlace || f.twoPlaces || f.symmetricSections);
    EXPECT_EQ(f.maxFalseness, 0);
    EXPECT_EQ(f.viewChoice, 0);
    EXPECT_EQ(session.compositionFileName(), "quarnel.txt");
    EXPECT_EQ(session.exportFileName(), "peal.txt");
    EXPECT_EQ(session.microSirilFileName(), "quarnel.maj");
    EXPECT_EQ(session.searchCandidates(false, false), 0);  // no composition
}

TEST_F(ComposerSessionTest, StatusTellsWhetherTheCandidateFits) {
    session.rebuildCandidate();
    EXPECT_EQ(f.statusText, "No place notation available\r\n");
    f.methodName = "Cambridge S";
    session.nameChanged();
    EXPECT_EQ(f.placeNotationText, "b&-3-4-25-36-4-5-6-7");
    EXPECT_EQ(f.statusText, "Incompatible lead-head order\r\n");  // the code is "*" without a composition
    ASSERT_NE(view.candidate, nullptr);
    loadSample();
    f.leadNumber = 1;
    f.methodName = "Ipswich S";
    session.nameChanged();
    EXPECT_EQ(f.statusText, "Lead-head match\r\nNo falseness detected\r\n");
    EXPECT_EQ(view.committed, session.composition()->committedMethodAt(1));
    f.methodName = "Ipswic";
    session.nameChanged();
    EXPECT_EQ(f.placeNotationText, "");
    EXPECT_EQ(session.candidate(), nullptr);
}

// Place notation typed or pasted into the name field is the candidate, and
// the field shows the library's name for it when there is one.
TEST_F(ComposerSessionTest, NotationTypedAsANameIsTheCandidate) {
    const std::pair<const char*, const char*> named[] = {
        {"-38-14-1258-36-14-58-16-78,12", "Cambridge S"},
        {"x38x14x1258x36x14x58x16x78,12", "Cambridge S"},
        {"&x3x4x25x36x4x5x6x7,2", "Cambridge S"},
        {"b&-3-4-25-36-4-5-6-7", "Cambridge S"},
        {"b&x3.x4x25x36x4x5x6x7", "Cambridge S"},
        // A method no library holds keeps what was typed.
        {"-38-14-1258-36-14-58-16-78,18", "-38-14-1258-36-14-58-16-78,18"},
    };
    for (const auto& [typed, shown] : named) {
        SCOPED_TRACE(typed);
        f.methodName = typed;
        session.nameChanged();
        // While it is typed the field keeps the text; Enter names it.
        EXPECT_EQ(f.methodName, typed);
        session.applyName();
        EXPECT_EQ(f.methodName, shown);
        ASSERT_NE(session.candidate(), nullptr);
        EXPECT_EQ(session.candidate()->notationText(), f.placeNotationText);
        EXPECT_EQ(f.placeNotationText.substr(2), "-3-4-25-36-4-5-6-7");
        EXPECT_EQ(f.statusText, "Incompatible lead-head order\r\n");  // the code is "*" without a composition
    }
    // Notation that does not read: no candidate, and the reason beside the status.
    const std::pair<const char*, const char*> bad[] = {
        {"-38-14-1258-36-14-58-16-78,14",
         "No place notation available\r\nThe rows reach the lead head 13578264, which is none of the twelve lead-head codes\r\n"},
        {"x38x14x1258..x36x14x58x16x78,12", "No place notation available\r\nTwo dots together leave an empty change\r\n"},
        {"b&-3-4-25-36-4-5-6-", "No place notation available\r\n15 changes in the half lead; a Major half lead has 16\r\n"},
        // A name keeps the name's note.
        {"Nonesuch", "No place notation available\r\nNo method named \"Nonesuch\"\r\n"},
    };
    for (const auto& [typed, status] : bad) {
        SCOPED_TRACE(typed);
        f.methodName = typed;
        session.nameChanged();
        EXPECT_EQ(f.methodName, typed);
        EXPECT_EQ(f.placeNotationText, "");
        EXPECT_EQ(session.candidate(), nullptr);
        EXPECT_EQ(f.statusText, status);
    }
}

TEST_F(ComposerSessionTest, LoadSetsTheRangeAndKeepsTheLeadNumber) {
    f.leadNumber = 12;
    loadSample();
    EXPECT_EQ(view.range, std::make_pair(8, 1));
    EXPECT_EQ(view.composition, session.composition());
    EXPECT_EQ(f.leadHeadCodeText, "*");
    EXPECT_EQ(view.committed, nullptr);
    EXPECT_EQ(f.leadMusic, 0);
    EXPECT_EQ(session.searchCandidates(false, false), 0);
    EXPECT_EQ(f.statusText, "Bad lead end group\r\n");
    EXPECT_EQ(view.waits, 0);
}

TEST_F(ComposerSessionTest, ASearchTellsHowItEndedAsAValue) {
    loadSample();
    f.leadNumber = 12;  // past the last lead: no code to search
    session.leadChanged();
    const SearchResult none = session.search(false, false);
    EXPECT_EQ(none.end, SearchEnd::BadLeadEndGroup);
    EXPECT_EQ(none.failure, "Bad lead end group");
    EXPECT_EQ(none.tried, 0);
    f.leadNumber = 3;
    session.leadChanged();
    const SearchResult found = session.search(false, false);
    EXPECT_EQ(found.end, SearchEnd::Searched);
    EXPECT_EQ(found.failure, "");
    EXPECT_GE(found.tried, 1);
}

TEST_F(ComposerSessionTest, ACompositionReadElsewhereLoadsAsLoadWouldLoadIt) {
    std::ifstream in(test::repoDataDir() + "/quarnel.txt", std::ios::binary);
    session.loadComposition(readComposition(in, MajorMethod::HalfLength, MethodLibrary::instance()));
    ASSERT_NE(session.composition(), nullptr);
    EXPECT_EQ(view.range, std::make_pair(8, 1));
    EXPECT_EQ(view.composition, session.composition());
    EXPECT_FALSE(session.hasUnsavedChanges());
}

TEST_F(ComposerSessionTest, MusicBeforeLoadAndAfter) {
    ASSERT_TRUE(session.loadMusicFile(test::repoDataDir() + "/major.mus"));
    EXPECT_EQ(f.totalMusic, 0);
    loadSample();
    EXPECT_GT(f.totalMusic, 0);
    std::istringstream musicFile(test::readFile(test::repoDataDir() + "/major.mus"));
    MusicTable table = MusicTable::read(musicFile);
    EXPECT_EQ(f.totalMusic, session.composition()->musicScore(0, table, false));
    EXPECT_EQ(f.leadMusic, session.composition()->musicScore(1, table, false));
    f.methodName = "Ipswich S";
    session.nameChanged();
    EXPECT_EQ(f.candidateMusic, f.leadMusic);  // the lead's own method
}

TEST_F(ComposerSessionTest, NextFindsACandidateWithinMaxFalseness) {
    loadSample();
    f.leadNumber = 3;
    session.leadChanged();
    const long tried = session.searchCandidates(false, false);
    EXPECT_GE(tried, 1);
    EXPECT_EQ(f.placeNotationText[0], 'c');
    EXPECT_LE(session.composition()->falsenessScore(), 0);
    EXPECT_EQ(view.waits, 0);
    ASSERT_NE(session.candidate(), nullptr);
    EXPECT_EQ(session.candidate()->notationText(), f.placeNotationText);
    EXPECT_EQ(view.candidate, session.candidate());
    const std::string first = f.placeNotationText;
    session.searchCandidates(false, false);
    EXPECT_NE(f.placeNotationText, first);
    session.clear();
    session.searchCandidates(false, false);
    EXPECT_EQ(f.placeNotationText, first);
}

TEST_F(ComposerSessionTest, SearchesThatCannotSucceedRunOutAndEmptyTheFields) {
    loadSample();
    f.leadNumber = 3;
    f.maxFalseness = -1;  // nothing is ever within it
    session.leadChanged();
    const long tried = session.searchCandidates(false, false);
    EXPECT_GT(tried, 1);
    EXPECT_EQ(f.placeNotationText, "");
    EXPECT_EQ(f.methodName, "");
    EXPECT_EQ(session.candidate(), nullptr);
    // The named path with no method of the code in the library ends at once.
    f.maxFalseness = 0;
    f.namedOnly = true;
    f.allowSurprise = false;
    f.allowTrebleBob = true;  // the starter library has no Treble Bob method of code C
    EXPECT_EQ(session.searchCandidates(false, false), 1);
    EXPECT_EQ(f.placeNotationText, "");
}

TEST_F(ComposerSessionTest, NamedSearchWalksTheLibrary) {
    loadSample();
    f.leadNumber = 3;
    f.namedOnly = true;
    session.leadChanged();
    session.searchCandidates(false, false);
    EXPECT_EQ(f.methodName.empty(), f.placeNotationText.empty());
    if (!f.placeNotationText.empty()) {
        EXPECT_EQ(f.placeNotationText[0], 'c');
        EXPECT_EQ(f.methodName.back(), 'S');
    }
}

TEST_F(ComposerSessionTest, MatchWithoutMusicIsNext) {
    loadSample();
    f.leadNumber = 5;
    session.leadChanged();
    session.searchCandidates(false, true);
    const std::string viaMatch = f.placeNotationText;
    session.clear();
    session.searchCandidates(false, false);
    EXPECT_EQ(f.placeNotationText, viaMatch);
    ASSERT_TRUE(session.loadMusicFile(test::repoDataDir() + "/major.mus"));
    session.searchCandidates(false, true);
    EXPECT_GE(f.candidateMusic, f.leadMusic);
}

TEST_F(ComposerSessionTest, AnInterruptedSearchLeavesTheLastCandidate) {
    loadSample();
    f.leadNumber = 3;
    f.maxFalseness = -1;
    session.leadChanged();
    view.stopAfter = 3;
    EXPECT_EQ(session.searchCandidates(false, false), 3);
    ASSERT_FALSE(f.placeNotationText.empty());
    EXPECT_EQ(session.candidate()->notationText(), f.placeNotationText);
    EXPECT_FALSE(session.searching());
}

TEST_F(ComposerSessionTest, OkCommitsAfterAskingAboutEveryClash) {
    loadSample();
    f.leadNumber = 3;
    f.maxFalseness = 3;
    session.leadChanged();
    std::vector<int> clashes;
    for (int i = 0; i < 3000 && clashes.size() < 2; ++i) {
        session.searchCandidates(false, false);
        clashes.clear();
        for (int lead = 1; lead <= 8; ++lead)
            if (!session.composition()->notFalseAgainst(lead)) clashes.push_back(lead);
        if (!session.composition()->notFalseAgainst(0)) clashes.clear();
    }
    ASSERT_GE(clashes.size(), 2u);
    view.answers = {true, false};
    session.ok();
    ASSERT_EQ(view.questions.size(), 2u);
    EXPECT_EQ(view.questions[0], deleteLeadQuestion(clashes[0]));
    for (int lead : clashes) EXPECT_NE(session.composition()->committedMethodAt(lead), nullptr);
    view.questions.clear();
    view.answers.assign(clashes.size(), true);
    session.ok();
    EXPECT_EQ(view.questions.size(), clashes.size());
    for (int lead : clashes) EXPECT_EQ(session.composition()->committedMethodAt(lead), nullptr);
    ASSERT_NE(session.composition()->committedMethodAt(3), nullptr);
    EXPECT_EQ(session.composition()->committedMethodAt(3)->notationText(), f.placeNotationText);
    EXPECT_EQ(f.statusText, "Lead-head match\r\nNo falseness detected\r\n");
}

TEST_F(ComposerSessionTest, OkRefusesCandidatesOfAnotherCode) {
    loadSample();
    f.leadNumber = 3;
    f.methodName = "Cambridge S";
    session.nameChanged();
    const auto rows = session.composition()->falseRows().entries();
    session.ok();
    EXPECT_TRUE(view.questions.empty());
    EXPECT_EQ(session.composition()->falseRows().entries(), rows);
    EXPECT_EQ(session.composition()->leadAt(3)->name(), "Cassiobury S");
}

TEST_F(ComposerSessionTest, LeadChangeCarriesOnlyANamedCandidate) {
    loadSample();
    f.methodName = "Ipswich S";
    session.nameChanged();
    f.leadNumber = 2;
    session.leadChanged();
    EXPECT_EQ(f.placeNotationText, "d&-3-4-5-36-34-5-6-3");
    EXPECT_EQ(f.statusText, "Incompatible lead-head order\r\n");
    EXPECT_EQ(f.leadHeadCodeText, "L");
    session.searchCandidates(false, false);
    f.methodName.clear();
    f.leadNumber = 3;
    session.leadChanged();
    EXPECT_EQ(f.placeNotationText, "");
    EXPECT_EQ(session.candidate(), nullptr);
    EXPECT_EQ(view.currentLead, 3);
}

TEST_F(ComposerSessionTest, FileCommandsWriteWholeFilesOrSaySo) {
    const auto dir = std::filesystem::temp_directory_path() / ("quarnel-session-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(dir);
    const std::string saved = (dir / "saved.txt").string();
    { std::ofstream(saved) << "old content\n"; }
    view.files = {saved};
    session.save();  // no composition: the file is emptied
    EXPECT_EQ(test::readFile(saved), "");
    loadSample();
    view.files = {saved};
    session.save();
    EXPECT_EQ(test::readFile(saved), test::readFile(test::repoDataDir() + "/quarnel.txt"));
    EXPECT_EQ(session.compositionFileName(), saved);
    view.files = {(dir / "missing" / "x.maj").string()};
    session.exportMicroSiril();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].find("x.maj"), std::string::npos);
    view.files = {std::nullopt};
    session.exportText();
    EXPECT_EQ(session.exportFileName(), "peal.txt");
    std::filesystem::remove_all(dir);
}

TEST_F(ComposerSessionTest, FailedLoadLeavesNoComposition) {
    loadSample();
    EXPECT_FALSE(session.loadFile(test::testDataDir() + "/false_lead_heads.txt"));
    EXPECT_EQ(view.messages.back(), "Load abandoned: Attempt to insert false row (line 2: lead head 15738264 repeats)");
    EXPECT_EQ(view.kinds.back(), SessionView::MessageKind::Error);
    EXPECT_EQ(session.composition(), nullptr);
    EXPECT_EQ(view.composition, nullptr);
    EXPECT_FALSE(session.loadFile("/nonexistent/file.txt"));
    EXPECT_EQ(view.messages.size(), 2u);
}

TEST_F(ComposerSessionTest, SearchesSayHowTheyEnded) {
    loadSample();
    f.leadNumber = 3;
    f.maxFalseness = -1;
    session.leadChanged();
    session.searchCandidates(false, false);
    EXPECT_EQ(f.statusText, "No place notation available\r\nNo further candidate\r\n");
    view.stopAfter = 3;
    session.searchCandidates(false, false);
    EXPECT_EQ(f.statusText.substr(f.statusText.rfind("\r\n", f.statusText.size() - 3) + 2), "Search stopped after 3 candidates\r\n");
}

TEST_F(ComposerSessionTest, TypedNamesFindTheLibraryMethod) {
    loadSample();
    const auto check = [&](const char* typed, const std::string& notation, const std::string& note) {
        SCOPED_TRACE(typed);
        f.methodName = typed;
        session.nameChanged();
        EXPECT_EQ(f.placeNotationText, notation);
        EXPECT_EQ(f.methodName, typed);  // while typing the text stays as typed
        const bool noted = f.statusText.size() >= note.size() + 2 &&
                           f.statusText.compare(f.statusText.size() - note.size() - 2, note.size(), note) == 0;
        EXPECT_TRUE(note.empty() || noted) << f.statusText;
    };
    check("cambridge s", "b&-3-4-25-36-4-5-6-7", "");
    check("Cambridge Surprise", "b&-3-4-25-36-4-5-6-7", "");
    check("Cooktown Orchid D", "a&-3-4-256-1-2-5-6-7", "");
    check("Cambridg", "", "No method named \"Cambridg\"");
    f.methodName = "cambridge";
    session.applyName();
    EXPECT_EQ(f.methodName, "Cambridge S");
}

TEST_F(ComposerSessionTest, UnsavedChangesAreWhatSaveWouldWriteDifferently) {
    EXPECT_FALSE(session.hasUnsavedChanges());
    loadSample();
    EXPECT_FALSE(session.hasUnsavedChanges());
    EXPECT_EQ(view.changes.size(), 1u);  // the Load
    // A search changes no committed method.
    f.leadNumber = 3;
    f.maxFalseness = 3;
    session.leadChanged();
    session.searchCandidates(false, false);
    EXPECT_FALSE(session.hasUnsavedChanges());
    const MethodsSnapshot before = session.snapshotMethods();
    const_cast<Composition*>(session.composition())->setMethodAt(2, false);
    session.recordMethodsChange("Fill", before);
    EXPECT_TRUE(session.hasUnsavedChanges());
    ASSERT_EQ(view.changes.size(), 2u);
    EXPECT_EQ(view.changes.back().label, "Fill");
    // Putting the method back is no change any more.
    session.restoreMethods(before);
    EXPECT_FALSE(session.hasUnsavedChanges());
    // Saved, the present text is the saved one.
    const std::string path = ::testing::TempDir() + "/session_saved.txt";
    session.restoreMethods(view.changes.back().methodsAfter);
    EXPECT_TRUE(session.hasUnsavedChanges());
    view.files = {path};
    session.save();
    EXPECT_FALSE(session.hasUnsavedChanges());
    EXPECT_EQ(view.titles.back(), "Save composition");
}

TEST_F(ComposerSessionTest, UndoingOkRestoresTheClearedLeadsExactly) {
    loadSample();
    const std::string original = session.saveText();
    const auto originalRows = session.composition()->falseRows().entries();
    f.leadNumber = 3;
    f.maxFalseness = 3;
    session.leadChanged();
    for (int i = 0; i < 3000 && session.composition()->falsenessScore() < 2; ++i) session.searchCandidates(false, false);
    ASSERT_GE(session.composition()->falsenessScore(), 2);
    ASSERT_TRUE(session.composition()->notFalseAgainst(0));
    view.answers.assign(8, true);
    session.ok();
    ASSERT_EQ(view.changes.size(), 2u);
    const CompositionChange change = view.changes.back();
    EXPECT_EQ(change.label, "OK");
    const std::string afterOk = session.saveText();
    EXPECT_NE(afterOk, original);
    session.restoreMethods(change.methodsBefore);
    EXPECT_EQ(session.saveText(), original);
    EXPECT_EQ(session.composition()->falseRows().entries(), originalRows);
    session.restoreMethods(change.methodsAfter);
    EXPECT_EQ(session.saveText(), afterOk);
}

TEST_F(ComposerSessionTest, LoadAsksFirstAndCanBeUndone) {
    loadSample();
    const_cast<Composition*>(session.composition())->setMethodAt(1, false);
    ASSERT_TRUE(session.hasUnsavedChanges());
    const std::string changed = session.saveText();
    // Cancel: nothing happens, not even the file dialog.
    view.saveChoices = {SessionView::SaveChoice::Cancel};
    session.load();
    EXPECT_EQ(view.questions, std::vector<std::string>{"Save changes to the composition?"});
    EXPECT_TRUE(view.titles.empty());
    // Discard: the file dialog, then the other composition.
    view.saveChoices = {SessionView::SaveChoice::Discard};
    view.files = {test::testDataDir() + "/two_leads_three_parts.txt"};
    session.load();
    EXPECT_EQ(view.titles, std::vector<std::string>{"Open composition"});
    EXPECT_EQ(session.composition()->leadCount(), 2u);
    EXPECT_EQ(session.composition()->partCount(), 3);
    EXPECT_FALSE(session.hasUnsavedChanges());
    ASSERT_EQ(view.changes.back().kind, CompositionChange::Kind::Load);
    // Undone, the previous composition comes back as it was, unsaved.
    session.restoreLoad(view.changes.back().loadBefore);
    EXPECT_EQ(session.saveText(), changed);
    EXPECT_EQ(session.composition()->partCount(), 5);
    EXPECT_EQ(session.compositionFileName(), test::repoDataDir() + "/quarnel.txt");
    EXPECT_TRUE(session.hasUnsavedChanges());
}

TEST_F(ComposerSessionTest, AFileWithoutLeadLinesLeavesTheCompositionAlone) {
    loadSample();
    const Composition* before = session.composition();
    const auto rows = before->falseRows().entries();
    const std::string junk = ::testing::TempDir() + "/session_junk.txt";
    {
        std::ofstream out(junk, std::ios::binary);
        out << "# README\n\x7f\x01binary\n";
    }
    EXPECT_FALSE(session.loadFile(junk));
    EXPECT_EQ(view.messages.back(), "Load abandoned: no lead lines in " + junk);
    EXPECT_EQ(view.kinds.back(), SessionView::MessageKind::Error);
    EXPECT_EQ(session.composition(), before);
    EXPECT_EQ(session.compositionFileName(), test::repoDataDir() + "/quarnel.txt");  // Save still offers it
    EXPECT_EQ(session.composition()->partCount(), 5);
    // Its rows still prove against themselves under the part end they were keyed by.
    const MajorMethod same(session.composition()->committedMethodAt(1)->notationText(), test::starterLibrary());
    const_cast<Composition*>(session.composition())->tryMethodAt(1, &same);
    EXPECT_EQ(session.composition()->falsenessScore(), 0);
    EXPECT_EQ(session.composition()->falseRows().entries(), rows);
}

TEST_F(ComposerSessionTest, LoadTellsWhichLeadsLostTheirMethods) {
    const std::string path = ::testing::TempDir() + "/session_dropped.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "D- Ipswich S\nL  Cornwal S\nC  Cambridge S\nH- Essex S\nEs Cray S\nHs Essex S\nE  Cray S\nG  Glasgow S\n";
    }
    ASSERT_TRUE(session.loadFile(path));
    EXPECT_EQ(view.messages, std::vector<std::string>{"2 leads lost their methods:\n"
                                                      "Lead 2 (Cornwal S): not in the method library\n"
                                                      "Lead 3 (Cambridge S): of another lead-head code"});
    EXPECT_EQ(view.kinds.back(), SessionView::MessageKind::Warning);
    // Save would write something other than the file: the title's mark shows it.
    EXPECT_TRUE(session.hasUnsavedChanges());
}

TEST_F(ComposerSessionTest, ASaveThatFailsKeepsTheDocumentsName) {
    loadSample();
    const std::string name = session.compositionFileName();
    view.files = {::testing::TempDir() + "/no such folder/quarnel.txt"};
    session.save();
    EXPECT_EQ(view.messages.back().rfind("Cannot write", 0), 0u);
    EXPECT_EQ(session.compositionFileName(), name);
}

// ---- plan edits ----

// Each edit is one undoable change whose before and after are the whole
// composition: undoing it gives back exactly the text (codes, calls and
// methods), the lead heads and the music there were.
TEST_F(ComposerSessionTest, EveryPlanEditIsOneChangeThatUndoesExactly) {
    ASSERT_TRUE(session.loadMusicFile(test::repoDataDir() + "/major.mus"));
    ASSERT_TRUE(session.newComposition("Cambridge"));
    ASSERT_EQ(session.composition()->leadCount(), 7u);
    EXPECT_EQ(session.composition()->partCount(), 1);
    const std::string course = session.saveText();
    EXPECT_EQ(test::lines(course).front(), "B  Cambridge S");
    const int music = f.totalMusic;
    EXPECT_GT(music, 0);
    const auto check = [&](const char* label, auto edit) {
        SCOPED_TRACE(label);
        const std::size_t changes = view.changes.size();
        const std::string before = session.saveText();
        const std::vector<Row> heads = session.composition()->plan().leadHeads();
        const int total = f.totalMusic;
        ASSERT_TRUE(edit());
        ASSERT_EQ(view.changes.size(), changes + 1);
        EXPECT_EQ(view.changes.back().label, label);
        EXPECT_TRUE(session.hasUnsavedChanges());
        EXPECT_NE(session.saveText(), before);
        session.restoreLoad(view.changes.back().loadBefore);
        EXPECT_EQ(session.saveText(), before);
        EXPECT_EQ(session.composition()->plan().leadHeads(), heads);
        EXPECT_EQ(f.totalMusic, total);
        session.restoreLoad(view.changes.back().loadAfter);
    };
    f.leadNumber = 3;
    check("Bob", [&] { return session.setCall(Call::Bob); });
    check("Single", [&] { return session.setCall(Call::Single); });
    check("Plain", [&] { return session.setCall(Call::Plain); });
    // A bob added then removed gives the plan back, and with it the methods
    // of leads 3 and 6, which were false (and held aside) under the single.
    EXPECT_EQ(session.saveText(), course);
    EXPECT_EQ(f.totalMusic, music);
    check("Code F", [&] { return session.setCode('f'); });
    // Nothing to change is no change.
    EXPECT_FALSE(session.setCode('F'));
    EXPECT_FALSE(session.setCode('I'));
    EXPECT_FALSE(session.setCall(Call::Plain));
}

// Leads whose methods are no longer true after an edit lose them, in one
// message as Load gives; the rest keep theirs.
TEST_F(ComposerSessionTest, AnEditReportsTheLeadsThatLostTheirMethods) {
    ASSERT_TRUE(session.newComposition("Cambridge"));
    f.leadNumber = 3;
    ASSERT_TRUE(session.setCall(Call::Bob));
    EXPECT_TRUE(view.messages.empty());  // every method still true
    ASSERT_TRUE(session.setCall(Call::Single));
    EXPECT_EQ(view.messages, std::vector<std::string>{"2 leads lost their methods:\n"
                                                      "Lead 3 (Cambridge S): false against lead 1\n"
                                                      "Lead 6 (Cambridge S): false against lead 4\n"
                                                      "They are held aside, each coming back when an edit makes it true in "
                                                      "its lead again."});
    EXPECT_EQ(view.kinds.back(), SessionView::MessageKind::Warning);
    EXPECT_EQ(session.composition()->committedMethodAt(3), nullptr);
    EXPECT_NE(session.composition()->committedMethodAt(4), nullptr);
    EXPECT_GT(session.composition()->partCount(), 1);
    EXPECT_EQ(session.heldMethods(), (std::vector<std::string>{"", "", "Cambridge S", "", "", "Cambridge S", ""}));
    EXPECT_NE(f.statusText.find("Held aside until true here again: Cambridge S\r\n"), std::string::npos);
    // A later edit that leaves them false reports nothing new.
    f.leadNumber = 7;
    ASSERT_TRUE(session.setCall(Call::Bob));
    EXPECT_EQ(view.messages.size(), 1u);
}

// Methods held aside live in the session only: Save of a true plan that
// holds some asks first and names them; no leaves the file unwritten.
TEST_F(ComposerSessionTest, SaveAsksFirstWhenMethodsAreHeldAside) {
    ASSERT_TRUE(session.newComposition("Cambridge"));
    const std::string path = ::testing::TempDir() + "/session_held_methods.txt";
    std::filesystem::remove(path);
    view.files = {path};
    session.save();  // nothing held: no question
    EXPECT_TRUE(view.questions.empty());
    ASSERT_TRUE(std::filesystem::exists(path));
    std::filesystem::remove(path);
    f.leadNumber = 3;
    ASSERT_TRUE(session.setCall(Call::Single));
    ASSERT_FALSE(session.composition()->planIsFalse());
    EXPECT_EQ(session.heldNotSavedReason(), "Lead 3's Cambridge S and lead 6's Cambridge S are held aside and not saved");
    view.files = {path};
    view.answers = {false};
    session.save();
    EXPECT_EQ(view.questions.back(), session.heldNotSavedReason() + ". Save anyway?");
    EXPECT_FALSE(std::filesystem::exists(path));
    view.files = {path};
    view.answers = {true};
    session.save();
    EXPECT_TRUE(std::filesystem::exists(path));
}

// Lee's spliced 5024 (one part, its varied last part written out): every
// edit that loses methods (a false plan of an inserted lead, a call, a code)
// is mended by a later edit, and the composition is then exactly what it
// was: text, lead heads and music.
TEST_F(ComposerSessionTest, MethodsLostToAnEditComeBackWhenALaterEditMendsIt) {
    ASSERT_TRUE(session.loadMusicFile(test::repoDataDir() + "/major.mus"));
    std::string why;
    ASSERT_TRUE(session.applyCalling(test::readFile(test::testDataDir() + "/compositions/lee_5024_spliced.txt"), "Paste", why))
        << why;
    const std::string text = session.saveText();
    const std::vector<Row> heads = session.composition()->plan().leadHeads();
    const int music = f.totalMusic;
    const int leads = static_cast<int>(session.composition()->leadCount());
    ASSERT_EQ(leads, 157);
    ASSERT_EQ(session.composition()->partCount(), 1);
    // The first lead after which an inserted lead makes the plan false.
    int falseAfter = 0;
    for (int lead = 1; lead <= leads && falseAfter == 0; ++lead) {
        f.leadNumber = lead;
        ASSERT_TRUE(session.insertLead());
        if (session.composition()->planIsFalse()) falseAfter = lead;
        session.restoreLoad(view.changes.back().loadBefore);
    }
    ASSERT_GT(falseAfter, 0);
    const auto at = [&](int lead) { return [&, lead] { f.leadNumber = lead; }; };
    struct Case {
        const char* name;
        std::function<void()> go;
        std::function<bool()> spoil;
        std::function<void()> goBack;
        std::function<bool()> mend;
    };
    const Case cases[] = {
        {"a lead inserted, then deleted", at(falseAfter), [&] { return session.insertLead(); }, at(falseAfter + 1),
         [&] { return session.deleteLead(); }},
        {"a single, then the bob again", at(3), [&] { return session.setCall(Call::Single); }, at(3),
         [&] { return session.setCall(Call::Bob); }},
        {"code F, then code B again", at(2), [&] { return session.setCode('F'); }, at(2), [&] { return session.setCode('B'); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.go();
        ASSERT_TRUE(c.spoil());
        const std::vector<std::string>& held = session.heldMethods();
        const long heldCount = std::count_if(held.begin(), held.end(), [](const std::string& m) { return !m.empty(); });
        EXPECT_GT(heldCount, 0);
        // Held aside through an undo and a redo as well.
        const CompositionChange spoilt = view.changes.back();
        session.restoreLoad(spoilt.loadBefore);
        EXPECT_EQ(session.saveText(), text);
        session.restoreLoad(spoilt.loadAfter);
        EXPECT_EQ(session.heldMethods(), spoilt.loadAfter.held);
        c.goBack();
        ASSERT_TRUE(c.mend());
        EXPECT_FALSE(session.composition()->planIsFalse());
        EXPECT_EQ(session.saveText(), text);
        EXPECT_EQ(session.composition()->plan().leadHeads(), heads);
        EXPECT_EQ(f.totalMusic, music);
        EXPECT_EQ(session.heldMethods(), std::vector<std::string>(static_cast<std::size_t>(leads)));
    }
    // The false plan of the insert: the leads concerned hold their methods.
    f.leadNumber = falseAfter;
    ASSERT_TRUE(session.insertLead());
    ASSERT_TRUE(session.composition()->planIsFalse());
    for (const PlanRepeat& r : session.composition()->planRepeats()) {
        if (session.composition()->committedMethodAt(r.lead) == nullptr && r.lead != falseAfter + 1) {
            EXPECT_FALSE(session.heldMethods()[static_cast<std::size_t>(r.lead - 1)].empty()) << r.lead;
        }
    }
}

// A method put into a lead by OK (or a fill) replaces the one held there,
// and undoing the OK holds it again.
TEST_F(ComposerSessionTest, OkReplacesAHeldMethodAndItsUndoHoldsItAgain) {
    ASSERT_TRUE(session.newComposition("Cambridge"));
    f.leadNumber = 3;
    ASSERT_TRUE(session.setCall(Call::Single));
    ASSERT_EQ(session.heldMethods()[2], "Cambridge S");
    const MethodsSnapshot before = session.snapshotMethods();
    f.methodName = "Yorkshire S";
    session.nameChanged();
    view.answers = {true, true, true, true, true, true};
    session.ok();
    ASSERT_NE(session.composition()->committedMethodAt(3), nullptr);
    EXPECT_EQ(session.heldMethods()[2], "");
    session.restoreMethods(before);
    EXPECT_EQ(session.composition()->committedMethodAt(3), nullptr);
    EXPECT_EQ(session.heldMethods()[2], "Cambridge S");
}

// A method of another code is put in with its code after the question; OK
// still refuses it.
TEST_F(ComposerSessionTest, PutInWithItsCodeAsksAndMovesTheLaterLeadHeads) {
    ASSERT_TRUE(session.newComposition("Cambridge"));
    f.leadNumber = 5;
    f.methodName = "London S";
    session.nameChanged();
    EXPECT_EQ(f.statusText, "Incompatible lead-head order\r\n");
    const std::string before = session.saveText();
    session.ok();
    EXPECT_EQ(session.saveText(), before);
    view.answers = {false};
    EXPECT_FALSE(session.putInWithItsCode());
    EXPECT_EQ(view.questions.back(), "Lead 5 becomes code F: the lead heads of leads 6 to 7 move?");
    EXPECT_EQ(session.saveText(), before);
    view.answers = {true};
    ASSERT_TRUE(session.putInWithItsCode());
    EXPECT_EQ(test::lines(session.saveText())[4], "F  London S");
    EXPECT_EQ(session.composition()->codeAt(5)->letter(), 'F');
    ASSERT_NE(session.composition()->committedMethodAt(5), nullptr);
    EXPECT_EQ(view.changes.back().label, "Put in with its code");
    EXPECT_EQ(codeChangeQuestion(7, 7, *LeadHeadCode::fromLetter('F')), "Lead 7 becomes code F: the part end moves");
}

// New asks about unsaved changes first; an empty composition grows a lead at
// a time.
TEST_F(ComposerSessionTest, NewAsksAboutUnsavedChangesAndCanStartEmpty) {
    ASSERT_TRUE(session.newComposition("Cambridge"));
    view.saveChoices = {SessionView::SaveChoice::Cancel};
    EXPECT_FALSE(session.newComposition(""));
    EXPECT_EQ(view.questions.back(), kSaveChangesQuestion);
    EXPECT_EQ(session.composition()->leadCount(), 7u);
    view.saveChoices = {SessionView::SaveChoice::Discard};
    ASSERT_TRUE(session.newComposition(""));
    EXPECT_EQ(session.composition()->leadCount(), 0u);
    ASSERT_TRUE(session.insertLead());
    EXPECT_EQ(session.saveText(), "B \n");
    EXPECT_EQ(session.composition()->partCount(), 7);
    ASSERT_TRUE(session.deleteLead());
    EXPECT_EQ(session.saveText(), "");
    EXPECT_FALSE(session.newComposition("Not A Method"));
    EXPECT_EQ(view.messages.back(), "New: \"Not A Method\" is no method of the library and no place notation.");
    // Asked already (the window asks before the name): not asked again.
    ASSERT_TRUE(session.insertLead());
    ASSERT_TRUE(session.hasUnsavedChanges());
    const std::size_t asked = view.questions.size();
    ASSERT_TRUE(session.newComposition("Yorkshire", true));
    EXPECT_EQ(view.questions.size(), asked);
    EXPECT_EQ(test::lines(session.saveText()).front(), "B  Yorkshire S");
}

// An edit that makes lead heads repeat still applies: the plan is false,
// the status names the repeat, the searches, OK and Fill refuse it, Save
// asks, and the next edit mends it.
TEST_F(ComposerSessionTest, AnInsertThatMakesThePlanFalseIsShownAndMended) {
    ASSERT_TRUE(session.newComposition("Cambridge"));
    const std::string course = session.saveText();
    f.leadNumber = 3;
    ASSERT_TRUE(session.insertLead());
    EXPECT_EQ(f.leadNumber, 4);  // the new lead is the current one
    EXPECT_EQ(test::lines(session.saveText())[3], "B ");
    const Composition& c = *session.composition();
    ASSERT_TRUE(c.planIsFalse());
    // Eight leads of one code: each lead is lead 1 in another part.
    ASSERT_EQ(c.planRepeats().size(), 14u);
    EXPECT_EQ(c.planRepeats().front().describe(c.partCount()), "Lead 2's lead head 15738264 is lead 1's in part 2");
    EXPECT_EQ(c.planRepeats().back().describe(c.partCount()), "Lead 8's lead end 15372846 is lead 1's in part 1");
    EXPECT_EQ(f.statusText.rfind(session.falsePlanReason() + "\r\n", 0), 0u);
    EXPECT_EQ(session.falsePlanReason(), "The plan is false: Lead 2's lead head 15738264 is lead 1's in part 2; "
                                         "Lead 2's lead end 18765432 is lead 1's in part 2; "
                                         "Lead 3's lead head 18674523 is lead 1's in part 3; and 11 more");
    const std::string falseText = session.saveText();
    EXPECT_EQ(session.searchCandidates(false, false), 0);
    EXPECT_EQ(f.statusText, session.falsePlanReason() + "\r\n");
    f.methodName = "Cambridge S";
    session.nameChanged();
    session.ok();
    EXPECT_FALSE(session.takeFill({{4, "b&-3-4-25-36-4-5-6-7"}}));
    EXPECT_EQ(session.saveText(), falseText);
    // Save asks first; no leaves the file unwritten.
    const std::string path = ::testing::TempDir() + "/session_false_plan.txt";
    std::filesystem::remove(path);
    view.files = {path};
    view.answers = {false};
    session.save();
    // The leads the insert made false hold their methods; Save says so too.
    ASSERT_FALSE(session.heldNotSavedReason().empty());
    EXPECT_EQ(view.questions.back(), session.falsePlanReason() + ". " + session.heldNotSavedReason() + ". Save anyway?");
    EXPECT_FALSE(std::filesystem::exists(path));
    view.files = {path};
    view.answers = {true};
    session.save();
    EXPECT_FALSE(session.hasUnsavedChanges());
    // Undone, and done again by deleting the lead: true again, and Load of
    // the false file asks before opening it as a false plan.
    ASSERT_TRUE(session.deleteLead());
    EXPECT_FALSE(session.composition()->planIsFalse());
    EXPECT_EQ(session.composition()->plan(), test::composition(course)->plan());
    view.saveChoices = {SessionView::SaveChoice::Discard};
    view.answers = {false};
    EXPECT_FALSE(session.loadFile(path));
    EXPECT_EQ(view.messages.back().rfind("Load abandoned: Attempt to insert false row", 0), 0u);
    view.answers = {true};
    ASSERT_TRUE(session.loadFile(path));
    EXPECT_EQ(view.questions.back(), session.falsePlanReason() + ".\nOpen it as a false plan?");
    EXPECT_EQ(view.questions.back().rfind("The plan is false: Lead 2's lead head 15738264", 0), 0u);
    EXPECT_EQ(session.saveText(), falseText);
    EXPECT_FALSE(session.hasUnsavedChanges());
}

// A calling typed or pasted becomes the composition as one change; one that
// does not read names its line and changes nothing.
TEST_F(ComposerSessionTest, ACallingIsAppliedOrNamesTheLineThatDoesNotRead) {
    ASSERT_TRUE(session.newComposition("Cambridge"));
    const std::string course = session.saveText();
    std::string why;
    EXPECT_FALSE(session.applyCalling("Method: Cambridge\n23456 M W H\n43652 - X\n1 part\n", "Paste", why));
    EXPECT_EQ(why.rfind("line 3: ", 0), 0u) << why;
    EXPECT_EQ(session.saveText(), course);
    const std::size_t changes = view.changes.size();
    ASSERT_TRUE(session.applyCalling(test::readFile(test::testDataDir() + "/compositions/lee_5024_spliced.txt"), "Paste", why)) << why;
    EXPECT_TRUE(why.empty());
    ASSERT_EQ(view.changes.size(), changes + 1);
    EXPECT_EQ(view.changes.back().label, "Paste");
    // Its note rings NNN for (R) in one part: the five parts written out.
    EXPECT_EQ(session.composition()->partCount(), 1);
    EXPECT_EQ(session.composition()->leadCount() * 32, 5024u);
    // The present layout, applied unchanged, is no change; it reads back to the same leads.
    const std::string layout = session.callingText();
    EXPECT_EQ(layout.rfind("5024 Spliced Surprise Major (4m)\n", 0), 0u) << layout;
    const std::string spliced = session.saveText();
    ASSERT_TRUE(session.applyCalling(layout, "Calling", why)) << why;
    EXPECT_EQ(view.changes.size(), changes + 1);
    EXPECT_EQ(session.saveText(), spliced);
    session.restoreLoad(view.changes.back().loadBefore);
    EXPECT_EQ(session.saveText(), course);
}

// The composer a file names stays with the composition through every plan
// edit, the calling applied and a paste of a published layout that names one.
TEST_F(ComposerSessionTest, TheComposerLineOfTheFileSurvivesEditsAndTheCalling) {
    const std::string path = ::testing::TempDir() + "/session_composer.txt";
    {
        std::ofstream out(path, std::ios::binary);
        out << "Composer: A. B. Smith\n" << test::readFile(test::repoDataDir() + "/quarnel.txt");
    }
    ASSERT_TRUE(session.loadFile(path));
    std::string why;
    f.leadNumber = 3;
    // The calling first: leads that lose their methods print as "?", which
    // no layout reads.
    const std::pair<const char*, std::function<bool()>> edits[] = {
        {"calling", [&] { return session.applyCalling(session.callingText(), "Calling", why) && why.empty(); }},
        {"bob", [&] { return session.setCall(Call::Bob); }},
        {"code", [&] { return session.setCode('F'); }},
        {"insert", [&] { return session.insertLead(); }},
        {"delete", [&] { return session.deleteLead(); }},
    };
    for (const auto& [what, edit] : edits) {
        SCOPED_TRACE(what);
        EXPECT_TRUE(edit());
        EXPECT_EQ(session.composition()->composer(), "A. B. Smith");
        EXPECT_EQ(test::lines(session.saveText()).front(), "Composed by A. B. Smith");
    }
    EXPECT_NE(session.callingText().find("\nComposed by A. B. Smith\n"), std::string::npos);
    ASSERT_TRUE(session.applyCalling("Composed by C. D. Jones\n" +
                                         test::readFile(test::testDataDir() + "/compositions/lee_5024_spliced.txt"),
                                     "Paste", why))
        << why;
    EXPECT_EQ(session.composition()->composer(), "C. D. Jones");
}

// Export PDF and Print have nothing to put on paper without leads, and say
// so as quarnel-cli sheet does, before any file dialog.
TEST_F(ComposerSessionTest, NoSheetWithoutLeadsAndTheMessageSaysWhy) {
    int writes = 0;
    const auto writer = [&](const std::vector<Page>&, const std::string&) {
        ++writes;
        return std::string();
    };
    EXPECT_FALSE(session.exportSheet(writer));
    ASSERT_TRUE(session.newComposition(""));
    EXPECT_TRUE(session.sheet(A4).empty());
    EXPECT_FALSE(session.exportSheet(writer));
    EXPECT_EQ(view.messages, (std::vector<std::string>{"No composition loaded: load one, or make one with New",
                                                       "No composition in untitled.txt: it has no leads",
                                                       "No composition in untitled.txt: it has no leads"}));
    EXPECT_TRUE(view.titles.empty());
    EXPECT_EQ(writes, 0);
}

// A music file with parts it cannot read is loaded all the same, with a
// message that names them.
TEST_F(ComposerSessionTest, MusicWithUnreadablePartsLoadsAndNamesThem) {
    const std::string path = ::testing::TempDir() + "/session_partly.mus";
    {
        std::ofstream out(path, std::ios::binary);
        out << "Rounds\n10 0 12345678\nBad\nten 0 12345678\nQueens\n5 0 13572468 1357246\n";
    }
    ASSERT_TRUE(session.loadMusicFile(path));
    ASSERT_NE(session.musicTable(), nullptr);
    EXPECT_EQ(session.musicTable()->definitions().size(), 2u);
    EXPECT_EQ(view.messages, std::vector<std::string>{"\"" + path + "\": 2 parts were not read:\n"
                                                      "line 4: ten 0 12345678\n"
                                                      "line 6: 1357246"});
    EXPECT_EQ(view.kinds.back(), SessionView::MessageKind::Warning);
}

}  // namespace
}  // namespace quarnel
