// Long runs of Next, Different and Match through the session, recorded
// candidate by candidate: the notation, the name, the status text, both
// music figures, the falseness score and profiles of every candidate tried,
// folded into one checksum per run. The checksums were taken from the plain
// implementation (ordered register, no cached indexes); any change to the
// search's path must leave every candidate exactly as it was. Run with
// QUARNEL_PRINT_SEQUENCES=1 to print the figures instead of checking them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>

#include "session/composer_session.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

// FNV-1a over everything the composer would see of each candidate.
class SequenceRecorder : public SessionView {
public:
    const ComposerSession* session = nullptr;
    std::uint64_t checksum = 1469598103934665603ull;
    long candidates = 0;

    void add(std::string_view text) {
        for (unsigned char c : text) {
            checksum ^= c;
            checksum *= 1099511628211ull;
        }
        checksum ^= 0xFF;
        checksum *= 1099511628211ull;
    }
    void add(long long value) { add(std::to_string(value)); }
    void addFields() {
        const DialogFields& f = session->fields();
        add(f.placeNotationText);
        add(f.methodName);
        add(f.statusText);
        add(f.leadMusic);
        add(f.candidateMusic);
        add(f.totalMusic);
        if (const Composition* c = session->composition()) {
            add(c->falsenessScore());
            add(c->falsenessProfile(f.maxFalseness, false));
            add(c->falsenessProfile(f.maxFalseness, true));
        }
    }

    void readControls(DialogFields&) override {}
    void writeControls(const DialogFields&) override {}
    std::optional<std::string> chooseFile(FileDialog, std::string_view, const std::string&, std::string_view) override { return std::nullopt; }
    void showMessage(const std::string&, MessageKind) override {}
    SaveChoice askSaveChanges(const std::string&) override { return SaveChoice::Discard; }
    bool confirm(const std::string&) override { return true; }
    void beginWait() override {}
    void endWait() override {}
    void showComposition(const Composition*) override {}
    void showCurrentLead(int) override {}
    void showCommittedMethod(const Method*) override {}
    void showCandidate(const Method*) override {}
    void setLeadRange(int, int) override {}
    bool searchStep() override {
        ++candidates;
        addFields();
        return false;
    }
};

const MethodLibrary& fullLibrary() { return test::libraryIn(test::fullMethodsDir()); }

std::string writeTemporary(const std::string& name, const std::string& text) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Five parts of 35 leads of Cambridge with bobs and singles.
std::string cambridgeFiveParts() {
    static const char* calls[] = {" ", "-", " ", "s", "-", " ", "-", "s", " ", "-", " ", " ",
                                  "-", " ", " ", "-", " ", " ", " ", " ", " ", " ", "-", " ",
                                  " ", " ", " ", " ", "-", "-", " ", " ", " ", " ", " "};
    std::string text;
    for (const char* call : calls) text += std::string("B") + call + " Cambridge S\n";
    return text;
}

struct SearchRun {
    const char* name;
    std::function<void(ComposerSession&)> steps;
    long candidates;
    std::uint64_t checksum;
};

TEST(SearchSequenceTest, EveryCandidateOfLongSearchesIsAsBefore) {
    const std::string cambridge = writeTemporary("quarnel-sequence-cambridge.txt", cambridgeFiveParts());
    const std::string rareRow = writeTemporary("quarnel-sequence-rare.mus", "One rare row\n1000 0 62148735\n");
    const std::string sample = test::repoDataDir() + "/quarnel.txt";
    const std::string music = test::repoDataDir() + "/major.mus";
    auto presses = [](ComposerSession& s, int count, bool different, bool match) {
        for (int i = 0; i < count; ++i) s.searchCandidates(different, match);
    };
    auto load = [](ComposerSession& s, const std::string& file, const std::string& musicFile, int lead) {
        ASSERT_TRUE(s.loadFile(file));
        ASSERT_TRUE(s.loadMusicFile(musicFile));
        s.fields().leadNumber = lead;
        s.leadChanged();
    };
    const SearchRun runs[] = {
        {"match on a rare row",
         [&](ComposerSession& s) {
             load(s, cambridge, rareRow, 1);
             presses(s, 3, false, true);
             presses(s, 2, false, false);
         },
         15655, 0x647fa14be9c3ff78ull},
        {"different with named",
         [&](ComposerSession& s) {
             s.fields().namedOnly = true;
             s.fields().allowDelight = true;
             load(s, cambridge, music, 17);
             presses(s, 15, true, false);
         },
         // Lead 17 of the five parts holds its Cambridge aside (false on
         // loading), which the status says under each candidate.
         898, 0xb959b5085bc5e5f9ull},
        {"next, match and different with every class",
         [&](ComposerSession& s) {
             s.fields().allowDelight = true;
             s.fields().allowTrebleBob = true;
             load(s, sample, music, 3);
             presses(s, 30, false, false);
             presses(s, 10, false, true);
             presses(s, 10, true, false);
             s.ok();
             s.fields().leadNumber = 6;
             s.leadChanged();
             presses(s, 10, false, true);
         },
         80, 0x189ab4d0a120b2bbull},
        {"named path",
         [&](ComposerSession& s) {
             s.fields().namedOnly = true;
             s.fields().allowDelight = true;
             s.fields().maxFalseness = 1;
             load(s, sample, music, 5);
             presses(s, 20, false, false);
             presses(s, 5, false, true);
         },
         27, 0x925556a8d8fa7cfeull},
        {"symmetric right-place methods to the end",
         [&](ComposerSession& s) {
             s.fields().rightPlace = true;
             s.fields().symmetricSections = true;
             s.fields().maxFalseness = 2;
             load(s, sample, music, 2);
             for (int i = 0; i < 20000; ++i) {
                 s.searchCandidates(false, false);
                 if (s.fields().placeNotationText.empty()) break;
             }
         },
         9698, 0xed10a3e640f201ull},
    };
    const bool print = std::getenv("QUARNEL_PRINT_SEQUENCES") != nullptr;
    for (const SearchRun& run : runs) {
        SCOPED_TRACE(run.name);
        SequenceRecorder recorder;
        MajorMethodGenerator generator;
        ComposerSession session(recorder, fullLibrary(), generator);
        recorder.session = &session;
        run.steps(session);
        recorder.addFields();
        if (print) {
            std::cout << run.name << ": " << recorder.candidates << ", 0x" << std::hex << recorder.checksum << std::dec
                      << "ull\n";
            continue;
        }
        EXPECT_EQ(recorder.candidates, run.candidates);
        EXPECT_EQ(recorder.checksum, run.checksum);
    }
}

}  // namespace
}  // namespace quarnel
