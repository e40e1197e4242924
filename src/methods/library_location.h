#pragma once
// Where the method library is read from. The working folder's library comes
// first, as it always has: any of S8, D8, T8 or CCCBR_methods.xml there makes
// it the library. Without one, the library installed with the program is read:
// beside the executable (../share/quarnel, so that a moved install or a
// package works), then the data folder chosen when the program was configured,
// then, from a build tree, the source's data/.
#include <string>
#include <vector>

namespace quarnel {

// True when the folder ("" for the working folder) holds any of S8, D8, T8 or
// CCCBR_methods.xml.
bool folderHasLibrary(const std::string& folder);

// The folders an installed library may be in, most likely first, for an
// executable in executableFolder ("" when it is not known).
std::vector<std::string> installedLibraryFolders(const std::string& executableFolder);

// The folder of the running executable: the link /proc/self/exe where there
// is one, otherwise the folder of argv0; "" when neither gives one.
std::string executableFolder(const char* argv0);

struct LibraryLocation {
    std::string folder;      // "" for the working folder
    bool installed = false;  // one of the installed folders, not the working folder
    bool found = true;       // false when no folder looked at holds a library
    // "the working folder" or "FOLDER (the library that comes with Quarnel)": which
    // library is read, for --help and the status at start.
    std::string describe() const;
};

// The working folder when it has a library, otherwise the first installed
// folder that has one; the working folder when none has.
LibraryLocation chooseLibrary(const std::string& workingFolder, const std::vector<std::string>& installedFolders);

// The library a program reads: the folder asked for (--library), or else
// chooseLibrary over the working folder and the installed folders of the
// executable that argv0 started (nullptr when it is not known).
LibraryLocation programLibrary(const std::string& requestedFolder, const char* argv0);

}  // namespace quarnel
