#include "compose/compose_options.h"

#include <charconv>

namespace quarnel::compose {
namespace {

std::optional<int> wholeNumber(const std::string& text) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

}  // namespace

std::optional<std::pair<int, int>> readLength(const std::string& text, std::string& why) {
    if (text == "qp") return QuarterPealLength;
    if (text == "peal") return PealLength;
    const std::size_t dash = text.find('-');
    const auto least = wholeNumber(text.substr(0, dash));
    const auto most = dash == std::string::npos ? least : wholeNumber(text.substr(dash + 1));
    if (!least || !most) {
        why = "the length \"" + text + "\" is no length: MIN-MAX changes (1250-1300), a number of changes, qp or peal";
        return std::nullopt;
    }
    if (*least <= 0) {
        why = "the length \"" + text + "\" has no changes";
        return std::nullopt;
    }
    if (*most < *least) {
        why = "the length \"" + text + "\" falls: the least number of changes comes first";
        return std::nullopt;
    }
    return std::pair{*least, *most};
}

}  // namespace quarnel::compose
