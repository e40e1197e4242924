#pragma once
// The composer's working state and commands, without any widget: the
// dialog's fields, the composition, the music table and the candidate
// method, and every command of the dialog (lead and name changes, Clear,
// Next, Different, Match, OK, Load, Save, Export, MicroSiril, Music). The
// candidate is always rebuilt from the place-notation field, never edited.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "composition/composition.h"
#include "composition/music.h"
#include "ringing/call.h"
#include "methods/major_method.h"
#include "methods/method_generator.h"
#include "methods/method_library.h"
#include "session/composition_snapshot.h"
#include "session/dialog_fields.h"
#include "session/page.h"
#include "methods/name_matching.h"
#include "session/session_view.h"

namespace quarnel {

// How a search ended, as a value for callers that act on it (the command
// line) rather than show it (the dialog's status text).
enum class SearchEnd { Searched, BadLeadEndGroup, Failed };
struct SearchResult {
    long tried = 0;         // how many candidates the search tried
    SearchEnd end = SearchEnd::Searched;
    std::string failure;    // why, when the search failed
};

class ComposerSession {
public:
    // A session with a Major generator of its own: no two sessions share a
    // generator's state.
    explicit ComposerSession(SessionView& view, const MethodLibrary& library = MethodLibrary::instance());
    // A session that searches with the generator given (not owned).
    ComposerSession(SessionView& view, const MethodLibrary& library, MethodGenerator& generator);
    ~ComposerSession();
    ComposerSession(const ComposerSession&) = delete;
    ComposerSession& operator=(const ComposerSession&) = delete;

    DialogFields& fields() { return fields_; }
    const DialogFields& fields() const { return fields_; }
    const Composition* composition() const { return composition_.get(); }
    const MusicTable* musicTable() const { return music_ ? &*music_ : nullptr; }
    const Method* candidate() const { return candidate_ ? &*candidate_ : nullptr; }
    bool searching() const { return searching_; }

    // The remembered file names offered by the file dialogs.
    const std::string& compositionFileName() const { return compositionFileName_; }
    const std::string& exportFileName() const { return exportFileName_; }
    const std::string& microSirilFileName() const { return microSirilFileName_; }

    // The three routines that keep the fields and the model in step.
    void composeStatus();
    void rebuildCandidate();
    void refreshFromModel();

    // Commands.
    void leadChanged();
    void nameChanged();
    void clear();
    // Next (different false, match false), Different, Match. Returns how many
    // candidates the search tried.
    long searchCandidates(bool different, bool match) { return search(different, match).tried; }
    // The same search, telling how it ended.
    SearchResult search(bool different, bool match);
    void ok();
    void load();
    void save();
    void exportText();
    void exportMicroSiril();
    void music();

    // On paper: the composition sheet (session/sheet.h) of the present
    // composition with the loaded music table, under the composer its file
    // names. Why there is none, as quarnel-cli sheet says it ("No
    // composition in quarnel.txt: it has no leads"), or "" when there is.
    std::string noSheetReason() const;
    // The sheet's pages on the paper; none, after the message of
    // noSheetReason, when there is nothing to print.
    std::vector<Page> sheet(PaperSize paper);
    // Writes pages to a file: "" when written whole, otherwise the message
    // to show (the painter's PDF writer, ui/page_writer.h).
    using PageFileWriter = std::function<std::string(const std::vector<Page>& pages, const std::string& path)>;
    // Export PDF: the sheet on A4 to a .pdf file the composer chooses,
    // written whole or not at all; a failure is shown as a message. The
    // file offered is the composition's name with .pdf, beside it, or in
    // the folder of the last sheet written. True when written.
    bool exportSheet(const PageFileWriter& write);
    const std::string& sheetFileName() const { return sheetFileName_; }

    // Load and Music of a named file, without a file dialog. False (and a
    // message to the view) when the file does not open or does not read.
    bool loadFile(const std::string& path);
    // Load of a composition read elsewhere (the command line's loader).
    void loadComposition(std::unique_ptr<Composition> composition);

