#pragma once
// The blue line of a method as ringers learn it, as a figure of page items
// (session/page.h): the name and place notation above; the leads of the
// plain course side by side, each from its lead head to the next, the rows
// as numbers in light grey (or none); the treble's path in red, one working
// bell's path in blue and thick, the place bell it starts each lead as
// circled at the lead head, and a line under each lead end.
#include <string>
#include <vector>

#include "session/page.h"

namespace quarnel {

class Method;
class MethodLibrary;

// Place notation as ringers print it: the half lead in full places, "-" for
// the cross, "." between two changes that are not the cross, then a comma and
// the lead-end change ("-38-14-1258-36-14-58-16-78,12" for Cambridge).
// Empty for a method without notation.
std::string printedNotation(const Method& method);

struct BlueLineOptions {
    int leads = 0;         // 0: the plain course (until the lead head is rounds)
    bool numbers = true;   // the rows as grey numbers
};

// Sizes in points.
struct BlueLineStyle {
    double place = 6;      // between two places
    double row = 7.5;      // between two rows
    double digits = 6.5;   // the size of the rows' numbers
    double gap = 12;       // between leads, where the place bells are circled
    double name = 11;      // the name's size
    double notation = 8;   // the notation line's size
};

struct BlueLine {
    Figure figure;
    int workingBell = 0;           // bell index followed (1 is the second)
    std::vector<int> placeBells;   // per lead, the place (from 1) it starts in
    // Where lead k's rows start: the left edge of its first place and the
    // centre of its lead head row; row r of it is row * r lower, place p at
    // left + (p + 0.5) * place.
    std::vector<PagePoint> leadOrigins;
};

// Nothing drawn (an empty figure) for a method without notation or whose
// code has no lead-end row. The working bell is the second for codes a to f
// and the eighth after, as the diagram window follows; the title is the
// method's name, or its notation text when it has none.
BlueLine blueLine(const Method& method, const std::string& title, const BlueLineOptions& options = {},
                  const BlueLineStyle& style = {});

// The title a blue line of the method carries: the library's name as a
// title ("Cambridge Surprise Major"), or its notation text when the library
// has no name for it.
std::string blueLineTitle(const Method& method, const MethodLibrary& library);

// A page of the blue line with a margin around it, as its SVG, PNG or PDF
// file and the clipboard take it (the blue line of quarnel-cli line and of
// the diagrams' Save as).
inline constexpr double BlueLineMargin = 12;
Page blueLinePage(const BlueLine& line);

}  // namespace quarnel
