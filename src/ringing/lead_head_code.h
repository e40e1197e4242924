#pragma once
// A lead-head code: one of the twelve letters A to M (no I) that name where a
// lead of a treble-dodging Major method leaves the bells, by its lead-end row
// (the row at the lead end of a lead that starts from rounds; a lead head is
// not a lead end). A LeadHeadCode is always one of the twelve: it is built
// only from a valid letter. Codes A to F are in the near group, whose plain
// lead end is "12"; G to M are in the far group, whose plain lead end is "18".
#include <array>
#include <compare>
#include <optional>
#include <string_view>

#include "ringing/row.h"

namespace quarnel {

// The two groups of codes, by the place the plain lead end makes.
enum class LeadEndGroup : unsigned char { Near, Far };

// The plain lead-end change of a group: "12" near, "18" far.
constexpr std::string_view plainLeadEndOf(LeadEndGroup group) { return group == LeadEndGroup::Near ? "12" : "18"; }

class LeadHeadCode {
public:
    // The code of a letter as the composition file writes it (upper case),
    // or none for any other character ("I", "N", "Q", "Z", "a", "*", ...).
    static constexpr std::optional<LeadHeadCode> fromLetter(char letter) {
        if (letter < 'A' || letter > 'M' || letter == 'I') return std::nullopt;
        return LeadHeadCode(letter);
    }
    // The same, reading a lower-case letter (as a notation text begins) as
    // well as an upper-case one.
    static constexpr std::optional<LeadHeadCode> fromEitherCase(char letter) {
        return fromLetter(letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter);
    }

    // The upper-case letter, as the composition file writes it.
    constexpr char letter() const { return letter_; }
    // The lower-case letter, with which a notation text of the code begins.
    constexpr char notationLetter() const { return static_cast<char>(letter_ - 'A' + 'a'); }
    constexpr LeadEndGroup group() const { return letter_ <= 'F' ? LeadEndGroup::Near : LeadEndGroup::Far; }
    // The plain lead-end change of the code's group.
    constexpr std::string_view plainLeadEnd() const { return plainLeadEndOf(group()); }
    // The lead-end row, as the LeadEndTable holds it under the letter.
    const Row& leadEndRow() const;

    friend constexpr auto operator<=>(const LeadHeadCode&, const LeadHeadCode&) = default;

private:
    constexpr explicit LeadHeadCode(char letter) : letter_(letter) {}
    char letter_;
};

// Every code, in letter order.
inline constexpr std::array<LeadHeadCode, 12> AllLeadHeadCodes = {
    *LeadHeadCode::fromLetter('A'), *LeadHeadCode::fromLetter('B'), *LeadHeadCode::fromLetter('C'),
    *LeadHeadCode::fromLetter('D'), *LeadHeadCode::fromLetter('E'), *LeadHeadCode::fromLetter('F'),
    *LeadHeadCode::fromLetter('G'), *LeadHeadCode::fromLetter('H'), *LeadHeadCode::fromLetter('J'),
    *LeadHeadCode::fromLetter('K'), *LeadHeadCode::fromLetter('L'), *LeadHeadCode::fromLetter('M')};

}  // namespace quarnel
