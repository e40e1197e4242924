#include "composition/layout_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>
#include <vector>

#include "composition/calling.h"
#include "composition/composer_line.h"
#include "composition/part_notes.h"
#include "ringing/bell_symbols.h"
#include "ringing/lead_end_table.h"
#include "ringing/model_error.h"
#include "ringing/part_end.h"
#include "ringing/row.h"

namespace quarnel {
namespace {

// More leads than this in one line of a layout, or in the whole part, is
// no composition of Major.
constexpr int MostLeadsInALine = 64;
constexpr std::size_t MostLeads = 5000;
constexpr int MostRepeats = 99;
// More parts than this, written out because a note varies some of them, is
// no composition of Major.
constexpr int MostPartsWrittenOut = 5040;
constexpr std::string_view PositionLetters = "LIBTFVMWH";

struct Token {
    std::string text;
    std::size_t start = 0;  // column of its first character
};

[[noreturn]] void fail(int line, const std::string& message) {
    throw ModelError("line " + std::to_string(line) + ": " + message);
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }
char lowerCase(char c) { return isUpper(c) ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = lowerCase(c);
    return out;
}

// Tokens split at blanks, with the column each starts at (a tab counts as
// one column).
std::vector<Token> tokens(std::string_view line) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i >= line.size()) break;
        Token t;
        t.start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') t.text += line[i++];
        out.push_back(std::move(t));
    }
    return out;
}

std::vector<std::string> splitTabs(std::string_view line) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i)
        if (i == line.size() || line[i] == '\t') {
            cells.emplace_back(trim(line.substr(start, i - start)));
            start = i + 1;
        }
    return cells;
}

std::optional<int> number(std::string_view s, int most) {
    int v = 0;
    if (s.empty() || s.size() > 6) return std::nullopt;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || v < 1 || v > most) return std::nullopt;
    return v;
}

// "3 part", "3-part", "3 parts", "3-part." -> 3.
std::optional<int> partsLine(std::string_view line) {
    std::string l = lowered(trim(line));
    // "5 part, substituting ...": a note may follow a comma.
    if (const auto comma = l.find_first_of(",;"); comma != std::string::npos) l = std::string(trim(std::string_view(l).substr(0, comma)));
    std::size_t i = 0;
    while (i < l.size() && isDigit(l[i])) ++i;
    if (i == 0) return std::nullopt;
    std::string_view rest = std::string_view(l).substr(i);
    rest = trim(rest);
    if (!rest.empty() && rest.front() == '-') rest.remove_prefix(1);
    rest = trim(rest);
    if (!rest.empty() && rest.back() == '.') rest.remove_suffix(1);
    if (rest != "part" && rest != "parts") return std::nullopt;
    return number(std::string_view(l).substr(0, i), 1000000);
}

// A row printed as bells 2 to 6 (tenors home), or 2 to 8, or all eight.
std::optional<Row> printedRow(std::string_view text) {
    std::string full(1, '1');
    if (text.size() == 5) {
        full += text;
        full += "78";
    } else if (text.size() == 7) {
        full += text;
    } else if (text.size() == 8 && text[0] == '1') {
        full = std::string(text);
    } else {
        return std::nullopt;
    }
    const auto row = Row::fromSymbols(full);
    if (!row || (*row)[0] != 0) return std::nullopt;
    return row;
}

bool looksLikeRow(std::string_view text) {
    return (text.size() == 5 || text.size() == 7 || text.size() == 8) &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '8'; });
}

// What the printed text of a row is compared with: bells 2 to 6 for a
// course head printed so, else 2 to 8.
std::string rowAsPrinted(const Row& row, std::size_t printedSize) {
    const std::string text = row.text();
    if (printedSize == 5 && tenorsHome(row)) return text.substr(1, 5);
    if (printedSize == 8) return text;
    return text.substr(1);
}

void checkRow(int line, const char* what, std::string_view printed, const Row& rung) {
    const auto row = printedRow(printed);
    if (!row) fail(line, std::string(what) + " " + std::string(printed) + " is no row of bells 2 to 8");
    if (*row != rung)
        fail(line, std::string(what) + " " + std::string(printed) + " printed, the calling rings " +
                       rowAsPrinted(rung, printed.size()));
}

struct LeadRead {
    std::string method;  // library name
    char code = 'A';     // upper case
    Call call = Call::Plain;
};


struct PlannedCall {
    Call call;
    char position;
    bool nextCourse;  // a repeat: made in the course after the one before
};

