#pragma once
// What undoing a change to the composition needs, without any widget: the
// committed method of every lead, or for a Load the whole composition as its
// file text with the file it came from.
#include <string>
#include <vector>

namespace quarnel {

// The notation text of each lead's committed method ("" for none), in lead
// order, and the method held aside for each lead without one ("" for none).
struct MethodsSnapshot {
    std::vector<std::string> notations;
    std::vector<std::string> held;
    friend bool operator==(const MethodsSnapshot&, const MethodsSnapshot&) = default;
};

// A composition as Save writes it, the remembered composition file name and
// the text of the file last loaded or saved, and the methods held aside
// (as MethodsSnapshot); loaded false for none.
struct LoadSnapshot {
    bool loaded = false;
    std::string text;
    std::vector<std::string> held;
    std::string fileName;
    std::string savedText;
};

// One undoable change: its label ("OK", "Fill", "Load") and the states
// before and after it, either of the methods or of the whole composition.
struct CompositionChange {
    enum class Kind { Methods, Load };
    Kind kind = Kind::Methods;
    std::string label;
    MethodsSnapshot methodsBefore;
    MethodsSnapshot methodsAfter;
    LoadSnapshot loadBefore;
    LoadSnapshot loadAfter;
};

}  // namespace quarnel
