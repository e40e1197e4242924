#pragma once
// A composition as a composer writes it: every call's calling position, the
// courses and their course heads, the order of positions for a layout's
// header and the method letters of a spliced key. Worked out from the
// composition's leads alone; nothing here changes the composition.
//
// The tenor (bell 8) is the observation bell. A call's position is named by
// the tenor's place in the lead head after the call. A course runs from a
// lead head with the tenor home (8ths) to the next; its course head has the
// tenors home when the 7 is in 7ths as well.
#include <string>
#include <string_view>
#include <vector>

#include "ringing/part_end.h"
#include "ringing/call.h"
#include "ringing/row.h"

namespace quarnel {

class Composition;
class Lead;

// The call a lead ends with.
Call callOfLead(const Lead& lead);
// The lead-head code letter (upper case) of a lead.
char codeOfLead(const Lead& lead);

// The calling position of a call whose lead head after the call has the
// tenor in tenorPlace (1 to 8): a bob 1 L, 2 I, 3 B, 4 F, 5 V, 6 M, 7 W, 8 H;
// a single 1 L, 2 B, 3 T, 4 F, 5 V, 6 M, 7 W, 8 H. 0 for a plain lead or a
// place outside 1 to 8.
char callingPosition(Call call, int tenorPlace);

// The lead head after a lead end under a call, for a lead of the code
// (plain: 12 for codes A to F, 18 for G to M).
Row leadHeadAfterCall(const Row& leadEnd, Call call, char code);
// The position the call would have at this lead end.
char positionAtLeadEnd(const Row& leadEnd, Call call);
// The positions a bob would have at the seven lead ends of a plain course of
// a method of the lead-head code (upper case), from the course head
// ("HMIBFVW" for Bristol, "VBMWFIH" for Cambridge).
std::string plainCourseMeetings(char code);

// Whether the tenor is home (8ths), and both tenors (7ths and 8ths).
constexpr bool tenorHome(const Row& r) { return r[7] == 7; }
constexpr bool tenorsHome(const Row& r) { return r[6] == 6 && r[7] == 7; }

struct CallAt {
    int lead = 0;  // the lead (from 1) whose lead end carries the call
    Call call = Call::Bob;
    char position = 0;
};

struct CourseCalling {
    int firstLead = 1;  // from 1
    int leadCount = 0;
    Row head;     // the lead head of firstLead
    Row end;      // the lead head after the course's last lead
    std::vector<CallAt> calls;
    // For each lead end of the course, the position a bob there would have
    // (the call's own position where the lead ends with a single).
    std::vector<char> met;
};

struct MethodLetter {
    std::string name;    // the library name ("Cambridge S")
    std::string letter;  // "C", or two letters when one is not free
};

struct CompositionCalling {
    std::vector<CallAt> calls;           // every call of the part, in lead order
    std::vector<CourseCalling> courses;  // the courses of the part
    // Every course starts and ends at a lead head with the tenor home, and
    // the 7 is home at each of them too: the part can be written as a course
    // layout.
    bool tenorsHomeAtEveryCourseHead = false;
    // The positions that the calls use, in the order the tenor meets them
    // (a position twice when one course calls it twice).
    std::vector<char> positionOrder;
    std::vector<MethodLetter> letters;  // in order of first use
};

CompositionCalling compositionCalling(const Composition& composition);

// The course heads of part p (from 0): the part's own course heads one part
// on p times.
std::vector<Row> courseHeadsOfPart(const CompositionCalling& calling, const PartEnd& partEnd, int part);

// The letters of methods in order of first use: the customary letter of a
// standard method (Bristol B, Cambridge C, Cornwall W, ...), otherwise the
// first free letter of the name; unique among them.
std::vector<MethodLetter> methodLetters(const std::vector<std::string>& names);

// The standard Surprise method that a letter customarily stands for
// ("Rutland" for R, "Lincolnshire" for N), or empty when none does.
std::string customaryMethodOf(std::string_view letter);

// The name without its class suffix (" S", " D", " TB").
std::string baseMethodName(const std::string& name);

}  // namespace quarnel