    // Fill: commits each lead's method of a fill (lead number -> notation
    // text) as OK would and updates the total music. False, with the
    // composition unchanged apart from those leads, when one did not commit.
    bool takeFill(const std::vector<std::pair<int, std::string>>& methods);
    bool loadMusicFile(const std::string& path);

    // Changes to the plan, each one undoable change that marks the
    // composition unsaved. The composition is written with the change and
    // read back as Load reads it: lead heads, part end and part count are
    // worked out again, methods stay where they are still true, and the
    // leads that lose theirs are reported in one message. False when
    // nothing changed.
    //
    // New: after the question about unsaved changes (not asked again when
    // the composer has answered it already, changesSettled), an empty
    // composition (method empty) or a plain course of the method (a library
    // name as the name field reads it, or place notation).
    bool newComposition(const std::string& method, bool changesSettled = false);
    // Use of a composition Compose found (its file text): after the question
    // about unsaved changes it becomes the composition, read as Load reads
    // it, untitled and unsaved, lead 1 current, as one undoable change
    // labelled "Compose"; the leads that lose their methods are reported as
    // Load reports them. False, with the composition unchanged, when the
    // composer cancels or the text does not read (a message says why).
    bool useComposition(const std::string& fileText);
    // On the current lead: its lead end plain, a bob or a single; a lead
    // inserted after it (its code, plain, no method), which becomes the
    // current lead; the lead deleted; its code set (a letter A to M).
    bool setCall(Call call);
    bool insertLead();
    bool deleteLead();
    bool setCode(char letter);
    // The candidate put into the current lead with its own code, after
    // asking (codeChangeQuestion) when that code is not the lead's.
    bool putInWithItsCode();

    // Methods held aside: a method that an edit left false in its lead (or
    // of another code) is not lost. The lead keeps it aside, the lead list
    // shows it, and each later edit puts it back as soon as it is true in
    // its lead against every method there (the leads' present methods
    // first). One entry a lead, "" where none is held; a lead with a
    // method holds none.
    const std::vector<std::string>& heldMethods() const { return held_; }
    // The composition's file text with the held methods written into their leads.
    std::string workingText() const;

    // The calling: the composition written as composers publish it (a
    // course layout, or a lead list), and a published composition in any
    // form readLayout reads made the composition (label "Calling" or
    // "Paste"). False with why (starting "line N: ") when the text does not
    // read; the composition is then unchanged.
    std::string callingText() const;
    bool applyCalling(const std::string& text, const std::string& label, std::string& why);

    // A plan whose lead heads or lead ends repeat may be made by an edit (or
    // opened by Load, when the composer says so); it stays false until an
    // edit mends it, and Next, Different, Match, OK and Fill refuse it.
    // "The plan is false: Lead 7's lead head 15738264 is lead 3's in part
    // 2" (the first three repeats, "; " between, then "and N more"), or ""
    // for a true plan.
    std::string falsePlanReason() const;
    // What Save does not keep of the methods held aside ("Lead 3's Cambridge
    // S and lead 6's Cambridge S are held aside and are not saved"), or ""
    // when none is held. The file keeps only the methods the leads ring.
    std::string heldNotSavedReason() const;
    // True, with the reason in the status, when the plan is false: the
    // searches, OK and Fill cannot run on it.
    bool refuseFalsePlan();

    // The name field applied (Enter): the library name a ringer's spelling
    // stands for replaces the text when exactly one method matches.
    void applyName();

    // Unsaved changes: the composition as Save would write it now, against
    // the text of the file last loaded or saved.
    std::string saveText() const;
    bool hasUnsavedChanges() const { return saveText() != savedText_; }
    // Before unsaved changes would be lost: asks "Save changes to the
    // composition?"; true when the composer saved or discarded them (or
    // there were none), false when they cancelled or the save failed.
    bool confirmDiscardChanges();