std::string positionsText(const std::string& met) {
    std::string out;
    for (char c : met) {
        if (!out.empty()) out += ", ";
        out += c;
    }
    return out.empty() ? std::string("none") : out;
}

// The calls of a line from the one at from on: "2 bobs at H, a single at W".
std::string callsText(const std::vector<PlannedCall>& planned, std::size_t from) {
    std::string out;
    for (std::size_t i = from; i < planned.size();) {
        std::size_t j = i;
        while (j < planned.size() && planned[j].position == planned[i].position && planned[j].call == planned[i].call) ++j;
        const std::size_t count = j - i;
        const std::string call = planned[i].call == Call::Single ? "single" : "bob";
        if (!out.empty()) out += ", ";
        out += (count == 1 ? "a " + call : std::to_string(count) + " " + call + "s") + " at " + planned[i].position;
        i = j;
    }
    return out;
}

// A method string: letters of the key ("C", or a capital and a small letter
// other than s), each followed by "." or "-" for a bob or "s" for a single.
bool isMethodString(std::string_view text) {
    if (text.empty() || !isUpper(text[0])) return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return isUpper(c) || isLower(c) || c == '.' || c == '-'; });
}

struct Reader {
    const MethodLibrary& library;
    MethodNameIndex names;
    std::map<std::string, std::string> key;  // letter -> library name
    bool keyGiven = false;                   // the text prints a key
    std::vector<LeadRead> leads;
    Row running;

    std::string resolve(int line, std::string_view typed) {
        std::string why;
        std::string name = resolveLayoutMethod(library, names, typed, why);
        if (name.empty()) fail(line, why);
        return name;
    }

    char codeOf(int line, const std::string& name) const {
        const std::string& notation = library.notationOf(name);
        const char code = notation.empty() ? 0 : static_cast<char>(notation[0] & 0x5F);
        if (leadEndRowOf(code) == nullptr) fail(line, "method " + name + " has no lead-head code of Major");
        return code;
    }

    // Rings one lead of the method from the running lead head with the call.
    void ring(int line, const std::string& method, Call call) {
        if (leads.size() >= MostLeads) fail(line, "more than " + std::to_string(MostLeads) + " leads in a part");
        const char code = codeOf(line, method);
        leads.push_back({method, code, call});
        running = leadHeadAfterCall(running.transposedBy(std::string_view(&code, 1)), call, code);
    }

    Row leadEndOf(const std::string& method, int line) const {
        const char code = codeOf(line, method);
        return running.transposedBy(std::string_view(&code, 1));
    }

    // The method a letter of a method string stands for: the key's, or,
    // when the text prints no key, the standard method that the letter
    // customarily stands for (R Rutland, N Lincolnshire, ...).
    std::string methodOfLetter(int line, const std::string& letter) {
        if (const auto it = key.find(letter); it != key.end()) return it->second;
        const std::string customary = keyGiven ? std::string() : customaryMethodOf(letter);
        if (customary.empty()) fail(line, "method letter " + letter + " is missing from the key");
        return key[letter] = resolve(line, customary + " Surprise");
    }

    // One line of a course layout of one method: the calls under the
    // positions, then the course head printed at its end. A line is read as
    // a block: from its start, each call in the order the columns print
    // them (the order the tenor meets the positions) at the next lead end
    // where the tenor is at its position, until every call is made and the
    // tenor is home. A number under a position counts its calls over the
    // line: "3" under H in Cambridge is three courses called Home, and "5"
    // under B in Bristol a block of five courses with a Before in each, the
    // line printing only the course head at its end; "2" under M in Bristol
    // is two Middles at successive lead ends, the tenor staying in 5-6.
    //
    // Where a line cannot be read, two readings say why. Read course by
    // course (each call in the course of the one before it, a repeat in the
    // next course) a call may find no place ("no B in this course"); that is
    // the error when the header does not print the positions in the order
    // the tenor meets them in a plain course, a layout typed out of order.
    // Otherwise the block reading's: a course head printed wrong, or calls
    // the tenor never meets. (Read course by course, a line rings the block
    // reading's leads with whole plain courses put in, and so the same
    // course head: it reads nothing the block reading does not.)
    void ringLine(int line, const std::string& method, const std::vector<PlannedCall>& planned,
                  const std::string& courseHead, const std::string& headerPositions) {
        const std::size_t leadsAtStart = leads.size();
        const Row start = running;
        bool uncalled = false;
        try {
            ringBlock(line, method, planned, uncalled);
            checkRow(line, "course head", courseHead, running);
            return;
        } catch (const ModelError& block) {
            if (uncalled) throw;
            leads.resize(leadsAtStart);
            running = start;
            bool placed = false;
            try {
                ringCourses(line, method, planned);
                placed = true;
                checkRow(line, "course head", courseHead, running);
            } catch (const ModelError&) {
                if (!placed && inCourseOrder(line, method, headerPositions)) throw block;
                throw;
            }
        }
    }

