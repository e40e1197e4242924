#pragma once
// What the Fill tests read: the classic music file and a composition text.
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "composition/composition.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "support/test_support.h"

namespace quarnel::test {

inline MusicTable& classicMusic() {
    static MusicTable table = [] {
        std::ifstream in(testDataDir() + "/major-classic.mus");
        return MusicTable::read(in);
    }();
    return table;
}

inline std::unique_ptr<Composition> readText(const std::string& text, const MethodLibrary& l) {
    std::istringstream in(text);
    return readComposition(in, MajorMethod::HalfLength, l);
}

}  // namespace quarnel::test
