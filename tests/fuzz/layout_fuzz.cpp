// A published composition as text (course layout, lead list, method strings
// with a key): it reads, or is refused with a model error that names the
// line. What reads into a composition whose every lead keeps its method is
// written again as a layout that reads back to the same composition file.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "composition/layout_reader.h"
#include "composition/layout_text.h"
#include "fuzz_support.h"
#include "ringing/model_error.h"

using namespace quarnel;

namespace {

std::string saved(const Composition& c) {
    std::ostringstream out;
    c.save(out);
    return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const MethodLibrary& library = fuzz::starterLibrary();
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string file;
    try {
        file = readLayout(text, library);
    } catch (const ModelError& e) {
        fuzz::require(std::string(e.what()).rfind("line ", 0) == 0, "a refused layout names the line", e.what());
        return 0;
    }
    std::unique_ptr<Composition> c;
    try {
        std::istringstream in(file);
        c = readComposition(in, 16, library);
    } catch (const ModelError&) {
        // A calling may ring a lead head twice: the file it gives is refused
        // by the composition's reader, as it would be from a file.
        return 0;
    }
    if (c->leadCount() == 0 || !c->loadReport().empty()) return 0;
    const std::string first = saved(*c);
    const std::string written = layoutText(*c, library, false);
    std::string again;
    try {
        again = readLayout(written, library);
    } catch (const ModelError& e) {
        fuzz::require(false, "the layout written reads back", written + "\n" + e.what());
    }
    std::istringstream in(again);
    const auto back = readComposition(in, 16, library);
    fuzz::require(saved(*back) == first, "the layout written reads back to the same composition", written);
    return 0;
}
