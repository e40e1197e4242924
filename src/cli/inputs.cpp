#include "cli/inputs.h"

#include <fstream>
#include <ostream>

#include "methods/library_location.h"
#include "methods/major_method.h"
#include "methods/method_library.h"
#include "methods/name_matching.h"
#include "ringing/notation_forms.h"
#include "ringing/model_error.h"

namespace quarnel::cli {

const Option LibraryOption = {"--library", "DIR", "the folder of the method libraries S8, D8 and T8", ValueKind::Text};
const Option MusicOption = {"--music", "MUSIC", "the music file to score with", ValueKind::Text};

void loadLibrary(const CommandLine& line) {
    MethodLibrary& library = MethodLibrary::instance();
    library.clear();
    readLibraryFiles(library, programLibrary(line.text(LibraryOption.name).value_or(""), nullptr).folder);
}

std::unique_ptr<Composition> loadComposition(const std::string& path, std::ostream& err) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err << "Cannot open " << path << "\n";
        return nullptr;
    }
    std::unique_ptr<Composition> composition;
    try {
        composition = readComposition(in, MajorMethod::HalfLength, MethodLibrary::instance());
    } catch (const ModelError& e) {
        err << "Load abandoned: " << e.describe() << "\n";
        return nullptr;
    }
    for (const std::string& report : composition->loadReport()) err << report << "\n";
    return composition;
}

std::optional<Inputs> readInputs(const CommandLine& line, std::ostream& err) {
    loadLibrary(line);
    Inputs inputs;
    if (const auto file = line.text(MusicOption.name)) {
        std::ifstream in(*file, std::ios::binary);
        if (!in) {
            err << "Cannot open " << *file << "\n";
            return std::nullopt;
        }
        inputs.music = MusicTable::read(in);
    }
    inputs.composition = loadComposition(line.words[0], err);
    if (!inputs.composition) return std::nullopt;
    return inputs;
}

// The text a typed method stands for, as every command reads it: a library
// name as it is; place notation as ringers write it (ringing/notation_forms.h)
// read into the system's notation text; a name written as ringers type it
// ("cambridge", "Cambridge Surprise") that matches one library method, that
// method's notation text. Says why on err and gives nothing when the
// notation does not read, or no name or several names match.
std::optional<std::string> methodText(const std::string& typed, std::ostream& err) {
    const MethodLibrary& library = MethodLibrary::instance();
    if (const std::string& notation = library.notationOf(typed); !notation.empty()) return notation;
    if (looksLikeNotation(typed)) {
        NotationReading reading = readNotation(typed);
        if (reading.ok()) return std::move(reading.text);
        err << "No method: " << typed << " (" << reading.reason << ")\n";
        return std::nullopt;
    }
    MethodNameIndex names;
    const std::vector<std::string> matches = names.find(library, typed);
    if (matches.size() == 1) return library.notationOf(matches.front());
    err << nameMatchNote(typed, matches) << "\n";
    return std::nullopt;
}

}  // namespace quarnel::cli
