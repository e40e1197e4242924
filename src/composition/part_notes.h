#pragma once
// The notes under a published multi-part composition that ring one or more
// parts differently from the rest, read so that the parts can be written
// out. Two forms are common and read here:
//   - a note in words naming a bracketed piece of the layout:
//     "5 part, substituting NNN for (R) in one part", "NNN instead of (R) in
//     the last part", "omit [ss] in parts 2 and 3";
//   - a footnote whose number follows a bracketed piece of the layout
//     ("[CCC]1", "[s]2") on a line of its own under it: "1 Omit in part 3.",
//     "2 Include in parts 1 and 4.".
// "In one part" is the last part. A note written for another length ("For
// 5152 omit [ss] in one part") is no part of the composition as printed and
// is passed over. Anything else that varies a part ("Replace bracketed calls
// with -WsW-W in parts 2 and 3", "Call Single for -* in alternate parts") is
// refused with what is read.
#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

struct PartVariation {
    std::string marker;       // as printed in the layout: "(R)", "[ss]", "[CCC]1"
    std::string printed;      // what the brackets hold: "R"
    std::string replacement;  // rung instead in the parts it varies (empty: nothing)
    std::vector<int> parts;   // the parts it varies, from 1; empty: the last part
    bool allBut = false;      // it varies every part except those listed
    int line = 0;             // the note's line

    // Whether the part (from 1, of count) rings the replacement.
    bool varies(int part, int count) const;
};

// What a line (or the note after the comma of "5 part, ...") says of the
// parts: a variation for each bracketed piece it names (a footnote may mark
// several). Nothing for a line that varies no part. Throws ModelError naming
// the line for a note that varies parts in a way not read. footnoteMarkers
// are the bracketed pieces of the layout followed by a number ("[CCC]1").
std::vector<PartVariation> partNote(std::string_view text, int line, const std::vector<std::string>& footnoteMarkers);

// The bracketed pieces followed by a footnote number in a line: "[CCC]1",
// "[U.]2".
std::vector<std::string> footnoteMarkersIn(std::string_view line);

// A piece of layout (a call cell, a method string, a line of a lead list)
// as rung in the part: every marker it holds is the printed text or the
// replacement.
std::string asRungInPart(std::string_view text, const std::vector<PartVariation>& variations, int part, int count);

}  // namespace quarnel
