#pragma once
// Compositions for the benchmarks.
#include <string>

namespace quarnel::bench {

// 35 leads of Cambridge with some bobs and singles: five parts, 5600 changes.
inline std::string cambridge35Leads5Parts() {
    static const char* calls[] = {" ", "-", " ", "s", "-", " ", "-", "s", " ", "-", " ", " ",
                                  "-", " ", " ", "-", " ", " ", " ", " ", " ", " ", "-", " ",
                                  " ", " ", " ", " ", "-", "-", " ", " ", " ", " ", " "};
    std::string text;
    for (const char* call : calls) text += std::string("B") + call + " Cambridge S\n";
    return text;
}

}  // namespace quarnel::bench
