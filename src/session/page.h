#pragma once
// A page as plain numbers: what the composition sheet and a blue line draw,
// in points (1/72 inch) from the page's top left, without any Qt type. One
// painter in src/ui puts the same items on the screen, a PDF, an SVG or a
// printer, so every form draws the same thing and all of it is tested
// without a screen.
#include <string>
#include <variant>
#include <vector>

#include "session/drawing.h"

namespace quarnel {

struct PagePoint {
    double x = 0;
    double y = 0;
    friend bool operator==(const PagePoint&, const PagePoint&) = default;
};

// A proportional face for words, a fixed-width face for calling and rows, so
// that calls stand under their positions.
enum class Face { Proportional, Fixed };
enum class Align { Left, Centre, Right };

inline constexpr Rgb LightGrey{170, 170, 170};
inline constexpr Rgb DarkGrey{90, 90, 90};
inline constexpr Rgb BlueLineBlue{0, 60, 230};
inline constexpr Rgb TrebleRed{220, 0, 0};

// A run of text on one baseline. With pitch 0, at is the baseline's left end,
// centre or right end as aligned. With a pitch, character i is centred on
// at.x + i * pitch (a row of a blue line, each bell in its place's column).
struct PageText {
    PagePoint at;
    std::string text;
    double size = 10;  // points
    Face face = Face::Proportional;
    bool bold = false;
    Align align = Align::Left;
    double pitch = 0;
    Rgb colour = Black;
};

// A line through its points, width in points, round joins.
struct PageLine {
    std::vector<PagePoint> points;
    double width = 0.5;
    Rgb colour = Black;
};

struct PageCircle {
    PagePoint centre;
    double radius = 0;
    double width = 0.5;
    Rgb colour = Black;
};

// Painted in order: later items over earlier ones.
using PageItem = std::variant<PageText, PageLine, PageCircle>;

struct PaperSize {
    double width = 0;
    double height = 0;
};
inline constexpr PaperSize A4{595.28, 841.89};
inline constexpr PaperSize Letter{612, 792};

struct Page {
    double width = A4.width;
    double height = A4.height;
    std::vector<PageItem> items;
};

// A block of items drawn from its own top left, width by height points; a
// page or a file takes it whole, or places it with an offset.
struct Figure {
    double width = 0;
    double height = 0;
    std::vector<PageItem> items;
};

// Adds the figure's items to the page, moved by origin.
void place(Page& page, const Figure& figure, PagePoint origin);
// A page just big enough for the figure (an SVG or PNG of a blue line).
Page pageOf(const Figure& figure);

// The width of a text in the fixed face: every character 0.6 of the size
// (DejaVu Sans Mono, Courier and Liberation Mono all advance 0.6 em).
inline constexpr double FixedAdvance = 0.6;
double fixedWidth(const std::string& text, double size);
// A generous estimate of a text's width in the proportional face (0.56 of
// the size a character, wider than the average of Sans faces) for breaking
// lines before they reach the margin.
double proportionalWidth(const std::string& text, double size, bool bold);

// The items as text, one a line, numbers to 0.1 pt: every text in full, a
// line or circle by its colour, width and ends. For tests and golden files.
std::string pageDump(const Page& page);

}  // namespace quarnel
