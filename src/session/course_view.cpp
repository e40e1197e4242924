#include "session/course_view.h"

#include <algorithm>

#include "composition/calling.h"
#include "composition/composition.h"
#include "composition/layout_text.h"

namespace quarnel {
namespace {

void addSpan(std::vector<CourseSpan>& line, int& width, int column, std::string text, int lead) {
    width = std::max(width, column + static_cast<int>(text.size()));
    line.push_back({column, std::move(text), lead});
}

std::string letterOf(const Composition& c, const CompositionCalling& calling, int n) {
    const Lead& lead = *c.leadAt(n);
    if (c.committedMethodAt(n) == nullptr) return "?";
    const std::string& name = lead.name().empty() ? lead.notation() : lead.name();
    for (const MethodLetter& l : calling.letters)
        if (l.name == name) return l.letter;
    return "?";
}

}  // namespace

CourseViewText courseViewText(const Composition& c) {
    CourseViewText view;
    if (c.leadCount() == 0) return view;
    const CompositionCalling calling = compositionCalling(c);
    const std::vector<char>& order = calling.positionOrder;
    // Columns: the course head (8 wide for bells 2 to 8), two for each
    // position, then the methods.
    const int headWidth = calling.tenorsHomeAtEveryCourseHead ? 5 : 7;
    const int firstPosition = headWidth + 2;
    const int methodsColumn = firstPosition + 3 * static_cast<int>(order.size()) + (order.empty() ? 0 : 1);
    std::vector<CourseSpan> heading;
    addSpan(heading, view.width, 0, calling.tenorsHomeAtEveryCourseHead ? "23456" : "2345678", 0);
    for (std::size_t k = 0; k < order.size(); ++k)
        addSpan(heading, view.width, firstPosition + 3 * static_cast<int>(k), std::string(1, order[k]), 0);
    addSpan(heading, view.width, methodsColumn, "Methods", 0);
    view.lines.push_back(std::move(heading));
    // Courses are grouped as the layout writer groups them: courses of one
    // call repeating the last call at its position are one line, the call
    // counted ("2" under H), the course head the last course's.
    for (const LayoutLine& group : layoutLines(calling)) {
        const CourseCalling& first = calling.courses[group.firstCourse];
        const CourseCalling& last = calling.courses[group.firstCourse + group.courses - 1];
        std::vector<CourseSpan> line;
        addSpan(line, view.width, 0, courseHeadText(last.end), 0);
        // Each call under the first column of its position not yet used in
        // the course, in order; a call with no such column goes after the last.
        std::size_t column = 0;
        for (std::size_t i = 0; i < group.calls.size(); ++i) {
            const CallAt& call = group.calls[i];
            std::size_t at = column;
            while (at < order.size() && order[at] != call.position) ++at;
            if (at == order.size()) at = std::min(column, order.size());
            const int count = i + 1 == group.calls.size() ? group.repeats : 1;
            addSpan(line, view.width, firstPosition + 3 * static_cast<int>(at), callCell(call.call, count), call.lead);
            column = at + 1;
        }
        int x = methodsColumn;
        for (int n = first.firstLead; n < last.firstLead + last.leadCount; ++n) {
            std::string text = letterOf(c, calling, n);
            const Call call = c.callAt(n).value_or(Call::Plain);
            if (call == Call::Bob) text += '.';
            if (call == Call::Single) text += 's';
            const int size = static_cast<int>(text.size());
            addSpan(line, view.width, x, std::move(text), n);
            x += size;
        }
        view.lines.push_back(std::move(line));
    }
    std::vector<CourseSpan> parts;
    const int count = c.partCount();
    // "5 part", as the published layout writes it: the calling above is
    // one part, rung that many times.
    addSpan(parts, view.width, 0, std::to_string(count) + " part, " +
                                      std::to_string(static_cast<long long>(count) * c.leadLength() * static_cast<long long>(c.leadCount())) +
                                      " changes",
            0);
    view.lines.push_back({});
    view.lines.push_back(std::move(parts));
    std::vector<MethodLetter> key = calling.letters;
    std::sort(key.begin(), key.end(), [](const MethodLetter& a, const MethodLetter& b) { return a.letter < b.letter; });
    for (const MethodLetter& l : key) {
        std::vector<CourseSpan> line;
        addSpan(line, view.width, 0, l.letter + " " + l.name, 0);
        view.lines.push_back(std::move(line));
    }
    return view;
}

std::string plainText(const CourseViewText& view) {
    std::string text;
    for (const auto& line : view.lines) {
        std::string out;
        for (const CourseSpan& span : line) {
            if (static_cast<int>(out.size()) < span.column) out.resize(static_cast<std::size_t>(span.column), ' ');
            out += span.text;
        }
        text += out + "\n";
    }
    return text;
}

int courseViewLeadAt(const CourseViewText& view, int line, int column) {
    if (line < 0 || static_cast<std::size_t>(line) >= view.lines.size()) return 0;
    for (const CourseSpan& span : view.lines[static_cast<std::size_t>(line)])
        if (span.lead != 0 && column >= span.column && column < span.column + static_cast<int>(span.text.size())) return span.lead;
    return 0;
}

}  // namespace quarnel
