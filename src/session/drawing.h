#pragma once
// What the drawing windows draw, as plain numbers: where each lead's line of
// the composition list goes and in which colour, and the line diagram of a
// method over the seven leads of its plain course. The windows only paint
// what these functions give, so all of it is tested without a screen.
#include <array>
#include <string>
#include <vector>

namespace quarnel {

class Composition;
class Method;
class MusicTable;

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb Red{255, 0, 0};
inline constexpr Rgb Blue{0, 0, 255};
inline constexpr Rgb Violet{128, 0, 255};

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// The composition list: leads in columns, top to bottom then left to right,
// at least 16 pixels apart, the lines of a column spread over the height.
struct DisplayLayout {
    int columns = 0;
    int rows = 0;  // lines in a column
};
DisplayLayout displayLayout(int leadCount, int height);
// The same for lines lineWidth wide and lineHeight high in a list width
// wide: the columns above when they fit across; otherwise as many columns as
// fit, their lines spread over the height while they do not overlap, and
// when even that is too tall, lines lineHeight apart in a list that scrolls
// (contentHeight is then more than height). Never two lines over each other.
struct ListLayout {
    DisplayLayout layout;
    int contentHeight = 0;  // the height the lines are spread over
};
ListLayout listLayout(int leadCount, int width, int height, int lineWidth, int lineHeight);
// The index of the lead whose line holds the point (y in the content, from
// the list's top), or -1 for none.
int displayIndexAt(Point point, const DisplayLayout& layout, int leadCount, int width, int contentHeight, int lineHeight);
// The lines of the list, one a lead: its lead head and file line; a lead
// without a method that holds one aside (held, one a lead, may be empty)
// shows it after the line, "(held: Cambridge S)"; with music, every line is
// padded to the longest and the lead's music score follows it,
// right-aligned (the lead's music as the dialog shows it; the column adds
// up to the total).
std::vector<std::string> leadListLines(const Composition& composition, const std::vector<std::string>& held, MusicTable* music);
// The top-left point of the line of lead index i (lead number i + 1).
Point displayPosition(int index, const DisplayLayout& layout, int width, int height);
// The colour of lead number lead when currentLead is marked: the current lead
// blue when OK would accept the candidate, violet otherwise; others black,
// or red when the candidate is false against them.
Rgb displayColour(const Composition& composition, int lead, int currentLead);
// The colour of a lead whose lead head or lead end repeats in a false plan:
// a brown of its own, apart from the red of a clash with the candidate.
inline constexpr Rgb FalsePlanBrown{160, 96, 0};
// displayColour, with the leads of a false plan's repeats in brown (the
// current lead keeps its blue or violet, a clash its red).
Rgb leadColour(const Composition& composition, int lead, int currentLead);

// The diagram: seven panels 9 units apart, 8 places wide, one row a unit,
// centred in a field 65 units wide and 33 units high.
struct DiagramGeometry {
    int unit = 0;
    int leftMargin = 0;
    int panelStep = 0;
    std::array<int, 33> y{};
};
DiagramGeometry diagramGeometry(int width, int height);

struct Polyline {
    Rgb colour;
    std::vector<Point> points;
};
// The treble's path in red in every panel, then one working bell in blue
// (the second for codes a to f, the eighth after) followed through the seven
// leads of the plain course, one lead a panel. Empty for a method with no
// notation, a code without a lead-end row or a lead longer than 32 changes.
std::vector<Polyline> diagramLines(const Method& method, const DiagramGeometry& geometry);

}  // namespace quarnel
