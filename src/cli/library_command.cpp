#include "cli/library_command.h"

#include <filesystem>
#include <ostream>

#include "methods/council_library.h"

namespace quarnel::cli {

const CommandTable& libraryTable() {
    static const CommandTable table = {"library", "import CCCBR_methods.xml DIR", 3,
                                       "  the Central Council's Surprise, Delight and Treble Bob Major methods written\n"
                                       "  as S8, D8 and T8 in DIR\n",
                                       {},
                                       UsageShown::Synopsis};
    return table;
}

int libraryCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& words = line.words;
    if (words[0] != "import") {
        writeSynopsis(libraryTable(), err);
        return ExitBadInput;
    }
    const std::string& folder = words[2];
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        err << "No folder " << folder << "\n";
        return ExitBadInput;
    }
    const CouncilLibrary library = readCouncilLibraryFile(words[1]);
    if (!library.ok()) {
        err << library.error << ". Nothing was written.\n";
        return ExitBadInput;
    }
    std::string failure;
    if (!writeCouncilLibraryFiles(library, folder, failure)) {
        err << failure << ". Nothing was written.\n";
        return ExitBadInput;
    }
    for (const auto& c : library.classes)
        out << c.title << ": " << c.methods.size() << " written to " << (std::filesystem::path(folder) / c.file).string() << "\n";
    for (int r = 0; r < SkipReasonCount; ++r)
        if (library.skipped[static_cast<std::size_t>(r)] != 0)
            out << "Skipped, " << skipReasonText(static_cast<SkipReason>(r)) << ": " << library.skipped[static_cast<std::size_t>(r)] << "\n";
    return ExitDone;
}

}  // namespace quarnel::cli
