#pragma once
// What the fuzz targets share: the starter library, a check that stops the
// run with a message, and the round-trip properties of notation texts and
// compositions.
#include <string>
#include <string_view>

#include "composition/composition.h"
#include "composition/music.h"
#include "methods/method_library.h"
#include "ringing/method.h"

namespace quarnel::fuzz {

// The library of data/ (read once).
const MethodLibrary& starterLibrary();
// The music table of data/major.mus (read once).
MusicTable& starterMusic();

// Stops the run (libFuzzer then keeps the input) when the property fails.
void require(bool holds, std::string_view property, std::string_view detail = {});

// A method with notation writes a text that reads back as the same rows and
// writes the same text again.
void checkNotationRoundTrip(const Method& method);

// Every lead shows its committed method and nothing else: a lead with a
// method has its notation text and library name, one without has neither.
void checkLeadsShowCommitted(const Composition& composition, const MethodLibrary& library);

// Every committed lead is true: the register holds each lead head and lead
// end, each row of each committed method under its own lead, and nothing else.
void checkRegister(const Composition& composition);

// Save, read again: the same leads, lead heads, committed methods' rows,
// register (checked as above), music (when asked: scoring is the costly
// part) and exports, and a second save byte-identical to the first.
void checkCompositionRoundTrip(const Composition& composition, const MethodLibrary& library, bool withMusic = true);

}  // namespace quarnel::fuzz