    // Undo and Redo, without widgets. A command that changes committed
    // methods takes snapshotMethods() first and afterwards calls
    // recordMethodsChange(label, before), which tells the view of the change
    // (when there is one) so that it can be undone; restore* put a snapshot
    // back and refresh everything from it.
    MethodsSnapshot snapshotMethods() const;
    void recordMethodsChange(const std::string& label, const MethodsSnapshot& before);
    void restoreMethods(const MethodsSnapshot& snapshot);
    LoadSnapshot snapshotLoad() const;
    void restoreLoad(const LoadSnapshot& snapshot);

private:
    long searchGenerated(bool different, bool match);
    // rebuildCandidate, given the changes the place-notation text was just
    // written from (none: read the text).
    void rebuildCandidate(const Change* const* generated);
    long searchNamed(bool match);
    bool keepSearching(bool match, bool needName) const;
    void releaseCandidate();
    void releaseComposition();
    void installComposition(std::unique_ptr<Composition> composition, std::vector<std::string> held = {});
    void recordLoad(const LoadSnapshot& before, const std::string& label = "Load");
    // A plan edit: the edit made on the file text (the methods there are) and
    // on the working text (the held methods there are too).
    bool applyPlanEdit(const std::string& label, const std::function<std::string(std::string_view)>& edit, int lead);
    // The composition of an edited file text made the present one, with the
    // current lead; the held methods (one a lead of the text) tried again
    // after the text's own; the file name and the saved text stay.
    bool applyPlanText(const std::string& label, const std::string& text, const std::vector<std::string>& held, int lead);
    // The load report of the present composition, in one message (with
    // held, saying that the methods are held aside).
    void reportLostMethods(bool held = false);
    // Each lead of the composition without a method takes its held method
    // when it is of the lead's code and true against every committed row.
    void returnHeldMethods(Composition& composition, const std::vector<std::string>& held) const;
    // The held methods after a read: the working text's method of each lead
    // that has none committed, where that text names a method.
    std::vector<std::string> heldAfterRead(const Composition& composition, const std::string& working) const;
    // Leads that have a method hold none.
    void dropHeldWhereCommitted();
    // The notation of a method text as a lead line reads it, "" for none.
    std::string notationOfText(const std::string& text) const;
    bool writeFile(const std::string& path, void (Composition::*writer)(std::ostream&) const);
    bool saveAs(std::string_view extension, std::string& rememberedName, void (Composition::*writer)(std::ostream&) const,
                std::string_view title);

    ComposerSession(SessionView& view, const MethodLibrary& library, std::unique_ptr<MethodGenerator> own,
                    MethodGenerator* given);

    SessionView& view_;
    const MethodLibrary& library_;
    std::unique_ptr<MethodGenerator> ownGenerator_;  // none when the generator was given
    MethodGenerator& generator_;
    DialogFields fields_;
    std::unique_ptr<Composition> composition_;
    std::optional<MusicTable> music_;
    std::optional<MajorMethod> candidate_;
    std::string compositionFileName_ = "quarnel.txt";
    std::string exportFileName_ = "peal.txt";
    std::string microSirilFileName_ = "quarnel.maj";
    std::string sheetFileName_;  // empty until a sheet is written
    bool searching_ = false;
    bool searchStopped_ = false;
    // The save text of the file last loaded or saved ("" for none).
    std::string savedText_;
    std::vector<std::string> held_;
    MethodNameIndex names_;
};

inline constexpr const char* kSaveChangesQuestion = "Save changes to the composition?";

// "The plan is false: " and the first three repeats of a false plan ("; and
// N more" after them), or "" for a true plan.
std::string falsePlanSummary(const Composition& composition);

// The text of the question OK asks before clearing a lead's method.
std::string deleteLeadQuestion(int lead);

}  // namespace quarnel
