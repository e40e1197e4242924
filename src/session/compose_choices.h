#pragma once
// What the Compose window asks before a search starts, read into the
// engine's options: the composer's constraints and time limit (the same
// panel as Fill's), the length and parts as typed, the calls, where the
// methods change, tenors together and how many compositions to keep. And
// what the window shows of a composition found: its line in the list and
// the composition itself for the display's preview.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "compose/compose.h"
#include "search/constraints.h"
#include "session/dialog_fields.h"

namespace quarnel {

class Composition;
class MethodLibrary;

struct ComposeChoices {
    // The methods ticked (none: the dialog's classes) and the constraints.
    search::Constraints constraints;
    // "qp", "peal", "MIN-MAX" or a number of changes.
    std::string length = "qp";
    // A number of parts ("5"), or a part end ("12435678").
    std::string parts = "1";
    compose::CallSet calls = compose::CallSet::Bobs;
    compose::Splice splice = compose::Splice::EveryLead;
    bool tenorsTogether = true;
    int count = 10;
    bool onePerCalling = false;
    double timeLimitSeconds = 0;  // 0: none
};

// The compose options of the window's choices, with the dialog's classes
// when no method is ticked. Nothing, with the reason in why ("Length: ..."
// or "Parts: ..."), when the length or the parts do not read.
std::optional<compose::ComposeOptions> composeOptionsOf(const DialogFields& fields, const ComposeChoices& choices,
                                                        std::string& why);

// Every method of the library by name, in byte order: the methods a Compose
// may tick.
std::vector<std::string> libraryMethodNames(const MethodLibrary& library);

// A composition's line in the list, short enough for a narrow window:
// "1280 changes, music 316, ATW 172/392, COM 29: H, WH, sB" (with the
// parts when more than one; COM: changes of method).
std::string composedLine(const compose::FoundComposition& found);

// The composition of a file text found by Compose, read as Load reads it,
// for the display to show before it is used; none when it does not read or
// has no leads.
std::unique_ptr<Composition> composedComposition(const std::string& fileText, const MethodLibrary& library);

}  // namespace quarnel
