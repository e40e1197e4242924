// A notation text: it gives no notation or a written text that is a fixed
// point with the same rows; every piece of it that is a change writes a short
// form that rings the same; no change writes outside its row.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "methods/major_method.h"
#include "ringing/place_notation.h"

using namespace quarnel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const MethodLibrary none;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const MajorMethod m(text, none);
    fuzz::checkNotationRoundTrip(m);

    std::string_view rest = text;
    for (int i = 0; i < 40 && !rest.empty(); ++i) {
        const std::size_t before = rest.size();
        const std::string_view piece = takeChange(rest);
        if (const auto c = Change::parse(piece)) {
            const auto brief = Change::parse(c->shortText());
            fuzz::require(brief && brief->transposition() == c->transposition(), "a short form rings its change", piece);
            std::string row = "12345678";
            fuzz::require(applyChange(row, piece) && row == Row().times(c->transposition()).text(),
                          "a change rings as compiled", piece);
        }
        // Any row length up to 16: never written outside.
        std::string row = std::string("1234567890ETABCD").substr(0, piece.size() % 17);
        applyChange(row, piece);
        if (rest.size() == before) rest.remove_prefix(1);
    }
    return 0;
}
