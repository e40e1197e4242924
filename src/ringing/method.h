#pragma once
// A method: its lead-head code letter, the changes of its half lead (the
// half-lead change last) and the rows of one lead rung from rounds. The
// second half of the lead rings the first h - 1 changes again in reverse,
// then the lead-end change of the code ("12" for a to f, "18" after f).
// A method built from a text that is not in the notation-text form has no
// code (0) and no notation: callers treat it as no method.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ringing/part_end.h"
#include "ringing/place_notation.h"
#include "ringing/row.h"

namespace quarnel {

inline constexpr int MaxHalfLength = 16;
inline constexpr int MaxLeadRows = 2 * MaxHalfLength + 1;

// The place (from 0) of each bell (index) in each row of a lead and the first
// row of the next lead: [bell][row].
using BellPaths = std::array<std::array<std::int8_t, MaxLeadRows>, BellCount>;

class Method {
public:
    // Builds a method from a notation text. With notationText empty, firstText
    // is the notation text and the method has no name; otherwise firstText is
    // the method's name. h is the half-lead length (1 to 16).
    Method(std::string_view firstText, int h, std::string_view notationText);
    // The method of a notation text that is already read: its code letter
    // (lower case) and its h changes, the half-lead change last. It has no
    // name, and is the method the text written from them would give.
    Method(char code, const Change* const* changes, int h);
    Method(const Method& other);
    Method& operator=(const Method& other);
    virtual ~Method();

    virtual std::unique_ptr<Method> clone() const = 0;
    // Fills the rows from the changes and the code.
    virtual void buildRows();
    // The name of a notation text; the base knows none.
    virtual std::string nameFromNotation(std::string_view notation) const;

    char code() const { return code_; }
    bool hasNotation() const { return code_ != 0; }
    int halfLength() const { return halfLength_; }
    int leadLength() const { return 2 * halfLength_; }
    const std::string& name() const { return name_; }
    const Change& change(int i) const { return changes_[static_cast<std::size_t>(i)]; }
    // Row i of the lead from rounds, 0 to 2h (2h is the next lead head).
    const Row& row(int i) const { return rows_[static_cast<std::size_t>(i)]; }
    // Row i as text ("12345678" for row 0); empty when there is no notation.
    std::string rowText(int i) const;

    // The notation text, or empty when the method has no code.
    std::string notationText() const;

    // For i = 1 to h - 1: keys[i - 1] = rowKey(partEnd, start.times(row i)).
    // The keys of the rows inside the first half of a lead that starts from
    // start.
    void halfLeadKeys(const PartEnd& partEnd, RowKey* keys, const Row& start) const;
    // The same, with the rowIndex of every key beside it.
    void halfLeadKeys(const PartEnd& partEnd, RowKey* keys, std::uint16_t* indexes, const Row& start) const;

    // Fills the place of every bell in every row of the lead, the second half
    // taken from the first through the code's lead-end row. Returns false and
    // fills nothing when the code has no lead-end row.
    bool fillBellPaths(BellPaths& paths) const;

protected:
    void setName(std::string name) { name_ = std::move(name); }

private:
    char code_ = 0;
    int halfLength_ = MaxHalfLength;
    std::array<Change, MaxHalfLength> changes_{};
    std::array<Row, MaxLeadRows> rows_{};
    std::string name_;
};

// The notation text of a code letter and h changes (h at least 1): the
// letter, "&" and the short forms, a "." between two changes that are not
// the cross. Every notation text the system writes is written here.
std::string notationTextOf(char code, const Change* changes, int h);

namespace detail {
// The rows 1 to 2h of a lead from its row 0, its h changes and its lead-end
// change, as buildRows makes them without the processor's byte shuffle (so
// that the two ways can be compared).
void buildLeadRowsPortable(Row* rows, const Change* changes, int h, const Change& leadEnd);
}  // namespace detail

}  // namespace quarnel
