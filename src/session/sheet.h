#pragma once
// The composition sheet, the page a conductor prints and a composer sends:
// the title and an optional composer line; the course layout (or the lead
// list) in the fixed-width face so that calls stand under their positions,
// "N part" and the method key; "Contains" with each method's changes, the
// changes of method and all-the-work; the music, a line a definition with
// its count; then the blue lines of every method used, most changes first,
// several on a page. Pages of items (session/page.h) for the painter.
#include <string>
#include <vector>

#include "session/page.h"

namespace quarnel {

class Composition;
class MethodLibrary;
class MusicTable;

struct SheetOptions {
    PaperSize paper = A4;
    // The line under the title; when empty, "Composed by NAME" for the
    // composer the composition's file names (none when it names none).
    std::string composer;
};

// Sizes in points.
inline constexpr double SheetMargin = 42;  // about 15 mm
inline constexpr double SheetTitleSize = 16;
inline constexpr double SheetTextSize = 10.5;
// The calling is set at this size, smaller only to fit the page width and
// never below SheetSmallestCalling.
inline constexpr double SheetCallingSize = 12;
inline constexpr double SheetSmallestCalling = 10;

// Empty for a composition without leads. Methods without a library name
// are shown by their notation text.
std::vector<Page> compositionSheet(const Composition& composition, const MethodLibrary& library,
                                   const MusicTable* music, const SheetOptions& options = {});

// The method's name as a title: "Cambridge S" as "Cambridge Surprise Major".
std::string methodTitle(const std::string& libraryName);

}  // namespace quarnel
