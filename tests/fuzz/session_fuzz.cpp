// The session as a state machine: the input is a sequence of the composer's
// commands (lead changes, typed names and notations, Next, Different and
// Match with a step limit, OK, Clear, Save, Load and Music of fuzzed files,
// Fill with a node limit, the plan edits, a calling applied, New (asked
// about unsaved changes by the session or, as the desktop program does,
// before the name), a lead inserted and deleted again, and the undo of the
// last change).
// After every command the session's invariants are checked: the lead list
// shows exactly the committed methods, the candidate shown is the candidate
// tried, and every committed lead is true; after OK, Save, Load and each
// plan edit the composition also round-trips through its file (false plans
// included), undoing an edit gives back the text and the held methods
// there were, only leads without a method hold one aside, and a lead
// inserted and deleted again gives back the composition exactly.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "fuzz_support.h"
#include "methods/major_method.h"
#include "fill/fill.h"
#include "session/composer_session.h"
#include "session/fill_runner.h"
#include "session/session_view.h"

using namespace quarnel;

namespace {

class FuzzView : public SessionView {
public:
    void readControls(DialogFields&) override {}
    void writeControls(const DialogFields&) override {}
    std::optional<std::string> chooseFile(FileDialog, std::string_view, const std::string&, std::string_view) override {
        auto path = std::move(nextPath);
        nextPath.reset();
        return path;
    }
    void showMessage(const std::string&, MessageKind) override {}
    SaveChoice askSaveChanges(const std::string&) override { return SaveChoice::Discard; }
    bool confirm(const std::string&) override {
        const bool yes = (answers & 1u) != 0;
        answers = (answers >> 1) | (answers << 31);
        return yes;
    }
    void beginWait() override {}
    void endWait() override {}
    void showComposition(const Composition*) override {}
    void showCurrentLead(int) override {}
    void showCommittedMethod(const Method*) override {}
    void showCandidate(const Method* method) override { shown = method; }
    void setLeadRange(int, int) override {}
    bool searchStep() override { return ++steps >= stepLimit; }
    void recordChange(const CompositionChange& change) override { last = change; }

