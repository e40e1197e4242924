#pragma once
// Reading a composition as composers publish it: a course layout (course
// heads, calls under calling positions, an optional Methods column), a lead
// list (a method, a call mark and a lead head a line) or method strings with
// a key ("YYY.YR" and "Y Yorkshire, R Rutland"), with "N part" under them.
// What is read is one part of leads; every course head and lead head the text
// prints is checked against the rows the calling rings.
#include <string>
#include <string_view>

#include "methods/method_library.h"
#include "methods/name_matching.h"

namespace quarnel {

// The composition file text (one line a lead: code, call, method name) of a
// layout. method names the method of a single-method course layout when
// the text does not (empty: none). Throws ModelError whose message starts
// "line N: " for text it cannot read or whose printed rows differ from what
// the calling rings.
std::string readLayout(std::string_view text, const MethodLibrary& library, const std::string& method = "");

// The library name that a name typed in a layout stands for: the name
// itself, or the one method that name matching finds, or of several the
// Surprise one when just one is Surprise. Empty when none; why says so.
std::string resolveLayoutMethod(const MethodLibrary& library, MethodNameIndex& names, std::string_view typed,
                                std::string& why);

}  // namespace quarnel
