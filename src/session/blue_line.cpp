#include "session/blue_line.h"

#include <algorithm>

#include "methods/method_library.h"
#include "ringing/bell_symbols.h"
#include "ringing/method.h"
#include "session/sheet.h"

namespace quarnel {

namespace {

// The lead-end change a code's lead ends with: "12" for a to f, "18" after.
const char* leadEndPlaces(char code) { return code < 'g' ? "12" : "18"; }

// At most eight leads: a Major method's plain course returns to rounds by
// then.
constexpr int MaxLeads = 8;

}  // namespace

std::string printedNotation(const Method& method) {
    if (!method.hasNotation()) return std::string();
    std::string out;
    bool lastWasPlaces = false;
    for (int i = 0; i < method.halfLength(); ++i) {
        const Change& change = method.change(i);
        if (change.isCross()) {
            out += '-';
            lastWasPlaces = false;
        } else {
            if (lastWasPlaces) out += '.';
            out += change.text();
            lastWasPlaces = true;
        }
    }
    return out + "," + leadEndPlaces(method.code());
}

BlueLine blueLine(const Method& method, const std::string& title, const BlueLineOptions& options,
                  const BlueLineStyle& s) {
    BlueLine line;
    BellPaths paths{};
    const int length = method.leadLength();
    if (!method.hasNotation() || length > 32 || !method.fillBellPaths(paths)) return line;
    const Row leadHead = method.row(length);
    int leads = options.leads;
    if (leads <= 0) {
        leads = 1;
        for (Row r = leadHead; !r.isRounds() && leads < MaxLeads; r = r.times(leadHead)) ++leads;
    }
    line.workingBell = method.code() < 'g' ? 1 : 7;

    Figure& f = line.figure;
    const double top = 2 * s.name + s.notation + 4;  // the centre of the first row
    const double leadWidth = BellCount * s.place;
    f.width = s.gap + leads * (leadWidth + s.gap);
    f.height = top + length * s.row + s.row;
    f.items.push_back(PageText{{0, s.name}, title, s.name, Face::Proportional, true});
    f.items.push_back(PageText{{0, s.name + s.notation + 4},
                               printedNotation(method) + "   lead head " + leadHead.text() + " (" +
                                   static_cast<char>(method.code()) + ")",
                               s.notation, Face::Fixed});

    const auto x = [&](double left, int place) { return left + (place + 0.5) * s.place; };
    const auto y = [&](int r) { return top + r * s.row; };
    Row start;  // the lead head of lead k, from rounds
    for (int k = 0; k < leads; ++k) {
        const double left = s.gap + k * (leadWidth + s.gap);
        line.leadOrigins.push_back({left, top});
        PageLine treble{{}, 0.8, TrebleRed};
        PageLine working{{}, 1.8, BlueLineBlue};
        for (int r = 0; r <= length; ++r) {
            const Row row = start.times(method.row(r));
            treble.points.push_back({x(left, row.placeOfBell(0)), y(r)});
            working.points.push_back({x(left, row.placeOfBell(line.workingBell)), y(r)});
            if (options.numbers) {
                std::string text = row.text();
                text[static_cast<std::size_t>(row.placeOfBell(0))] = ' ';
                text[static_cast<std::size_t>(row.placeOfBell(line.workingBell))] = ' ';
                f.items.push_back(PageText{{x(left, 0), y(r) + 0.36 * s.digits}, text, s.digits, Face::Fixed, false,
                                           Align::Left, s.place, LightGrey});
            }
        }
        // The lead end: a line between the lead end and the next lead head.
        const double endY = (y(length - 1) + y(length)) / 2;
        f.items.push_back(PageLine{{{left - 1, endY}, {left + leadWidth + 1, endY}}, 0.5, DarkGrey});
        f.items.push_back(std::move(treble));
        f.items.push_back(std::move(working));
        // The place bell, circled beside the lead head.
        const int placeBell = start.placeOfBell(line.workingBell) + 1;
        line.placeBells.push_back(placeBell);
        const double radius = std::min(s.gap * 0.38, 4.5);
        const PagePoint centre{left - s.gap / 2, y(0)};
        f.items.push_back(PageCircle{centre, radius, 0.6, BlueLineBlue});
        f.items.push_back(PageText{{centre.x, centre.y + 0.36 * radius * 1.4}, std::string(1, bellSymbol(placeBell - 1)),
                                   radius * 1.4, Face::Proportional, true, Align::Centre, 0, BlueLineBlue});
        start = start.times(leadHead);
    }
    return line;
}

std::string blueLineTitle(const Method& method, const MethodLibrary& library) {
    const std::string notation = method.notationText();
    const std::string& name = library.nameOf(notation);
    return name.empty() ? notation : methodTitle(name);
}

Page blueLinePage(const BlueLine& line) {
    const Figure framed{line.figure.width + 2 * BlueLineMargin, line.figure.height + 2 * BlueLineMargin, {}};
    Page page = pageOf(framed);
    place(page, line.figure, {BlueLineMargin, BlueLineMargin});
    return page;
}

}  // namespace quarnel
