#pragma once
// Builders for composition tests: a composition from text, read with the
// shipped starter library.
#include <memory>
#include <sstream>
#include <string>

#include "composition/composition.h"
#include "methods/method_library.h"

namespace quarnel::test {

// The starter library of data/ (read once).
const MethodLibrary& starterLibrary();

// Reads a composition from the text with the starter library.
std::unique_ptr<Composition> composition(const std::string& text);

// The text a composition saves.
std::string saved(const Composition& c);

}  // namespace quarnel::test