    // Whether the positions are printed in the order the tenor meets them
    // in a plain course of the method, begun at any lead ("M B W H" for
    // Bristol, whose tenor meets H, M, I, B, F, V, W from the course head).
    bool inCourseOrder(int line, const std::string& method, const std::string& positions) const {
        const std::string course = plainCourseMeetings(codeOf(line, method));
        int descents = 0;
        std::size_t first = std::string::npos;
        std::size_t last = std::string::npos;
        for (char position : positions) {
            const std::size_t at = course.find(position);
            if (at == std::string::npos) continue;  // a position of singles only
            if (first == std::string::npos) first = at;
            if (last != std::string::npos && at < last) ++descents;
            last = at;
        }
        if (first != std::string::npos && last > first) return descents == 0;
        return descents <= 1;
    }

    // Course by course: each call in the course of the call before it, a
    // repeat in the next course; the line ends when the tenor comes home
    // after its last call.
    void ringCourses(int line, const std::string& method, const std::vector<PlannedCall>& planned) {
        int steps = 0;
        const auto step = [&](Call call) {
            if (++steps > MostLeadsInALine) fail(line, "the tenor does not come home");
            ring(line, method, call);
        };
        for (const PlannedCall& p : planned) {
            if (p.nextCourse)
                while (!tenorHome(running)) step(Call::Plain);
            std::string met;
            while (true) {
                const char at = positionAtLeadEnd(leadEndOf(method, line), p.call);
                if (at == p.position) {
                    step(p.call);
                    break;
                }
                met += positionAtLeadEnd(leadEndOf(method, line), Call::Bob);
                step(Call::Plain);
                if (tenorHome(running))
                    fail(line, std::string("no ") + p.position + " in this course: the tenor meets " + positionsText(met) +
                                   " and comes home at " + rowAsPrinted(running, 5));
            }
        }
        if (planned.empty() || !tenorHome(running)) {
            step(Call::Plain);
            while (!tenorHome(running)) step(Call::Plain);
        }
    }

    // As a block: lead after lead from the start of the line, the calls
    // taken in the order the columns print them (the order the tenor meets
    // the positions), each at the next lead end where the tenor is at its
    // position, which may be in a later course or, where the tenor stays at
    // a position (Bristol's Middle and Wrong), at the very next lead end; the
    // line ends when every call is made and the tenor is home. A course from
    // a course head in which the next call does not fall would come round
    // again and again: uncalled says the line fails so.
    void ringBlock(int line, const std::string& method, const std::vector<PlannedCall>& planned, bool& uncalled) {
        bool homeSinceCall = tenorHome(running);
        std::string met;
        for (std::size_t next = 0; next < planned.size();) {
            const PlannedCall& p = planned[next];
            const Row leadEnd = leadEndOf(method, line);
            if (positionAtLeadEnd(leadEnd, p.call) == p.position) {
                ring(line, method, p.call);
                ++next;
                homeSinceCall = false;
                met.clear();
                continue;
            }
            met += positionAtLeadEnd(leadEnd, Call::Bob);
            ring(line, method, Call::Plain);
            if (!tenorHome(running)) continue;
            if (homeSinceCall) {
                uncalled = true;
                fail(line, std::string("no ") + p.position + " in a whole course: the tenor meets " + positionsText(met) +
                               " and comes home at " + rowAsPrinted(running, 5) + "; left uncalled: " +
                               callsText(planned, next));
            }
            homeSinceCall = true;
            met.clear();
        }
        // A line with no calls is a plain course.
        if (planned.empty()) ring(line, method, Call::Plain);
        while (!tenorHome(running)) ring(line, method, Call::Plain);
    }

