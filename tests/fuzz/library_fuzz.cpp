// A method library file: every method it enters is found by name and by
// notation, its notation text round-trips, and walking the named methods of
// a code ends.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "fuzz_support.h"
#include "methods/major_method.h"

using namespace quarnel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MethodLibrary library;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    library.readLibraryFile(in, size % 3 == 0 ? " S" : size % 3 == 1 ? " D" : " TB");
    for (const auto& [name, notation] : library.byName()) {
        fuzz::require(library.notationOf(name) == notation, "a library name gives its notation", name);
        fuzz::require(!library.nameOf(notation).empty(), "a library notation has a name", notation);
        const MajorMethod m(notation, library);
        fuzz::checkNotationRoundTrip(m);
    }
    // Each step of the walk moves strictly on, so it ends within the size.
    const char code = size > 0 ? static_cast<char>('a' + data[0] % 13) : 'b';
    std::string at(1, code);
    std::size_t steps = 0;
    for (;;) {
        std::string next = library.nextNamed(at, code, true, true, true);
        if (next.empty()) break;
        fuzz::require(next > at, "the named walk moves on", next);
        fuzz::require(++steps <= library.size(), "the named walk ends", next);
        at = std::move(next);
    }
    return 0;
}
