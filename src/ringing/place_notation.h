#pragma once
// Changes of place notation. A change is "-" (the cross; an empty change acts
// as the cross too) or the places made, as place symbols in ascending order;
// implied external places may be left out ("3" acts as "38" on eight bells).
// The notation text of a method is its lower-case code letter, "&" and the
// half lead, e.g. b&-3-4-25-36-4-5-6-7.
#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ringing/row.h"

namespace quarnel {

// One change compiled for eight bells: the full set of places it makes, the
// implied external places included, exactly as the rows are rung ("3" is kept
// as "38", "8" as "18"), its short form and the transposition it makes
// (row.times(transposition()) is the row after it). Reading the short form
// again gives the same change.
class Change {
public:
    // The cross.
    constexpr Change() = default;
    // No change when the text is empty, holds a character other than "-" and
    // place symbols, a place beyond the eighth, or places not in ascending
    // order (a repeated place included).
    static std::optional<Change> parse(std::string_view text);
    // The same, in place: false (and this change left as it was) when the
    // text is not a change.
    bool assign(std::string_view text);

    // The full places ("-" for the cross).
    std::string_view text() const { return {chars_.data(), size_}; }
    // The short form written in notation texts ("1" for "18", "3" for "38",
    // "25" for "1258").
    std::string_view shortText() const { return {short_.data(), shortSize_}; }
    // The short form's storage, its characters first (for copying in one go).
    const std::array<char, BellCount>& shortChars() const { return short_; }
    const Row& transposition() const { return transposition_; }
    // The change on a row packed one bell a byte (place i in byte i): the
    // bytes of the left bell of every exchanged pair.
    std::uint64_t leftOfPairs() const { return leftOfPairs_; }
    bool isCross() const { return size_ == 1 && chars_[0] == '-'; }
    // One bit per character of the text ("-" is bit 0, place symbol "k" bit k),
    // for the generator's test that two changes share no character.
    std::uint16_t characters() const { return characters_; }

    // Places are ascending and never repeat, so two changes with the same
    // characters have the same text.
    bool hasPlace(int place) const { return (characters_ & (1u << place)) != 0; }
    std::size_t size() const { return size_; }

    friend bool operator==(const Change& a, const Change& b) { return a.characters_ == b.characters_; }

private:
    std::array<char, BellCount> chars_{'-'};
    std::array<char, BellCount> short_{'-'};
    std::uint8_t size_ = 1;
    std::uint8_t shortSize_ = 1;
    std::uint16_t characters_ = 1;
    Row transposition_{{1, 0, 3, 2, 5, 4, 7, 6}};
    std::uint64_t leftOfPairs_ = 0x00FF00FF00FF00FFull;
};

// A row packed one bell a byte, place i in byte i (bits 8i to 8i + 7).
using PackedRow = std::uint64_t;

constexpr PackedRow pack(const Row& row) {
    PackedRow x = 0;
    for (int i = BellCount - 1; i >= 0; --i) x = (x << 8) | row[i];
    return x;
}

constexpr Row unpack(PackedRow x) {
    Row::Bells bells{};
    for (int i = 0; i < BellCount; ++i) bells[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(x >> (8 * i));
    return Row(bells);
}

// The packed row after a change: seven word operations, no memory.
inline PackedRow applyPacked(PackedRow x, const Change& c) {
    const std::uint64_t left = c.leftOfPairs();
    return (x & ~(left | (left << 8))) | ((x & left) << 8) | ((x >> 8) & left);
}

// The row after a change.
inline Row applied(const Row& row, const Change& c) {
    if constexpr (std::endian::native == std::endian::little) {
        const auto packed = applyPacked(std::bit_cast<PackedRow>(row.bells()), c);
        return Row(std::bit_cast<Row::Bells>(packed));
    } else {
        return row.times(c.transposition());
    }
}

// The place (from 0) of a bell in a packed row of eight bells.
constexpr int placeInPacked(PackedRow x, int bell) {
    const std::uint64_t v = x ^ (0x0101010101010101ull * static_cast<std::uint64_t>(bell));
    const std::uint64_t zero = (v - 0x0101010101010101ull) & ~v & 0x8080808080808080ull;
    for (int i = 0; i < BellCount; ++i)
        if (zero & (0x80ull << (8 * i))) return i;
    return -1;
}

// Applies a change to a row text of n bells (n up to 16) in place. Returns
// false and leaves the row as it was when the change is not valid for n bells
// (see Change::parse); the row is never written outside its length.
bool applyChange(std::string& row, std::string_view change);

// Removes the next change from the front of a place-notation text and
// returns it; the empty change when the text holds no further "-" or ".".
std::string_view takeChange(std::string_view& text);

// The short form of a change as it is rung: its full set of places with
// "18" written "1", then a final "8" dropped and a leading "1" dropped when
// more than one character is left ("1258" -> "25", "8" -> "1", "158" -> "45").
// The empty text when the text is not a change.
std::string abbreviateChange(std::string_view change);

}  // namespace quarnel