    std::vector<LeadRead> methodString(int line, std::string_view text) {
        std::vector<LeadRead> out;
        std::size_t i = 0;
        while (i < text.size()) {
            std::string letter(1, text[i]);
            if (!isUpper(text[i])) fail(line, std::string(1, '"') + text[i] + "\" stands for no method in " + std::string(text));
            ++i;
            if (i < text.size() && isLower(text[i]) && text[i] != 's') letter += text[i++];
            LeadRead lead{methodOfLetter(line, letter), 'A', Call::Plain};
            if (i < text.size() && (text[i] == '.' || text[i] == '-')) {
                lead.call = Call::Bob;
                ++i;
            } else if (i < text.size() && text[i] == 's') {
                lead.call = Call::Single;
                ++i;
            }
            out.push_back(std::move(lead));
        }
        return out;
    }
};

// A key line: "C Cambridge, Y Yorkshire", "C = Cambridge; Y: Yorkshire" or
// "Cambridge (C), Yorkshire (Y)". The letters and names, or nothing.
std::optional<std::vector<std::pair<std::string, std::string>>> keyLine(std::string_view line) {
    std::vector<std::pair<std::string, std::string>> items;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i < line.size() && line[i] != ',' && line[i] != ';') continue;
        std::string_view item = trim(line.substr(start, i - start));
        start = i + 1;
        if (item.empty()) return std::nullopt;
        std::string letter;
        std::string_view name;
        if (item.back() == ')') {
            const auto open = item.rfind('(');
            if (open == std::string_view::npos) return std::nullopt;
            letter = std::string(trim(item.substr(open + 1, item.size() - open - 2)));
            name = trim(item.substr(0, open));
        } else {
            std::size_t k = 0;
            while (k < item.size() && (isUpper(item[k]) || isLower(item[k]))) ++k;
            letter = std::string(item.substr(0, k));
            name = trim(item.substr(k));
            if (!name.empty() && (name.front() == '=' || name.front() == ':')) name = trim(name.substr(1));
        }
        const bool letterOk = (letter.size() == 1 && isUpper(letter[0])) ||
                              (letter.size() == 2 && isUpper(letter[0]) && isLower(letter[1]) && letter[1] != 's');
        if (!letterOk || name.size() < 2 || !(isUpper(name[0]) || isLower(name[0]))) return std::nullopt;
        if (std::any_of(name.begin(), name.end(), [](char c) { return isDigit(c); })) return std::nullopt;
        items.emplace_back(letter, std::string(name));
    }
    return items;
}

// A call cell: "-", "s", "2" (two bobs), "s2", "--", "ss", optionally in
// brackets. The call and how many in successive courses.
std::optional<std::pair<Call, int>> callCell(std::string_view cell) {
    if (cell.size() > 2 && cell.front() == '(' && cell.back() == ')') cell = cell.substr(1, cell.size() - 2);
    if (cell.empty()) return std::nullopt;
    if (std::all_of(cell.begin(), cell.end(), [](char c) { return c == '-'; }) && cell.size() <= MostRepeats)
        return std::make_pair(Call::Bob, static_cast<int>(cell.size()));
    if (std::all_of(cell.begin(), cell.end(), [](char c) { return c == 's'; }) && cell.size() <= MostRepeats)
        return std::make_pair(Call::Single, static_cast<int>(cell.size()));
    if (const auto n = number(cell, MostRepeats)) return std::make_pair(Call::Bob, *n);
    if (cell[0] == 's' || cell[0] == '-')
        if (const auto n = number(cell.substr(1), MostRepeats))
            return std::make_pair(cell[0] == 's' ? Call::Single : Call::Bob, *n);
    return std::nullopt;
}

bool isHeaderRounds(std::string_view t) { return t == "23456" || t == "2345678" || t == "12345678"; }
// A title over a column of a course layout: a calling position (a letter or
// two) or the Methods column. A longer word beside rounds is a method's name
// and the line a lead of a lead list whose lead head is rounds.
bool isColumnTitle(std::string_view t) {
    if (t.size() <= 2) return true;
    std::string low(t);
    for (char& c : low) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return low == "methods" || low == "method";
}
bool isAlphabetic(std::string_view t) {
    return !t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return isUpper(c) || isLower(c); });
}

struct Column {
    std::string title;  // a position letter, or "Methods"
    std::size_t start = 0;
    std::size_t end = 0;
};

}  // namespace

