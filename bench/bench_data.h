#pragma once
// The data the benchmarks read: the full method libraries in data/, the
// standard 51 in tests/data/methods-standard. A benchmark whose data is
// missing stops at once and names the folder, so that no figure is taken
// over an empty library.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "methods/method_library.h"

namespace quarnel::bench {

inline std::string fullLibraryDir() { return QUARNEL_REPO_DATA; }
inline std::string standardLibraryDir() { return std::string(QUARNEL_TEST_DATA) + "/methods-standard"; }

// Reads S8, D8 and T8 of the folder into the library.
inline void readLibraryOrStop(MethodLibrary& library, const std::string& folder) {
    if (readLibraryFiles(library, folder) == 3 && library.size() > 0) return;
    std::fprintf(stderr, "benchmark data missing: %s/S8, D8 and T8 must all be there\n", folder.c_str());
    std::exit(1);
}

}  // namespace quarnel::bench
