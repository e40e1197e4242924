#include "composition/layout_text.h"

#include <algorithm>
#include <sstream>

#include "composition/analysis.h"
#include "composition/calling.h"
#include "composition/composer_line.h"
#include "composition/composition.h"
#include "composition/layout_reader.h"
#include "methods/method_library.h"
#include "methods/name_matching.h"
#include "ringing/model_error.h"

namespace quarnel {

std::string courseHeadText(const Row& row) {
    const std::string text = row.text();
    return tenorsHome(row) ? text.substr(1, 5) : text.substr(1);
}

namespace {

std::string methodNameOf(const Composition& c, int n) {
    if (c.committedMethodAt(n) == nullptr) return std::string();
    const Lead& lead = *c.leadAt(n);
    return lead.name().empty() ? lead.notation() : lead.name();
}

// The name a layout prints for a library method: without its class when
// that reads back to the same method, otherwise the library name.
std::string printedName(const MethodLibrary& library, MethodNameIndex& names, const std::string& name) {
    const std::string base = baseMethodName(name);
    std::string why;
    return resolveLayoutMethod(library, names, base, why) == name ? base : name;
}

std::string className(const std::string& name) {
    if (name.size() > 2 && name.compare(name.size() - 2, 2, " S") == 0) return "Surprise";
    if (name.size() > 2 && name.compare(name.size() - 2, 2, " D") == 0) return "Delight";
    if (name.size() > 3 && name.compare(name.size() - 3, 3, " TB") == 0) return "Treble Bob";
    return std::string();
}

std::string padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string trimmedRight(std::string line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

long long lengthOf(const Composition& c) {
    return static_cast<long long>(c.partCount()) * c.leadLength() * static_cast<long long>(c.leadCount());
}

std::string partsLine(const Composition& c) { return std::to_string(c.partCount()) + " part\n"; }

// "5088 Yorkshire Surprise Major" for one method, "5024 Spliced Surprise
// Major (4m)" for several (the class left out where they differ), "1280
// Major" when no lead has a method.
std::string titleLine(const Composition& c, const std::vector<std::string>& methodOfLead, std::size_t methodCount) {
    std::string out = std::to_string(lengthOf(c));
    std::vector<std::string> named;
    for (const std::string& m : methodOfLead)
        if (!m.empty()) named.push_back(m);
    if (named.empty()) return out + " Major\n";
    std::string cls = className(named.front());
    for (const std::string& m : named)
        if (className(m) != cls) cls.clear();
    if (methodCount == 1) return out + " " + baseMethodName(named.front()) + (cls.empty() ? std::string() : " " + cls) + " Major\n";
    return out + " Spliced " + (cls.empty() ? std::string() : cls + " ") + "Major (" + std::to_string(methodCount) + "m)\n";
}

std::string leadList(const Composition& c, const MethodLibrary& library) {
    MethodNameIndex names;
    std::vector<std::string> printed;
    std::size_t width = 0;
    for (int n = 1; n <= static_cast<int>(c.leadCount()); ++n) {
        const std::string name = methodNameOf(c, n);
        printed.push_back(name.empty() ? std::string("?") : printedName(library, names, name));
        width = std::max(width, printed.back().size());
    }
    std::vector<std::string> methodOfLead;
    for (int n = 1; n <= static_cast<int>(c.leadCount()); ++n) methodOfLead.push_back(methodNameOf(c, n));
    std::vector<std::string> distinct = methodOfLead;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    distinct.erase(std::remove(distinct.begin(), distinct.end(), std::string()), distinct.end());
    std::string out = titleLine(c, methodOfLead, distinct.size());
    for (int n = 1; n <= static_cast<int>(c.leadCount()); ++n) {
        const Lead& lead = *c.leadAt(n);
        const Call call = callOfLead(lead);
        const char mark = symbolOf(call);
        out += padded(printed[static_cast<std::size_t>(n - 1)], width) + "  " + mark + "  " + lead.nextLeadHead().text().substr(1) + "\n";
    }
    return out + partsLine(c);
}

// The header and rows, each column as wide as its widest cell, two spaces
// between columns.
std::string tableText(const std::vector<std::string>& headerRow, const std::vector<std::vector<std::string>>& table) {
    std::vector<std::size_t> widths(headerRow.size(), 0);
    for (std::size_t col = 0; col < headerRow.size(); ++col) {
        widths[col] = headerRow[col].size();
        for (const auto& row : table) widths[col] = std::max(widths[col], row[col].size());
    }
    const auto writeRow = [&widths](const std::vector<std::string>& row) {
        std::string text;
        for (std::size_t col = 0; col < row.size(); ++col) text += padded(row[col], widths[col]) + (col + 1 < row.size() ? "  " : "");
        return trimmedRight(text) + "\n";
    };
    std::string out = writeRow(headerRow);
    for (const auto& row : table) out += writeRow(row);
    return out;
}

// The positions in the order a layout of one method prints them: the order
// the tenor meets them in a plain course from the course head, Home last
// ("M I B F V W H" for Bristol, whose tenor meets Home first).
std::string columnOrder(char code) {
    std::string order;
    for (const char p : plainCourseMeetings(code))
        if (p != 'H' && order.find(p) == std::string::npos) order += p;
    return order + 'H';
}

// The layout of one method in blocks, as composers print Bristol: a line
// takes its calls in the columns' order, each at the next lead end where
// the tenor meets its position, over as many courses as it takes, and ends
// at the course head after its last call; a number under a position counts
// its calls ("5" under B: a Before in each of five courses, "2" under M: two
// Middles at successive lead ends). Empty when the part cannot be written so
// (a call before a position already met since the call before it, or two
// positions out of the columns' order within a course).
std::string blockLayout(const Composition& c, const MethodLibrary& library) {
    const int leads = static_cast<int>(c.leadCount());
    const std::string name = methodNameOf(c, 1);
    if (name.empty()) return std::string();
    for (int n = 2; n <= leads; ++n)
        if (methodNameOf(c, n) != name) return std::string();
    const std::string order = columnOrder(codeOfLead(*c.leadAt(1)));
    struct Cell {
        Call call;
        std::size_t column;
        int count;
    };
    struct Line {
        std::vector<Cell> cells;
        Row head;
    };
    std::vector<Line> lines;
    Line open;
    std::vector<Row> homes;  // the course heads since the last call (or the start)
    // The positions met since the last call and since the last course head.
    std::string metSinceCall;
    std::string metSinceHead;
    bool started = false;  // the open line has a call
    for (int n = 1; n <= leads; ++n) {
        const Lead& lead = *c.leadAt(n);
        const Call call = callOfLead(lead);
        if (call != Call::Plain) {
            const char position = positionAtLeadEnd(lead.leadEnd(), call);
            const std::size_t column = order.find(position);
            if (column == std::string::npos) return std::string();
            const bool follows = started && homes.size() <= 1 && metSinceCall.find(position) == std::string::npos &&
                                 (column > open.cells.back().column ||
                                  (column == open.cells.back().column && call == open.cells.back().call));
            // A line from the last course head takes the call at the first
            // meeting of its position.
            if (!follows && metSinceHead.find(position) != std::string::npos) return std::string();
            if (started && !follows) {
                // The line ends at the first course head after its last call;
                // whole plain courses after it are lines without calls.
                if (homes.empty()) return std::string();
                open.head = homes.front();
                lines.push_back(std::move(open));
                open = Line{};
                for (std::size_t k = 1; k < homes.size(); ++k) lines.push_back({{}, homes[k]});
            } else if (!started) {
                for (const Row& head : homes) lines.push_back({{}, head});
            }
            if (follows && column == open.cells.back().column)
                ++open.cells.back().count;
            else
                open.cells.push_back({call, column, 1});
            started = true;
            homes.clear();
            metSinceCall.clear();
            metSinceHead.clear();
        } else {
            for (const Call any : {Call::Bob, Call::Single}) {
                metSinceCall += positionAtLeadEnd(lead.leadEnd(), any);
                metSinceHead += positionAtLeadEnd(lead.leadEnd(), any);
            }
        }
        if (tenorHome(lead.nextLeadHead())) {
            homes.push_back(lead.nextLeadHead());
            metSinceHead.clear();
        }
    }
    if (homes.empty()) return std::string();
    if (started) {
        open.head = homes.front();
        lines.push_back(std::move(open));
        homes.erase(homes.begin());
    }
    for (const Row& head : homes) lines.push_back({{}, head});

    std::vector<bool> used(order.size(), false);
    for (const Line& line : lines)
        for (const Cell& cell : line.cells) used[cell.column] = true;
    std::vector<std::string> headerRow{"23456"};
    std::vector<std::size_t> columnOf(order.size(), 0);
    for (std::size_t k = 0; k < order.size(); ++k)
        if (used[k]) {
            columnOf[k] = headerRow.size();
            headerRow.emplace_back(1, order[k]);
        }
    std::vector<std::vector<std::string>> table;
    for (const Line& line : lines) {
        if (!tenorsHome(line.head)) return std::string();
        std::vector<std::string> row(headerRow.size());
        row[0] = courseHeadText(line.head);
        for (const Cell& cell : line.cells) row[columnOf[cell.column]] = callCell(cell.call, cell.count);
        table.push_back(std::move(row));
    }
    MethodNameIndex names;
    std::vector<std::string> methodOfLead(static_cast<std::size_t>(leads), name);
    return titleLine(c, methodOfLead, 1) + "Method: " + printedName(library, names, name) + "\n" +
           tableText(headerRow, table) + partsLine(c);
}

// The course layout, or empty when the composition cannot be written so.
std::string courseLayout(const Composition& c, const MethodLibrary& library) {
    const CompositionCalling calling = compositionCalling(c);
    if (!calling.tenorsHomeAtEveryCourseHead) return std::string();
    const std::vector<LayoutLine> lines = layoutLines(calling);
    // Methods: one method for all leads, or a Methods column.
    std::vector<std::string> methodOfLead;
    for (int n = 1; n <= static_cast<int>(c.leadCount()); ++n) methodOfLead.push_back(methodNameOf(c, n));
    const bool single = std::all_of(methodOfLead.begin(), methodOfLead.end(),
                                    [&](const std::string& m) { return m == methodOfLead.front(); });
    if (methodOfLead.front().empty() && single) return std::string();
    std::vector<std::string> letterOfLead;
    for (const std::string& m : methodOfLead) {
        std::string letter = "?";
        for (const MethodLetter& l : calling.letters)
            if (l.name == m) letter = l.letter;
        letterOfLead.push_back(letter);
    }
    // Columns: the course head, the positions in order, Methods.
    const std::vector<char>& order = calling.positionOrder;
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> headerRow{"23456"};
    for (char p : order) headerRow.emplace_back(1, p);
    if (!single) headerRow.emplace_back("Methods");
    for (const LayoutLine& line : lines) {
        std::vector<std::string> row(headerRow.size());
        const CourseCalling& lastCourse = calling.courses[line.firstCourse + line.courses - 1];
        row[0] = courseHeadText(lastCourse.end);
        std::size_t column = 0;
        for (std::size_t i = 0; i < line.calls.size(); ++i) {
            while (column < order.size() && order[column] != line.calls[i].position) ++column;
            if (column == order.size()) return std::string();
            const bool last = i + 1 == line.calls.size();
            row[column + 1] = callCell(line.calls[i].call, last ? line.repeats : 1);
            ++column;
        }
        if (!single) {
            std::string methods;
            const int first = calling.courses[line.firstCourse].firstLead;
            const int end = lastCourse.firstLead + lastCourse.leadCount;
            for (int n = first; n < end; ++n) {
                methods += letterOfLead[static_cast<std::size_t>(n - 1)];
                const Call call = callOfLead(*c.leadAt(n));
                if (call == Call::Bob) methods += '.';
                if (call == Call::Single) methods += 's';
            }
            row.back() = methods;
        }
        table.push_back(std::move(row));
    }
    MethodNameIndex names;
    std::string out = titleLine(c, methodOfLead, calling.letters.size());
    if (single) out += "Method: " + printedName(library, names, methodOfLead.front()) + "\n";
    out += tableText(headerRow, table);
    out += partsLine(c);
    if (!single) {
        std::vector<MethodLetter> key = calling.letters;
        std::sort(key.begin(), key.end(), [](const MethodLetter& a, const MethodLetter& b) { return a.letter < b.letter; });
        std::string keyLine;
        for (const MethodLetter& l : key) keyLine += (keyLine.empty() ? std::string() : std::string(", ")) + l.letter + " " + printedName(library, names, l.name);
        out += keyLine + "\n";
        const MethodBalance balance = methodBalance(c);
        std::string contains = "Contains";
        for (const MethodFigures& m : balance.methods)
            contains += std::string(" ") + std::to_string(m.changes) + " " + baseMethodName(m.name) + ",";
        out += contains + " " + std::to_string(balance.changesOfMethod) + " changes of method\n";
    }
    return out;
}

// The composer's line under the title, as composers publish it.
std::string withComposer(std::string text, const Composition& c) {
    if (c.composer().empty()) return text;
    const std::size_t titleEnd = text.find('\n');
    text.insert(titleEnd == std::string::npos ? text.size() : titleEnd + 1, composerLine(c.composer()) + "\n");
    return text;
}

}  // namespace

std::vector<LayoutLine> layoutLines(const CompositionCalling& calling) {
    // A course whose one call repeats the last call of the line before at
    // the same position is a repeat.
    std::vector<LayoutLine> lines;
    for (std::size_t k = 0; k < calling.courses.size(); ++k) {
        const CourseCalling& course = calling.courses[k];
        if (!lines.empty() && course.calls.size() == 1 && !lines.back().calls.empty()) {
            const CallAt& last = lines.back().calls.back();
            if (last.call == course.calls[0].call && last.position == course.calls[0].position) {
                ++lines.back().courses;
                ++lines.back().repeats;
                continue;
            }
        }
        lines.push_back({k, 1, course.calls, 1});
    }
    return lines;
}

std::string callCell(Call call, int count) {
    if (call == Call::Single) return count == 1 ? "s" : std::string("s") + std::to_string(count);
    return count == 1 ? "-" : std::to_string(count);
}

std::string layoutText(const Composition& c, const MethodLibrary& library, bool leadHeads) {
    if (c.leadCount() == 0) return std::string();
    if (!leadHeads) {
        // Of one method, in blocks when they read back; otherwise course by
        // course. Written only when it reads back to the same leads: a call
        // the tenor meets its position for twice in a course is not at the
        // first chance, and a layout could not say which.
        std::ostringstream saved;
        c.save(saved);
        for (const std::string& layout : {blockLayout(c, library), courseLayout(c, library)}) {
            if (layout.empty()) continue;
            try {
                const std::string published = withComposer(layout, c);
                if (readLayout(published, library) == saved.str()) return published;
            } catch (const ModelError&) {
            }
        }
    }
    return withComposer(leadList(c, library), c);
}

}  // namespace quarnel
