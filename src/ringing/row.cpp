#include "ringing/row.h"

#include "ringing/part_end.h"

namespace quarnel {

std::optional<Row> Row::fromSymbols(std::string_view text) {
    if (text.size() < BellCount) return std::nullopt;
    Bells b{};
    unsigned seen = 0;
    for (int i = 0; i < BellCount; ++i) {
        const int bell = bellIndex(text[static_cast<std::size_t>(i)]);
        if (bell < 0 || bell >= BellCount || (seen & (1u << bell)) != 0) return std::nullopt;
        seen |= 1u << bell;
        b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bell);
    }
    return Row(b);
}

std::optional<Row> Row::fromValue(std::uint32_t x) {
    Bells b{};
    unsigned seen = 0;
    for (int i = BellCount - 1; i >= 0; --i) {
        const std::uint32_t bell = x % BellCount;
        x /= BellCount;
        if ((seen & (1u << bell)) != 0) return std::nullopt;
        seen |= 1u << bell;
        b[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bell);
    }
    if (x != 0) return std::nullopt;
    return Row(b);
}

std::string Row::text() const {
    std::string s(BellCount, ' ');
    for (int i = 0; i < BellCount; ++i) s[static_cast<std::size_t>(i)] = bellSymbol(bells_[static_cast<std::size_t>(i)]);
    return s;
}

std::string Row::toSymbols() const { return ' ' + text(); }

}  // namespace quarnel
