// A composition file: it reads or is refused with a model error, and what
// reads saves to a file that reads back as the same composition.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "fuzz_support.h"
#include "ringing/model_error.h"

using namespace quarnel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const MethodLibrary& library = fuzz::starterLibrary();
    std::unique_ptr<Composition> c;
    try {
        std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
        c = readComposition(in, 16, library);
    } catch (const ModelError&) {
        return 0;
    }
    fuzz::checkCompositionRoundTrip(*c, library);
    return 0;
}
