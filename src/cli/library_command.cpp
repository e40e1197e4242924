#include "cli/library_command.h"

#include <filesystem>
#include <ostream>

#include "methods/council_library.h"

namespace quarnel::cli {

int libraryCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err) {
    if (words.size() != 4 || words[1] != "import") {
        err << "usage: quarnel-cli library import CCCBR_methods.xml DIR\n";
        return 2;
    }
    const std::string& folder = words[3];
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        err << "No folder " << folder << "\n";
        return 1;
    }
    const CouncilLibrary library = readCouncilLibraryFile(words[2]);
    if (!library.ok()) {
        err << library.error << ". Nothing was written.\n";
        return 1;
    }
    std::string failure;
    if (!writeCouncilLibraryFiles(library, folder, failure)) {
        err << failure << ". Nothing was written.\n";
        return 1;
    }
    for (const auto& c : library.classes)
        out << c.title << ": " << c.methods.size() << " written to " << (std::filesystem::path(folder) / c.file).string() << "\n";
    for (int r = 0; r < SkipReasonCount; ++r)
        if (library.skipped[static_cast<std::size_t>(r)] != 0)
            out << "Skipped, " << skipReasonText(static_cast<SkipReason>(r)) << ": " << library.skipped[static_cast<std::size_t>(r)] << "\n";
    return 0;
}

}  // namespace quarnel::cli
