#include "methods/library_location.h"

#include <filesystem>
#include <system_error>

#include "methods/council_library.h"

namespace quarnel {

namespace fs = std::filesystem;

bool folderHasLibrary(const std::string& folder) {
    const fs::path base = folder.empty() ? fs::path(".") : fs::path(folder);
    for (const char* file : {"S8", "D8", "T8"}) {
        std::error_code ec;
        if (fs::is_regular_file(base / file, ec)) return true;
    }
    std::error_code ec;
    return fs::is_regular_file(base / std::string(CouncilFileName), ec);
}

std::vector<std::string> installedLibraryFolders(const std::string& executableFolder) {
    std::vector<std::string> folders;
    if (!executableFolder.empty())
        folders.push_back((fs::path(executableFolder) / ".." / "share" / "quarnel").lexically_normal().string());
#ifdef QUARNEL_INSTALL_DATADIR
    folders.push_back(QUARNEL_INSTALL_DATADIR);
#endif
#ifdef QUARNEL_SOURCE_DATADIR
    folders.push_back(QUARNEL_SOURCE_DATADIR);
#endif
    return folders;
}

std::string executableFolder(const char* argv0) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty()) return self.parent_path().string();
    if (argv0 == nullptr || *argv0 == '\0') return {};
    const fs::path given(argv0);
    // A bare name was found on the PATH: its folder is not known.
    if (!given.has_parent_path()) return {};
    const fs::path absolute = fs::absolute(given, ec);
    return ec ? std::string() : absolute.parent_path().lexically_normal().string();
}

std::string LibraryLocation::describe() const {
    if (!found) return "none (no S8, D8, T8 or CCCBR_methods.xml in the working folder, nor a library installed with Quarnel)";
    if (!installed) return folder.empty() ? "the working folder" : folder;
    return folder + " (the library that comes with Quarnel)";
}

LibraryLocation chooseLibrary(const std::string& workingFolder, const std::vector<std::string>& installedFolders) {
    if (folderHasLibrary(workingFolder)) return {workingFolder, false};
    for (const std::string& folder : installedFolders)
        if (folderHasLibrary(folder)) return {folder, true};
    return {workingFolder, false, false};
}

LibraryLocation programLibrary(const std::string& requestedFolder, const char* argv0) {
    if (!requestedFolder.empty()) return {requestedFolder, false, true};
    return chooseLibrary("", installedLibraryFolders(executableFolder(argv0)));
}

}  // namespace quarnel
