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

std::vector<std::string> leadListLines(const Composition& c, const std::vector<std::string>& held, MusicTable* music) {
    const int count = static_cast<int>(c.leadCount());
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    std::size_t width = 0;
    for (int n = 1; n <= count; ++n) {
        std::string line = c.displayLine(n);
        const std::size_t i = static_cast<std::size_t>(n - 1);
        if (c.committedMethodAt(n) == nullptr && held.size() == c.leadCount() && !held[i].empty()) {
            // Where a method's name would stand.
            line += " (held: " + held[i] + ")";
        }
        width = std::max(width, line.size());
        lines.push_back(std::move(line));
    }
    if (music == nullptr) return lines;
    std::vector<std::string> scores;
    std::size_t scoreWidth = 0;
    for (int n = 1; n <= count; ++n) {
        // As the dialog's lead music shows it: a lead without a method still
        // rings its lead head and lead end, so the column adds up to Total.
        scores.push_back(std::to_string(c.musicScore(n, *music, false)));
        scoreWidth = std::max(scoreWidth, scores.back().size());
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i].resize(width, ' ');
        lines[i] += "  " + std::string(scoreWidth - scores[i].size(), ' ') + scores[i];
    }
    return lines;
}

Point displayPosition(int index, const DisplayLayout& layout, int width, int height) {
    if (layout.rows <= 0 || layout.columns <= 0) return {};
    return {(index / layout.rows) * (width / layout.columns), ((index % layout.rows) * height) / layout.rows};
}

ListLayout listLayout(int leadCount, int width, int height, int lineWidth, int lineHeight) {
    ListLayout list;
    list.contentHeight = height;
    list.layout = displayLayout(leadCount, height);
    if (leadCount <= 0 || list.layout.columns * lineWidth <= width) return list;
    const int columns = std::max(1, width / std::max(1, lineWidth));
    list.layout.columns = std::min(columns, leadCount);
    list.layout.rows = (leadCount - 1) / list.layout.columns + 1;
    list.contentHeight = std::max(height, list.layout.rows * lineHeight);
    return list;
}

int displayIndexAt(Point point, const DisplayLayout& layout, int leadCount, int width, int contentHeight, int lineHeight) {
    if (layout.rows <= 0 || layout.columns <= 0 || point.x < 0 || point.y < 0) return -1;
    const int columnWidth = std::max(1, width / layout.columns);
    const int column = point.x / columnWidth;
    if (column >= layout.columns) return -1;
    // The line whose top is at or above the point and within a line's height.
    for (int row = layout.rows - 1; row >= 0; --row) {
        const int top = (row * contentHeight) / layout.rows;
        if (top > point.y) continue;
        if (point.y >= top + lineHeight) return -1;
        const int index = column * layout.rows + row;
        return index < leadCount ? index : -1;
    }
    return -1;
}

Rgb leadColour(const Composition& composition, int lead, int currentLead) {
    const Rgb colour = displayColour(composition, lead, currentLead);
    if (lead != currentLead && colour == Black && composition.leadInFalsePlan(lead)) return FalsePlanBrown;
    return colour;
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
