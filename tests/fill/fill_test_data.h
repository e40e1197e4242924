#pragma once
// What the Fill tests read: the classic music file and a composition text.
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "composition/composition.h"
#include "composition/music.h"
#include "fill/fill_options.h"
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

// The options the exhaustive Fill tests search by: every lead from every
// class, the same with no method twice and with none more than twice, and
// only the leads without a method (Surprise, as by default).
struct FillOptionSets {
    fill::FillOptions all, different, twice, empty;
};
inline FillOptionSets fillOptionSets() {
    FillOptionSets o;
    o.all.all = true;
    o.all.surprise = o.all.delight = o.all.trebleBob = true;
    o.different = o.all;
    o.different.allDifferent = true;
    o.twice = o.all;
    o.twice.maxUses = 2;
    return o;
}

inline std::unique_ptr<Composition> readText(const std::string& text, const MethodLibrary& l) {
    std::istringstream in(text);
    return readComposition(in, MajorMethod::HalfLength, l);
}

}  // namespace quarnel::test
