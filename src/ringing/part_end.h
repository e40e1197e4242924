#pragma once
// Part ends and row keys. A composition is one part rung again and again:
// the part end is the row reached after the last lead of the part, and the
// part count the number of repetitions that bring rounds back. A RowKey
// stands for a row and all its images in the other parts (the smallest row
// value among them), so that a repetition between parts is found exactly
// like one within a part. A PartEnd is a value: each composition holds its
// own and passes it to whatever computes keys, so compositions of different
// part ends can be worked on at once, on any threads.
#include <compare>
#include <cstdint>
#include <memory>

#include "ringing/row.h"

namespace quarnel {

// The number under which a row and its images in the other parts are known:
// the smallest Row::value() among them (exact for eight bells).
struct RowKey {
    std::uint32_t value = 0;
    friend constexpr auto operator<=>(const RowKey&, const RowKey&) = default;
};

// The number of distinct rows of eight bells; rowIndex maps every row onto
// 0 .. RowIndexCount - 1 without gaps, so that tables indexed by row are flat.
inline constexpr int RowIndexCount = 40320;

// A part end with its part count (the order of the row; 1 for rounds) and,
// with more than one part, the tables that give a row's key in one look-up.
// The tables are immutable and shared by every PartEnd of the same row, so
// a copy costs one reference count; they are built (or found among the few
// built last) only when a PartEnd is made from a row.
class PartEnd {
public:
    // No part end yet (nothing read): rounds, part count 0.
    PartEnd() = default;
    explicit PartEnd(const Row& row);

    const Row& row() const { return row_; }
    int count() const { return count_; }
    // The image of r one part on.
    Row onePartOn(const Row& r) const { return row_.times(r); }

    // Same row and count: every key means the same under both.
    friend bool operator==(const PartEnd& a, const PartEnd& b) { return a.count_ == b.count_ && a.row_ == b.row_; }

    struct KeyTables;
    // The key tables; none with one part or fewer.
    const KeyTables* keyTables() const { return tables_.get(); }

private:
    Row row_;
    int count_ = 0;
    std::shared_ptr<const KeyTables> tables_;
};

// The key of a row under a part end.
RowKey rowKey(const PartEnd& partEnd, const Row& row);
// The same, with the rowIndex of the key.
RowKey rowKey(const PartEnd& partEnd, const Row& row, int& keyIndex);
// The key of start.times(row), with the rowIndex of the key, without
// building the product.
RowKey rowKeyOfProduct(const PartEnd& partEnd, const Row& start, const Row& row, int& keyIndex);
// rowKeyOfProduct of start with each of count rows in turn: keys[i] and
// indexes[i] (the key's rowIndex) for rows[i].
void rowKeysOfProducts(const PartEnd& partEnd, const Row& start, const Row* rows, int count, RowKey* keys,
                       std::uint16_t* indexes);
namespace detail {
// rowKeysOfProducts without the processor's byte shuffle (where it has one),
// so that the two ways can be compared.
void rowKeysOfProductsPortable(const PartEnd& partEnd, const Row& start, const Row* rows, int count, RowKey* keys,
                               std::uint16_t* indexes);
}

// A dense index 0..40319 of a row, or of the row whose value a key holds;
// -1 for a key that is the value of no row.
int rowIndex(const Row& row);
int rowIndex(RowKey key);
// The same for a key known to come from a row (no check).
int rowIndexOfKnownRow(RowKey key);
// The row of an index 0..RowIndexCount - 1. The index is the row's rank in
// lexicographic order, so rising indexes give rising row values.
Row rowOfIndex(int index);

}  // namespace quarnel
