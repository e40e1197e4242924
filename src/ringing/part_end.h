#pragma once
// Part ends and row keys. A composition is one part rung again and again:
// the part end is the row reached after the last lead of the part, and the
// part count the number of repetitions that bring rounds back. A RowKey
// stands for a row and all its images in the other parts (the smallest row
// value among them), so that a repetition between parts is found exactly
// like one within a part. The part end is process-wide and is set once by
// every composition read.
#include <compare>
#include <cstdint>

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

// Sets the part end and computes the part count (the order of the part end;
// 1 for rounds).
void setPartEnd(const Row& row);
// Back to the state before any composition was read: rounds, part count 0.
void resetPartEnd();
const Row& partEnd();
int partCount();
namespace detail {
inline std::uint64_t partEndGenerationCount = 0;
}
// Counts the changes of part end (a set of the part end already set is
// none), so that anything that caches per-key results can tell that the keys
// have changed meaning.
inline std::uint64_t partEndGeneration() { return detail::partEndGenerationCount; }

// The key of a row under the present part end.
RowKey rowKey(const Row& row);
// The same, with the rowIndex of the key.
RowKey rowKey(const Row& row, int& keyIndex);
// The key of start.times(row), with the rowIndex of the key, without
// building the product.
RowKey rowKeyOfProduct(const Row& start, const Row& row, int& keyIndex);
// rowKeyOfProduct of start with each of count rows in turn: keys[i] and
// indexes[i] (the key's rowIndex) for rows[i].
void rowKeysOfProducts(const Row& start, const Row* rows, int count, RowKey* keys, std::uint16_t* indexes);
namespace detail {
// rowKeysOfProducts without the processor's byte shuffle (where it has one),
// so that the two ways can be compared.
void rowKeysOfProductsPortable(const Row& start, const Row* rows, int count, RowKey* keys, std::uint16_t* indexes);
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
