#include "session/drawing.h"

#include <algorithm>

#include "composition/composition.h"
#include "ringing/method.h"

namespace quarnel {

DisplayLayout displayLayout(int leadCount, int height) {
    DisplayLayout layout;
    if (leadCount <= 0) return layout;
    const int perColumn = std::max(1, height / 16);
    layout.columns = (leadCount - 1) / perColumn + 1;
    layout.rows = (leadCount - 1) / layout.columns + 1;
    return layout;
}

Point displayPosition(int index, const DisplayLayout& layout, int width, int height) {
    if (layout.rows <= 0 || layout.columns <= 0) return {};
    return {(index / layout.rows) * (width / layout.columns), ((index % layout.rows) * height) / layout.rows};
}

Rgb displayColour(const Composition& composition, int lead, int currentLead) {
    if (lead == currentLead) {
        const bool acceptable = composition.notFalseAgainst(0) && composition.trialMatchesAt(lead) &&
                                composition.notFalseAgainst(lead);
        return acceptable ? Blue : Violet;
    }
    return composition.notFalseAgainst(lead) ? Black : Red;
}

DiagramGeometry diagramGeometry(int width, int height) {
    DiagramGeometry g;
    g.unit = std::max(0, std::min(width / 65, height / 33));
    for (int r = 0; r <= 32; ++r) g.y[static_cast<std::size_t>(r)] = (height - 33 * g.unit) / 2 + r * g.unit;
    g.panelStep = 9 * g.unit;
    g.leftMargin = (width - 65 * g.unit) / 2;
    return g;
}

std::vector<Polyline> diagramLines(const Method& method, const DiagramGeometry& g) {
    std::vector<Polyline> lines;
    BellPaths paths{};
    const int length = method.leadLength();
    if (length > 32 || !method.fillBellPaths(paths)) return lines;
    auto line = [&](Rgb colour, int bell, int panel) {
        Polyline p{colour, {}};
        p.points.reserve(static_cast<std::size_t>(length) + 1);
        for (int r = 0; r <= length; ++r)
            p.points.push_back({paths[static_cast<std::size_t>(bell)][static_cast<std::size_t>(r)] * g.unit + panel * g.panelStep + g.leftMargin,
                                g.y[static_cast<std::size_t>(r)]});
        lines.push_back(std::move(p));
    };
    for (int panel = 0; panel < 7; ++panel) line(Red, 0, panel);
    int bell = method.code() < 'g' ? 1 : 7;
    for (int panel = 0; panel < 7; ++panel) {
        line(Blue, bell, panel);
        // The bell whose path continues the line: the one in the place this
        // bell reaches at the next lead head.
        bell = paths[static_cast<std::size_t>(bell)][static_cast<std::size_t>(length)];
    }
    return lines;
}

}  // namespace quarnel
