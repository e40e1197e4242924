#pragma once
// Place notation of a Major method as ringers write it, read into the
// system's own notation text (b&-3-4-25-36-4-5-6-7). Accepted besides that
// text: "x" or "X" for the cross; a "." beside a cross or at either end as a
// mere separator; and the form the Council's library prints, the half lead,
// a comma and the lead-end change with no code letter
// (-38-14-1258-36-14-58-16-78,12, or with a leading "&"). The code letter of
// that form is the one whose lead head the rows reach and whose plain lead
// end ("12" for a to f, "18" for g to m) is the lead-end change written.
// Whatever reads, the text produced is the one the system writes, so it
// reads back as the same method. This is for text typed or read from a file,
// never for the generator's candidates, which are built from changes.
#include <string>
#include <string_view>

namespace quarnel {

// The notation text, or (text empty) why the typed text gives no method.
struct NotationReading {
    std::string text;
    std::string reason;
    bool ok() const { return !text.empty(); }
};

// Reads a half lead of sixteen changes in any of the forms above; blanks
// around the text are ignored. A code letter must be one of the twelve, the
// rows must reach its lead head, and the lead-end change after a comma must
// be the code's plain lead end.
NotationReading readNotation(std::string_view typed);

// Whether a text is meant as place notation rather than a method name: after
// an optional code letter and "&", it is made only of places, crosses ("-",
// "x", "X"), dots, commas and "&", with at least one change. Library names
// may hold "-" or "&" ("Ankh-Morpork") but never only these characters.
bool looksLikeNotation(std::string_view typed);

}  // namespace quarnel
