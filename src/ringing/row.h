#pragma once
// A row of eight bells, held as a value: element i is the bell (index from 0)
// in place i + 1. The same type serves as a transposition (a lead-end row, a
// part end): element i then says from which place the bell now in place i
// comes. A Row built from text is always a permutation of 0..7; every other
// operation may assume it.
#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ringing/bell_symbols.h"

namespace quarnel {

inline constexpr int BellCount = 8;

class Row {
public:
    using Bells = std::array<std::uint8_t, BellCount>;

    // Rounds.
    constexpr Row() : bells_{0, 1, 2, 3, 4, 5, 6, 7} {}
    constexpr explicit Row(const Bells& bells) : bells_(bells) {}

    // Reads the first eight characters of a row text such as "13254768".
    // Characters beyond the eighth are ignored. No row when the text is
    // shorter, holds a character that is not a symbol of one of the eight
    // bells, or names a bell twice.
    static std::optional<Row> fromSymbols(std::string_view text);

    // The inverse of value(). No row when x is not the value of a row.
    static std::optional<Row> fromValue(std::uint32_t x);

    constexpr std::uint8_t operator[](int place) const { return bells_[static_cast<std::size_t>(place)]; }
    constexpr const Bells& bells() const { return bells_; }

    // r[i] = this[other[i]]: this row after the transposition other, or (with
    // this a part end) the row other one part on.
    constexpr Row times(const Row& other) const {
        Bells r{};
        for (int i = 0; i < BellCount; ++i) r[static_cast<std::size_t>(i)] = bells_[other.bells_[static_cast<std::size_t>(i)]];
        return Row(r);
    }

    // This row transposed by the LeadEndTable row of key ("A".."M" but "I",
    // "12", "14", "18", "s"). Throws ModelError "Bad lead end group" for a key
    // the table does not hold.
    Row transposedBy(std::string_view key) const;

    // The row read as a number in base 8, place 1 most significant. Rounds is
    // 342391; the largest value, of 87654321, is 16434824.
    constexpr std::uint32_t value() const {
        std::uint32_t v = 0;
        for (auto b : bells_) v = v * BellCount + b;
        return v;
    }

    // A blank followed by the eight bell symbols: " 12345678" for rounds.
    std::string toSymbols() const;
    // The eight bell symbols alone.
    std::string text() const;

    constexpr bool equals(const Row& other) const { return bells_ == other.bells_; }
    constexpr bool isRounds() const { return *this == Row(); }
    // The place (0-based) of bell b.
    constexpr int placeOfBell(int b) const {
        for (int i = 0; i < BellCount; ++i)
            if (bells_[static_cast<std::size_t>(i)] == b) return i;
        return -1;
    }

    friend constexpr bool operator==(const Row&, const Row&) = default;
    friend constexpr auto operator<=>(const Row&, const Row&) = default;

private:
    Bells bells_;
};

}  // namespace quarnel