std::string resolveLayoutMethod(const MethodLibrary& library, MethodNameIndex& names, std::string_view typed,
                                std::string& why) {
    std::string text(trim(typed));
    // "Yorkshire Surprise Major": the stage is always Major.
    for (std::string_view stage : {" Major", " major"})
        if (text.size() > stage.size() && text.compare(text.size() - stage.size(), stage.size(), stage) == 0)
            text = std::string(trim(std::string_view(text).substr(0, text.size() - stage.size())));
    const std::vector<std::string> matches = names.find(library, text);
    if (matches.size() == 1) return matches.front();
    std::string surprise;
    int surprises = 0;
    for (const std::string& m : matches)
        if (m.size() > 2 && m.compare(m.size() - 2, 2, " S") == 0) {
            surprise = m;
            ++surprises;
        }
    if (surprises == 1) return surprise;
    why = nameMatchNote(text, matches);
    return std::string();
}

std::string readLayout(std::string_view text, const MethodLibrary& library, const std::string& method) {
    std::vector<std::string> lines;
    {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i)
            if (i == text.size() || text[i] == '\n') {
                lines.emplace_back(text.substr(start, i - start));
                start = i + 1;
            }
    }
    Reader r{library, {}, {}, false, {}, Row()};
    std::optional<int> parts;
    int partsLineNumber = 0;
    std::string titleMethod;
    int titleLine = 0;
    std::string namedMethod;
    int namedLine = 0;
    int header = 0;  // the header's line number, 0 when there is none
    // First the lines that say something of the whole: title, "Method:",
    // key, parts, header.
    std::vector<bool> used(lines.size(), false);
    bool seenData = false;
    // "Composed by A. B. Smith" goes into the file text, above the leads.
    std::string composer;
    // Notes that ring some parts differently, with the bracketed pieces of
    // the layout they name.
    std::vector<PartVariation> variations;
    std::vector<std::string> footnoteMarkers;
    for (const std::string& line : lines)
        for (std::string& m : footnoteMarkersIn(line)) footnoteMarkers.push_back(std::move(m));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int n = static_cast<int>(i + 1);
        const std::string_view l = trim(lines[i]);
        if (l.empty()) continue;
        const std::string low = lowered(l);
        if (const auto named = composerOfLine(l); named && composer.empty()) composer = *named;
        if (l[0] == '#' || composerOfLine(l) || low.rfind("composed by", 0) == 0 || low.rfind("arranged by", 0) == 0 ||
            low.rfind("contains ", 0) == 0 ||
            std::all_of(l.begin(), l.end(), [](char c) { return c == '-' || c == '=' || c == ' '; }) ) {
            if (!(l.size() == 1 && l[0] == '-')) {
                used[i] = true;
                continue;
            }
        }
        if (const auto p = partsLine(l)) {
            parts = *p;
            partsLineNumber = n;
            used[i] = true;
            // "5 part, substituting NNN for (R) in one part."
            if (const auto comma = l.find_first_of(",;"); comma != std::string_view::npos)
                for (PartVariation& v : partNote(l.substr(comma + 1), n, footnoteMarkers)) variations.push_back(std::move(v));
            continue;
        }
        if (std::vector<PartVariation> note = partNote(l, n, footnoteMarkers); !note.empty()) {
            for (PartVariation& v : note) variations.push_back(std::move(v));
            used[i] = true;
            continue;
        }
        if (low.rfind("method:", 0) == 0) {
            namedMethod = std::string(trim(l.substr(7)));
            namedLine = n;
            used[i] = true;
            continue;
        }
        const std::vector<Token> t = tokens(l);
        if (!seenData && header == 0 && titleLine == 0 && t.size() >= 2 && number(t[0].text, 1000000) &&
            !looksLikeRow(t[0].text) && isAlphabetic(t[1].text)) {
            // "5088 Yorkshire Surprise Major": the method is what follows the
            // length, without a bracketed note.
            std::string rest(trim(l.substr(t[1].start)));
            if (const auto open = rest.find('('); open != std::string::npos) rest = std::string(trim(rest.substr(0, open)));
            titleMethod = rest;
            titleLine = n;
            used[i] = true;
            continue;
        }
        if (t.size() == 1 && isHeaderRounds(t[0].text)) {
            // Rounds alone: the row a lead list starts from, printed over it.
            used[i] = true;
            continue;
        }
        if (titleLine != 0 && n == titleLine + 1 && std::none_of(l.begin(), l.end(), isDigit)) {
            // The line under the title names the composer, unless it is a
            // lead of a lead list ("Yorkshire", "Cambridge -").
            std::string why;
            std::string typed(l);
            if (!typed.empty() && typed.back() == '-') typed.pop_back();
            if (tokens(typed).size() >= 2 && (tokens(typed).back().text == "-" || tokens(typed).back().text == "s"))
                typed = std::string(trim(std::string_view(typed).substr(0, tokens(typed).back().start)));
            if (r.key.count(typed) == 0 && resolveLayoutMethod(library, r.names, typed, why).empty()) {
                used[i] = true;
                continue;
            }
        }
        if (header == 0 && std::any_of(t.begin(), t.end(), [](const Token& x) { return isHeaderRounds(x.text); }) &&
            std::all_of(t.begin(), t.end(),
                        [](const Token& x) { return isHeaderRounds(x.text) || (isAlphabetic(x.text) && isColumnTitle(x.text)); })) {
            header = n;
            used[i] = true;
            continue;
        }
        if (const auto k = keyLine(l); k && !(t.size() <= 3 && (t.size() < 2 || t[1].text == "-" || t[1].text == "s" ||
                                                                  looksLikeRow(t.back().text)))) {
            for (const auto& [letter, name] : *k) r.key[letter] = r.resolve(n, name);
            r.keyGiven = true;
            used[i] = true;
            continue;
        }
        seenData = true;
    }

    // Every bracketed piece a note names is printed in the composition.
    for (const PartVariation& v : variations) {
        bool printed = false;
        for (std::size_t i = 0; i < lines.size() && !printed; ++i) printed = !used[i] && lines[i].find(v.marker) != std::string::npos;
        if (!printed) fail(v.line, v.marker + " is printed nowhere in the composition");
    }
    // One part as the text rings it: the leads from rounds. With a note that
    // varies parts, each part is read with the bracketed pieces as that part
    // rings them.
    const auto readPart = [&](int part, int count) {
        r.leads.clear();
        r.running = Row();
        const auto varied = [&](std::string_view piece) { return asRungInPart(piece, variations, part, count); };
        if (header != 0) {
            // The course layout.
            const std::string& headerLine = lines[static_cast<std::size_t>(header - 1)];
            const bool tabbed = headerLine.find('\t') != std::string::npos;
            std::vector<Column> columns;
            std::size_t roundsColumn = 0;
            {
                std::vector<Token> t = tokens(headerLine);
                if (tabbed) {
                    const std::vector<std::string> cells = splitTabs(headerLine);
                    t.clear();
                    for (std::size_t c = 0; c < cells.size(); ++c) t.push_back({cells[c], c});
                }
                for (std::size_t c = 0; c < t.size(); ++c) {
                    const std::string& title = t[c].text;
                    if (title.empty()) continue;
                    if (isHeaderRounds(title)) {
                        roundsColumn = t[c].start;
                        continue;
                    }
                    if (lowered(title) == "methods" || lowered(title) == "method") {
                        columns.push_back({"Methods", t[c].start, t[c].start + title.size()});
                        continue;
                    }
                    if (title.size() != 1 || PositionLetters.find(title[0]) == std::string_view::npos)
                        fail(header, "unknown position " + title + " (positions are L, I, B, T, F, V, M, W and H)");
                    columns.push_back({title, t[c].start, t[c].start + 1});
                }
            }
            (void)roundsColumn;
            std::string headerPositions;
            for (const Column& c : columns)
                if (c.title != "Methods") headerPositions += c.title[0];
            // Spliced when the header has a Methods column or the first course
            // line has method strings where the column has no title.
            bool spliced = std::any_of(columns.begin(), columns.end(), [](const Column& c) { return c.title == "Methods"; });
            std::string single;
            const auto singleMethod = [&]() -> const std::string& {
                if (single.empty()) {
                    const std::string typed = !method.empty() ? method : !namedMethod.empty() ? namedMethod : titleMethod;
                    const int line = !method.empty() ? header : !namedMethod.empty() ? namedLine : titleLine != 0 ? titleLine : header;
                    if (typed.empty()) fail(header, "no method: give it in the title, a \"Method: NAME\" line or --method");
                    single = r.resolve(line, typed);
                }
                return single;
            };
            bool inTable = false;
            bool tableEnded = false;
            for (std::size_t i = static_cast<std::size_t>(header); i < lines.size(); ++i) {
                const int n = static_cast<int>(i + 1);
                const std::string& line = lines[i];
                if (used[i]) {
                    if (inTable) tableEnded = true;
                    continue;
                }
                if (trim(line).empty()) {
                    if (inTable) tableEnded = true;
                    continue;
                }
                if (tableEnded) continue;  // notes under the composition
                // The cells of the line, each with the column it stands under.
                std::string courseHead;
                std::vector<std::pair<std::string, std::string>> cells;  // column title, text
                if (tabbed) {
                    const std::vector<std::string> c = splitTabs(line);
                    std::size_t col = 0;
                    const std::vector<std::string> h = splitTabs(headerLine);
                    for (std::size_t k = 0; k < c.size(); ++k) {
                        if (c[k].empty() || (!isHeaderRounds(k < h.size() ? h[k] : std::string()) && varied(c[k]).empty())) continue;
                        if (k < h.size() && isHeaderRounds(h[k])) {
                            courseHead = c[k];
                            continue;
                        }
                        // The k-th header cell's column.
                        col = 0;
                        std::string title;
                        for (const Column& x : columns)
                            if (x.start == k) title = x.title;
                        if (title.empty()) fail(n, "\"" + c[k] + "\" stands under no position");
                        cells.emplace_back(title, varied(c[k]));
                    }
                    (void)col;
                } else {
                    for (const Token& t : tokens(line)) {
                        if (courseHead.empty() && looksLikeRow(t.text)) {
                            courseHead = t.text;
                            continue;
                        }
                        // A bracketed piece that this part omits is no cell.
                        const std::string text = varied(t.text);
                        if (text.empty()) continue;
                        // Method letters ("R.CR.") are methods wherever they
                        // stand: many layouts print them under no title.
                        if (isMethodString(text)) {
                            cells.emplace_back("Methods", text);
                            continue;
                        }
                        // The column it overlaps most, else the nearest.
                        const Column* best = nullptr;
                        long bestScore = -1000000;
                        const long a = static_cast<long>(t.start);
                        const long b = static_cast<long>(t.start + t.text.size());
                        for (const Column& x : columns) {
                            const long overlap = std::min(b, static_cast<long>(x.end)) - std::max(a, static_cast<long>(x.start));
                            if (overlap > bestScore) {
                                bestScore = overlap;
                                best = &x;
                            }
                        }
                        if (best == nullptr) fail(n, "\"" + t.text + "\" stands under no position");
                        cells.emplace_back(best->title, text);
                    }
                }
                if (courseHead.empty()) {
                    if (!inTable) fail(n, "no course head on this line");
                    tableEnded = true;
                    continue;
                }
                if (!inTable && !spliced)
                    spliced = std::any_of(cells.begin(), cells.end(), [](const auto& c) { return c.first == "Methods"; });
                inTable = true;
                std::vector<PlannedCall> planned;
                std::string methods;
                for (const auto& [title, cell] : cells) {
                    if (title == "Methods") {
                        // "(R)": a lead that a note varies in some part.
                        for (char ch : cell)
                            if (ch != '(' && ch != ')') methods += ch;
                        continue;
                    }
                    const auto call = callCell(cell);
                    if (!call) fail(n, "\"" + cell + "\" under " + title + " is no call");
                    for (int k = 0; k < call->second; ++k) planned.push_back({call->first, title[0], k > 0});
                }
                if (!spliced && !methods.empty()) fail(n, "methods on this line, none on the first course's");
                if (spliced) {
                    if (methods.empty()) fail(n, "no methods on this line");
                    if (!isMethodString(methods)) fail(n, "\"" + methods + "\" is no method string");
                    const std::vector<LeadRead> leads = r.methodString(n, methods);
                    std::string made;
                    std::string wanted;
                    for (const PlannedCall& p : planned) wanted += p.position;
                    for (const LeadRead& lead : leads) {
                        if (lead.call != Call::Plain) made += positionAtLeadEnd(r.leadEndOf(lead.method, n), lead.call);
                        r.ring(n, lead.method, lead.call);
                    }
                    if (made != wanted)
                        fail(n, "the methods' calls fall at " + positionsText(made) + ", the positions say " + positionsText(wanted));
                } else {
                    r.ringLine(n, singleMethod(), planned, courseHead, headerPositions);
                    continue;
                }
                checkRow(n, "course head", courseHead, r.running);
            }
            if (!inTable) fail(header, "no course under the header");
        } else {
            // A lead list or method strings.
            for (std::size_t i = 0; i < lines.size(); ++i) {
                const int n = static_cast<int>(i + 1);
                if (used[i] || trim(lines[i]).empty()) continue;
                std::vector<Token> t = tokens(varied(lines[i]));
                if (t.empty()) continue;
                // With no key, a word is a method string only when it has a
                // call mark or a second letter of a method ("YY.C", not
                // "Yorkshire" nor a misspelt name).
                const std::string& w = t.empty() ? std::string() : t[0].text;
                const bool lettersOrCalls = std::any_of(w.begin(), w.end(), [](char c) { return c == '.' || c == '-'; }) ||
                                            std::count_if(w.begin(), w.end(), isUpper) >= 2;
                if (t.size() == 1 && isMethodString(w) && r.key.count(w) == 0 && w.size() > 2 &&
                    (!r.key.empty() || lettersOrCalls)) {
                    for (const LeadRead& lead : r.methodString(n, t[0].text)) r.ring(n, lead.method, lead.call);
                    continue;
                }
                // A lead: "[n.] method [-|s] [lead head]".
                if (!t.empty() && t[0].text.size() > 1 && t[0].text.back() == '.' &&
                    number(std::string_view(t[0].text).substr(0, t[0].text.size() - 1), 100000))
                    t.erase(t.begin());
                std::string leadHead;
                if (t.size() >= 2 && looksLikeRow(t.back().text)) {
                    leadHead = t.back().text;
                    t.pop_back();
                }
                Call call = Call::Plain;
                if (t.size() >= 2 && (t.back().text == "-" || t.back().text == "s")) {
                    call = t.back().text == "-" ? Call::Bob : Call::Single;
                    t.pop_back();
                } else if (!t.empty() && t.back().text.size() > 1 && t.back().text.back() == '-') {
                    // "Dunster-": the bob's mark written against the name.
                    call = Call::Bob;
                    t.back().text.pop_back();
                }
                if (t.empty()) fail(n, "no method on this line");
                std::string typed;
                for (const Token& x : t) typed += (typed.empty() ? "" : " ") + x.text;
                const auto letter = r.key.find(typed);
                const std::string name = letter != r.key.end() ? letter->second : r.resolve(n, typed);
                r.ring(n, name, call);
                if (!leadHead.empty()) checkRow(n, "lead head", leadHead, r.running);
            }
        }
        if (r.leads.empty()) throw ModelError("line " + std::to_string(std::max(header, 1)) + ": no leads");
    };
    const auto comesRoundIn = [&](int count) {
        const PartEnd partEnd(r.running);
        if (partEnd.count() != count)
            fail(partsLineNumber, "comes round in " + std::to_string(partEnd.count()) + " parts, not " + std::to_string(count));
    };
    std::vector<LeadRead> leads;
    if (variations.empty()) {
        readPart(1, 1);
        if (parts) comesRoundIn(*parts);
        leads = std::move(r.leads);
    } else {
        // The parts written out, one after another: one part in all, which
        // comes round only at its end.
        if (!parts) fail(variations.front().line, "a note varies the parts, but no \"N part\" line says how many");
        const int count = *parts;
        if (count > MostPartsWrittenOut) fail(partsLineNumber, "more than " + std::to_string(MostPartsWrittenOut) + " parts to write out");
        for (const PartVariation& v : variations)
            for (const int p : v.parts)
                if (p > count) fail(v.line, "part " + std::to_string(p) + " of " + std::to_string(count) + " parts");
        // A part the notes leave as printed comes round in the printed number.
        for (int part = 1; part <= count; ++part)
            if (std::none_of(variations.begin(), variations.end(), [&](const PartVariation& v) { return v.varies(part, count); })) {
                readPart(part, count);
                comesRoundIn(count);
                break;
            }
        Row end;
        for (int part = 1; part <= count; ++part) {
            try {
                readPart(part, count);
            } catch (const ModelError& e) {
                // "line 4, in part 5: ...": the line as that part rings it.
                std::string message = e.what();
                const std::size_t colon = message.find(':');
                if (colon != std::string::npos) message.insert(colon, ", in part " + std::to_string(part));
                throw ModelError(message);
            }
            for (const LeadRead& lead : r.leads) {
                if (leads.size() >= MostLeads) fail(partsLineNumber, "more than " + std::to_string(MostLeads) + " leads with the parts written out");
                end = leadHeadAfterCall(end.transposedBy(std::string_view(&lead.code, 1)), lead.call, lead.code);
                leads.push_back(lead);
            }
        }
        if (end != Row())
            fail(partsLineNumber, "with the parts varied as the notes say, the composition ends at " + end.text() +
                                      ", not rounds");
    }
    std::string out = composer.empty() ? std::string() : composerLine(composer) + "\n";
    for (const LeadRead& lead : leads) out += std::string(1, lead.code) + symbolOf(lead.call) + " " + lead.method + "\n";
    return out;
}

}  // namespace quarnel
