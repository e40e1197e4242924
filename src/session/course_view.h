#pragma once
// The course view: a composition as composers read it, one line a course
// (courses repeating one call at one position on one line, the call counted,
// as the published layout writes spliced; the layout of one method may print
// blocks over several courses, but the view stays course by course, so that
// a line's method letters are the leads of one course). Each line has the course head (the
// lead head the course comes round to, bells 2 to 6 when the tenors are
// home), the calls under the calling positions and the method letters of
// its leads ("." after a bob, "s" after a single, "?" for a lead without a
// method); under the courses the part count ("5 part": the calling is one
// part) and the key of method letters. Laid out in character cells for a
// fixed-width font; each piece of text knows the lead it stands for, so the
// view colours it as the lead list does and a click finds the lead.
#include <string>
#include <vector>

namespace quarnel {

class Composition;

// A piece of text at a column (in characters) of a line; lead 0 for text
// that is no lead's (headings, course heads, the key).
struct CourseSpan {
    int column = 0;
    std::string text;
    int lead = 0;
    friend bool operator==(const CourseSpan&, const CourseSpan&) = default;
};

struct CourseViewText {
    std::vector<std::vector<CourseSpan>> lines;
    int width = 0;  // the widest line, in characters
};

CourseViewText courseViewText(const Composition& composition);

// The whole view as plain text, a line each (for tests and the clipboard).
std::string plainText(const CourseViewText& view);

// The lead whose text is at the character cell, or 0 for none.
int courseViewLeadAt(const CourseViewText& view, int line, int column);

}  // namespace quarnel
