#include "session/compose_choices.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <sstream>

#include "composition/composition.h"
#include "methods/major_method.h"
#include "methods/method_library.h"
#include "ringing/model_error.h"

namespace quarnel {
namespace {

std::string trimmed(const std::string& text) {
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

// The most parts a composition of the treble, 7 and 8 home can have.
constexpr int MostParts = 15;

// A number of parts or a part end, as the composer types it; false with why.
bool readParts(const std::string& typed, compose::ComposeOptions& o, std::string& why) {
    const std::string text = trimmed(typed);
    if (text.empty()) {
        o.parts = 1;
        return true;
    }
    if (text.size() <= 2 && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; })) {
        int n = 0;
        std::from_chars(text.data(), text.data() + text.size(), n);
        if (n < 1 || n > MostParts) {
            why = "Parts: " + text + " is no number of parts (1 to " + std::to_string(MostParts) + ")";
            return false;
        }
        o.parts = n;
        return true;
    }
    const std::optional<Row> row = Row::fromSymbols(text);
    if (!row || text.size() != BellCount) {
        why = "Parts: \"" + text + "\" is no number of parts and no part end (a row of the eight bells, 12435678)";
        return false;
    }
    o.partEnd = *row;
    return true;
}

}  // namespace

std::optional<compose::ComposeOptions> composeOptionsOf(const DialogFields& fields, const ComposeChoices& choices,
                                                        std::string& why) {
    compose::ComposeOptions o;
    o.constraints = choices.constraints;
    o.surprise = fields.allowSurprise;
    o.delight = fields.allowDelight;
    o.trebleBob = fields.allowTrebleBob;
    std::string lengthWhy;
    const auto length = compose::readLength(trimmed(choices.length), lengthWhy);
    if (!length) {
        why = "Length: " + lengthWhy;
        return std::nullopt;
    }
    o.minLength = length->first;
    o.maxLength = length->second;
    if (!readParts(choices.parts, o, why)) return std::nullopt;
    o.calls = choices.calls;
    o.splice = choices.splice;
    o.tenorsTogether = choices.tenorsTogether;
    o.count = choices.count;
    o.onePerCalling = choices.onePerCalling;
    o.limits.timeLimitSeconds = choices.timeLimitSeconds;
    why.clear();
    return o;
}

std::vector<std::string> libraryMethodNames(const MethodLibrary& library) {
    std::vector<std::string> names;
    names.reserve(library.size());
    for (const auto& [name, notation] : library.byName())
        if (!name.empty() && !notation.empty()) names.push_back(name);
    return names;
}

std::string composedLine(const compose::FoundComposition& found) {
    std::string line = std::to_string(found.length) + " changes";
    if (found.parts > 1) line += ", " + std::to_string(found.parts) + " parts";
    line += ", music " + std::to_string(found.music) + ", ATW " + std::to_string(found.piecesRung) + "/" +
            std::to_string(found.piecesPossible) + ", COM " + std::to_string(found.changesOfMethod);
    line += ": " + (found.calling.empty() ? std::string("no calls") : found.calling);
    return line;
}

std::unique_ptr<Composition> composedComposition(const std::string& fileText, const MethodLibrary& library) {
    std::istringstream in(fileText);
    std::unique_ptr<Composition> read;
    try {
        read = readComposition(in, MajorMethod::HalfLength, library);
    } catch (const ModelError&) {
        return nullptr;
    }
    if (read->leadCount() == 0) return nullptr;
    return read;
}

}  // namespace quarnel
