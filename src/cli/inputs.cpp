#include "cli/inputs.h"

#include <fstream>
#include <ostream>

#include "methods/library_location.h"
#include "methods/major_method.h"
#include "methods/method_library.h"
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

}  // namespace quarnel::cli
