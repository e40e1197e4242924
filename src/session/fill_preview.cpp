#include "session/fill_preview.h"

#include <sstream>

#include "composition/composition.h"
#include "ringing/model_error.h"

namespace quarnel {

std::unique_ptr<Composition> previewComposition(const Composition& live, const MethodLibrary& library,
                                                const fill::FillResult& result) {
    if (result.methods.empty()) return nullptr;
    std::ostringstream text;
    live.save(text);
    std::unique_ptr<Composition> copy;
    try {
        std::istringstream in(text.str());
        copy = readComposition(in, live.leadLength() / 2, library);
    } catch (const ModelError&) {
        copy.reset();
    }
    // The copy rings the same plan, so it ends its part where the loaded
    // composition does; anything else is not a preview of that composition.
    if (!copy || copy->plan() != live.plan()) return nullptr;
    fill::applyFill(*copy, library, result.methods);
    return copy;
}

}  // namespace quarnel
