#pragma once
// Bell symbols: bell k (counted from 1) is written as the k-th character of
// "1234567890ETABCD". This is the only place that spells a bell character;
// every parser and printer goes through it.
#include <string_view>

namespace quarnel {

inline constexpr std::string_view BellSymbols = "1234567890ETABCD";

// The symbol of bell index b (bell 1 is index 0).
constexpr char bellSymbol(int b) { return BellSymbols[static_cast<std::size_t>(b)]; }

// The bell index of a symbol, or -1 when the character is not a bell symbol.
constexpr int bellIndex(char c) {
    for (std::size_t i = 0; i < BellSymbols.size(); ++i)
        if (BellSymbols[i] == c) return static_cast<int>(i);
    return -1;
}

// The place (1-based) that a place-notation character names: "1".."9" are
// places 1 to 9 and "0" is place 10. Any other character is not a place: 0.
constexpr int placeOf(char c) {
    if (c >= '1' && c <= '9') return c - '0';
    if (c == '0') return 10;
    return 0;
}

}  // namespace quarnel
