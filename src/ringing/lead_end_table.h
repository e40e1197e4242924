#pragma once
// The LeadEndTable turns a lead-head code letter, or the name of a lead-end
// change, into the row it stands for. The row of a code is the lead-end row
// of a lead that starts from rounds (a lead head is not a lead end: the next
// lead head is that row after the lead-end change). The keys "12", "14",
// "18" and "s" name the plain, bob and single lead-end changes themselves.
#include <string_view>

#include "ringing/row.h"

namespace quarnel {

// The plain lead-end change of the far group of codes (G to M).
inline constexpr std::string_view HighLeadEndNotation = "18";

namespace LeadEndTable {
// The row stored under key, or nullptr when the table holds no such key
// ("I", "Q", "Z", lower-case letters, anything else). Builds the table on
// first use.
const Row* lookup(std::string_view key);
// Whether the table has been built (by the first lookup).
bool isBuilt();
}  // namespace LeadEndTable

// A lead-head code letter of the composition file (upper case) or of a
// notation text (lower case). Letters up to F are in the near group, whose
// plain lead end is "12"; later letters are in the far group ("18").
constexpr char upperCode(char c) { return static_cast<char>(c & 0x5F); }
constexpr char lowerCode(char c) { return static_cast<char>(c | 0x60); }
constexpr bool isNearGroup(char code) { return upperCode(code) <= 'F'; }
constexpr std::string_view plainLeadEnd(char code) { return isNearGroup(code) ? std::string_view("12") : HighLeadEndNotation; }

// The lead-end row of a code letter in either case, or nullptr when the
// letter is not one of the twelve eight-bell codes.
const Row* leadEndRowOf(char code);

}  // namespace quarnel
