#pragma once
// What the composer's session needs of its window, with no toolkit types:
// the dialog implements it with widgets, tests and the command-line
// companion with scripts and recorders.
#include <optional>
#include <string>
#include <string_view>

#include "session/composition_snapshot.h"

namespace quarnel {

class Composition;
class Method;
struct DialogFields;

class SessionView {
public:
    enum class FileDialog { Open, Save };
    enum class MessageKind { Information, Warning, Error };
    enum class SaveChoice { Save, Discard, Cancel };

    virtual ~SessionView() = default;

    // Field exchange: the fields from the controls, and the controls from the fields.
    virtual void readControls(DialogFields& fields) = 0;
    virtual void writeControls(const DialogFields& fields) = 0;

    // A file name from the standard file dialog (ask before overwriting),
    // or nothing when the composer cancels. The title says what it is for
    // ("Open composition").
    virtual std::optional<std::string> chooseFile(FileDialog kind, std::string_view defaultExtension,
                                                  const std::string& initialName, std::string_view title) = 0;
    // A message box with OK, with the icon of its kind.
    virtual void showMessage(const std::string& text, MessageKind kind = MessageKind::Information) = 0;
    // The question before unsaved changes would be lost ("Save changes to
    // the composition?"), answered Save, Discard or Cancel.
    virtual SaveChoice askSaveChanges(const std::string& question) = 0;
    // A message box with OK and Cancel: true for OK.
    virtual bool confirm(const std::string& text) = 0;
    virtual void beginWait() = 0;
    virtual void endWait() = 0;

    // What the drawing windows show: the composition listed, the current
    // lead marked (redrawn now, or at the screen's pace while a search runs),
    // the current lead's committed method and the candidate.
    virtual void showComposition(const Composition* composition) = 0;
    virtual void showCurrentLead(int lead) = 0;
    virtual void showCommittedMethod(const Method* method) = 0;
    virtual void showCandidate(const Method* method) = 0;
    // The lead-number control's range: low end first (the last lead), then 1.
    virtual void setLeadRange(int low, int high) = 0;

    // Called after every candidate of a running search; true stops the
    // search (the composer pressed Escape).
    virtual bool searchStep() = 0;

    // The committed methods, the composition or its file changed (OK, Load,
    // Undo, Redo, Save, a Fill taken): titles and other windows follow it.
    virtual void compositionChanged() {}
    // A change the composer may undo, already made.
    virtual void recordChange(const CompositionChange& change) { (void)change; }
};

}  // namespace quarnel