    std::optional<std::string> nextPath;
    std::uint32_t answers = 0;
    const Method* shown = nullptr;
    int steps = 0;
    int stepLimit = 1;
    std::optional<CompositionChange> last;
};

enum Command : int {
    LeadChange, TypedName, TypedNotation, Next, Different, Match, Ok, Clear,
    LoadFuzzed, LoadStarter, SaveAndLoad, MusicFuzzed, MusicStarter, Fill,
    PlanCall, InsertLead, DeleteLead, SetCode, PutIn, NewComposition, Calling, UndoLast, NewAskedFirst, InsertAndDelete,
    CommandCount
};

// Commands in one input: enough for a load, a search, an OK and a fill to
// meet, few enough that an input stays short (a campaign of a million
// inputs took 19 minutes on two cores).
constexpr int MaxCommands = 6;

// Scratch files in memory where the system has a memory file system: every
// input writes and renames some, and on a disk that is most of its system time.
std::filesystem::path scratchFolder() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

const std::string& scratch(const char* what) {
    static const std::string base = (scratchFolder() / ("quarnel-fuzz-" + std::to_string(getpid()) + "-")).string();
    // Removed when the fuzzer ends (the files of a run that found a fault
    // stay, beside its input).
    static struct Paths : std::map<std::string, std::string> {
        ~Paths() {
            std::error_code error;
            for (const auto& [name, path] : *this) std::filesystem::remove(path, error);
        }
    } paths;
    auto& p = paths[what];
    if (p.empty()) p = base + what;
    return p;
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string savedText(const Composition& c) {
    std::ostringstream out;
    c.save(out);
    return out.str();
}

void checkInvariants(const ComposerSession& session, const FuzzView& view) {
    const Method* candidate = session.candidate();
    fuzz::require(view.shown == candidate, "the candidate shown is the candidate");
    fuzz::require((candidate != nullptr) == !session.fields().placeNotationText.empty(),
                  "there is a candidate exactly when the place notation shows one");
    const Composition* c = session.composition();
    if (c == nullptr) return;
    fuzz::checkLeadsShowCommitted(*c, fuzz::starterLibrary());
    const std::vector<std::string>& held = session.heldMethods();
    fuzz::require(held.size() == c->leadCount(), "one held method a lead");
    for (int n = 1; n <= static_cast<int>(held.size()); ++n)
        fuzz::require(held[static_cast<std::size_t>(n - 1)].empty() || c->committedMethodAt(n) == nullptr,
                      "a lead with a method holds none aside");
    const int lead = session.fields().leadNumber;
    for (int n = 1; n <= static_cast<int>(c->leadCount()); ++n) {
        const Method* trial = c->leadAt(n)->trial();
        fuzz::require(trial == nullptr || trial == candidate, "only the candidate is tried");
        if (n == lead) fuzz::require(trial == candidate, "the candidate shown is the candidate tried");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const MethodLibrary& library = fuzz::starterLibrary();
    static const std::vector<const std::pair<const std::string, std::string>*> named = [&] {
        std::vector<const std::pair<const std::string, std::string>*> v;
        for (const auto& entry : library.byName()) v.push_back(&entry);
        return v;
    }();
    static const std::string starterComposition = std::string(QUARNEL_REPO_DATA) + "/quarnel.txt";
    static const std::string starterMusic = std::string(QUARNEL_REPO_DATA) + "/major.mus";

    FuzzedDataProvider in(data, size);
    FuzzView view;
    ComposerSession session(view, library);
    session.loadFile(starterComposition);
    checkInvariants(session, view);

    for (int step = 0; step < MaxCommands && in.remaining_bytes() > 0; ++step) {
        DialogFields& f = session.fields();
        const Composition* c = session.composition();
        const int leads = c ? static_cast<int>(c->leadCount()) : 0;
        switch (in.ConsumeIntegralInRange<int>(0, CommandCount - 1)) {
        case LeadChange:
            f.leadNumber = in.ConsumeIntegralInRange<int>(-1, leads + 1);
            session.leadChanged();
            break;
        case TypedName:
            f.methodName = in.ConsumeBool() && !named.empty() ? named[in.ConsumeIntegralInRange<std::size_t>(0, named.size() - 1)]->first
                                                              : in.ConsumeRandomLengthString(40);
            session.nameChanged();
            break;
        case TypedNotation: {
            std::string text = in.ConsumeRandomLengthString(60);
            if (in.ConsumeBool() && !named.empty()) text = named[in.ConsumeIntegralInRange<std::size_t>(0, named.size() - 1)]->second + text;
            f.placeNotationText = text;
            session.rebuildCandidate();
            break;
        }
        case Next:
        case Different:
        case Match: {
            const std::uint8_t options = in.ConsumeIntegral<std::uint8_t>();
            f.namedOnly = options & 1;
            f.twoPlaces = options & 2;
            f.rightPlace = options & 4;
            f.symmetricSections = options & 8;
            f.allowSurprise = options & 16;
            f.allowDelight = options & 32;
            f.allowTrebleBob = options & 64;
            f.maxFalseness = in.ConsumeIntegralInRange<int>(0, 3);
            view.steps = 0;
            view.stepLimit = in.ConsumeIntegralInRange<int>(1, 6);
            const bool different = in.remaining_bytes() % 3 == 1;
            session.searchCandidates(different, in.remaining_bytes() % 3 == 2);
            break;
        }
        case Ok:
            view.answers = in.ConsumeIntegral<std::uint32_t>();
            session.ok();
            if (session.composition()) {
                fuzz::checkRegister(*session.composition());
                fuzz::checkCompositionRoundTrip(*session.composition(), library, false);
            }
            break;
        case Clear:
            session.clear();
            break;
        case LoadFuzzed:
            writeFile(scratch("load.txt"), in.ConsumeRandomLengthString(1000));
            view.nextPath = scratch("load.txt");
            session.load();
            break;
        case LoadStarter:
            view.nextPath = starterComposition;
            session.load();
            break;
        case SaveAndLoad: {
            if (c == nullptr || c->leadCount() == 0) break;
            const std::string before = savedText(*c);
            // Yes to "Save anyway?" and to opening a false plan.
            view.answers = ~0u;
            view.nextPath = scratch("save.txt");
            session.save();
            view.nextPath = scratch("save.txt");
            session.load();
            fuzz::require(session.composition() != nullptr, "a saved composition loads", before);
            fuzz::require(savedText(*session.composition()) == before, "a saved composition loads as saved", before);
            fuzz::checkRegister(*session.composition());
            break;
        }
        case MusicFuzzed:
            writeFile(scratch("music.mus"), in.ConsumeRandomLengthString(1000));
            view.nextPath = scratch("music.mus");
            session.music();
            break;
        case MusicStarter:
            view.nextPath = starterMusic;
            session.music();
            break;
        case Fill: {
            // The whole-composition Fill, as the Fill window runs it but on
            // this thread, with a node limit and few generator methods so
            // that an input stays short; then taken.
            if (c == nullptr) break;
            if (c->planIsFalse()) {
                // The desktop program never starts a Fill on a false plan.
                fuzz::require(!session.takeFill({}), "a false plan refuses a fill");
                break;
            }
            fill::FillOptions o = fillOptionsOf(f);
            o.threads = 1;
            o.all = in.ConsumeBool();
            o.allDifferent = in.ConsumeBool();
            o.nodeLimit = in.ConsumeIntegralInRange<std::uint64_t>(1, 300);
            // The generator's methods only now and then, and few of them: a
            // Fill's tables are built from every candidate of every code.
            // Named generator methods are found only by walking all the
            // generator's methods (hundreds of thousands with Two Places).
            o.generatorLimit = 4;
            if (in.ConsumeIntegralInRange<int>(0, 3) != 0) o.rightPlace = o.symmetricSections = o.twoPlaces = false;
            if (o.rightPlace || o.symmetricSections || o.twoPlaces) o.named = false;
            std::optional<MusicTable> music;
            if (session.musicTable()) music = *session.musicTable();
            const fill::FillProblem problem = fill::FillProblem::build(*c, library, music ? &*music : nullptr, o);
            const std::atomic<bool> stop{false};
            const fill::FillResult result = fill::runFill(problem, o, stop, {});
            if (result.methods.empty()) break;
            fuzz::require(session.takeFill(result.methods), "a fill found commits");
            for (const auto& [n, text] : result.methods) {
                const Method* m = session.composition()->committedMethodAt(n);
                fuzz::require(m != nullptr && m->notationText() == text, "every lead of a fill taken has its method", text);
            }
            fuzz::checkRegister(*session.composition());
            fuzz::checkCompositionRoundTrip(*session.composition(), library, false);
            break;
        }
        case PlanCall:
            f.leadNumber = in.ConsumeIntegralInRange<int>(0, leads + 1);
            session.leadChanged();  // as the dialog makes the lead current first
            session.setCall(static_cast<Call>(in.ConsumeIntegralInRange<int>(0, 2)));
            break;
        case InsertLead:
            f.leadNumber = in.ConsumeIntegralInRange<int>(0, leads + 1);
            session.leadChanged();  // as the dialog makes the lead current first
            session.insertLead();
            break;
        case DeleteLead:
            f.leadNumber = in.ConsumeIntegralInRange<int>(0, leads + 1);
            session.leadChanged();  // as the dialog makes the lead current first
            session.deleteLead();
            break;
        case SetCode:
            f.leadNumber = in.ConsumeIntegralInRange<int>(0, leads + 1);
            session.leadChanged();  // as the dialog makes the lead current first
            session.setCode(in.ConsumeIntegral<char>());
            break;
        case PutIn:
            f.leadNumber = in.ConsumeIntegralInRange<int>(0, leads + 1);
            session.leadChanged();
            view.answers = in.ConsumeIntegral<std::uint32_t>();
            session.putInWithItsCode();
            break;
        case NewComposition:
            session.newComposition(in.ConsumeBool() && !named.empty()
                                       ? named[in.ConsumeIntegralInRange<std::size_t>(0, named.size() - 1)]->first
                                       : in.ConsumeRandomLengthString(20));
            break;
        case Calling: {
            // The present layout (which reads back to the same leads), or fuzzed text.
            std::string why;
            const std::string text = in.ConsumeBool() ? session.callingText() : in.ConsumeRandomLengthString(300);
            const std::string before = c ? savedText(*c) : std::string();
            const bool applied = session.applyCalling(text, "Calling", why);
            fuzz::require(applied || !why.empty() || text.empty() || c == nullptr || session.composition() == c,
                          "a calling that is refused says why", text);
            if (!applied && c != nullptr && session.composition() == c)
                fuzz::require(savedText(*c) == before, "a refused calling changes nothing", text);
            break;
        }
        case NewAskedFirst:
            // As the desktop program asks: the question first, then the name.
            if (session.confirmDiscardChanges())
                session.newComposition(in.ConsumeBool() && !named.empty()
                                           ? named[in.ConsumeIntegralInRange<std::size_t>(0, named.size() - 1)]->first
                                           : in.ConsumeRandomLengthString(20),
                                       true);
            break;
        case InsertAndDelete: {
            // Whatever the insert spoils (a false plan, methods held aside),
            // the delete mends: the same text, no method held.
            if (c == nullptr) break;
            const bool noneHeld = std::all_of(session.heldMethods().begin(), session.heldMethods().end(),
                                              [](const std::string& m) { return m.empty(); });
            const std::string before = savedText(*c);
            f.leadNumber = in.ConsumeIntegralInRange<int>(0, leads + 1);
            session.leadChanged();
            if (!session.insertLead()) break;
            fuzz::require(session.deleteLead(), "an inserted lead can be deleted", before);
            if (noneHeld) {
                fuzz::require(savedText(*session.composition()) == before, "a lead inserted and deleted gives back the text", before);
                fuzz::require(std::all_of(session.heldMethods().begin(), session.heldMethods().end(),
                                          [](const std::string& m) { return m.empty(); }),
                              "a lead inserted and deleted leaves nothing held", before);
            }
            break;
        }
        case UndoLast:
            // The last change undone gives back the text it was made from, and redone the text it made.
            if (view.last && view.last->kind == CompositionChange::Kind::Load && view.last->loadBefore.loaded &&
                view.last->loadAfter.loaded) {
                const CompositionChange change = *view.last;
                session.restoreLoad(change.loadBefore);
                fuzz::require(session.composition() != nullptr && savedText(*session.composition()) == change.loadBefore.text,
                              "an undone change gives back the composition", change.label);
                std::vector<std::string> held = change.loadBefore.held;
                held.resize(session.composition()->leadCount());
                fuzz::require(session.heldMethods() == held, "an undone change gives back the held methods", change.label);
                session.restoreLoad(change.loadAfter);
                fuzz::require(session.composition() != nullptr && savedText(*session.composition()) == change.loadAfter.text,
                              "a redone change gives back its composition", change.label);
            }
            break;
        default:
            break;
        }
        if (step >= 0 && session.composition() != nullptr && session.composition() != c) {
            // A new composition (a Load, an edit, a calling): its register and its round trip.
            fuzz::checkRegister(*session.composition());
            fuzz::checkCompositionRoundTrip(*session.composition(), library, false);
        }
        checkInvariants(session, view);
    }
    return 0;
}
