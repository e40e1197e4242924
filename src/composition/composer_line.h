#pragma once
// The composer of a composition as its file names them, on a line of its
// own as a ringer writes it above the leads: "Composed by A. B. Smith" or
// "Composer: A. B. Smith" (any case). Such a line is never a lead, although
// it starts with the code letter C; the sheet prints the composer under the
// title, and Save and the plan edits keep the line.
#include <optional>
#include <string>
#include <string_view>

namespace quarnel {

// The composer a line names (blanks around the name dropped; empty for a
// line with no name after its words), or none for any other line.
std::optional<std::string> composerOfLine(std::string_view line);

// The line Save writes for a composer: "Composed by A. B. Smith".
std::string composerLine(std::string_view composer);

// The composer named by the first composer line of a file text; empty when
// it has none.
std::string composerOfText(std::string_view text);

}  // namespace quarnel
