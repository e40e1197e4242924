#include "ringing/part_end.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <mutex>

#include "ringing/byte_shuffle.h"

namespace quarnel {
namespace {

// The largest order of a permutation of eight bells is 15 (a 3-cycle and a
// 5-cycle).
constexpr int MaxParts = 15;

}  // namespace

// With more than one part: by rowIndex of a row, its key and the rowIndex
// of its key, so that a key costs one look-up. Never changed once built.
struct PartEnd::KeyTables {
    Row partEnd;
    std::array<std::uint32_t, RowIndexCount> keyOfRow{};
    std::array<std::uint16_t, RowIndexCount> keyIndexOfRow{};
};

namespace {

struct IndexTables {
    // The first four bells (12 bits of a row value) as an ordered selection
    // of four of eight bells: 0..1679, or 0xFFFF when a bell repeats.
    std::array<std::uint16_t, 4096> prefix{};
    // The last four bells: the rank 0..23 of their relative order.
    std::array<std::uint16_t, 4096> suffix{};
    // Every row's bells by its index.
    std::array<std::array<std::uint8_t, BellCount>, RowIndexCount> rows{};
};

std::unique_ptr<IndexTables> buildIndexTables() {
    auto tables = std::make_unique<IndexTables>();
    IndexTables& t = *tables;
    for (unsigned bits = 0; bits < 4096; ++bits) {
        unsigned d[4] = {(bits >> 9) & 7, (bits >> 6) & 7, (bits >> 3) & 7, bits & 7};
        unsigned used = 0;
        unsigned rank = 0;
        bool distinct = true;
        const unsigned radix[4] = {8, 7, 6, 5};
        for (int i = 0; i < 4; ++i) {
            if (used & (1u << d[i])) distinct = false;
            const unsigned smallerUsed = static_cast<unsigned>(std::popcount(used & ((1u << d[i]) - 1)));
            rank = rank * radix[i] + (d[i] - smallerUsed);
            used |= 1u << d[i];
        }
        t.prefix[bits] = distinct ? static_cast<std::uint16_t>(rank) : 0xFFFF;
        unsigned srank = 0;
        const unsigned sradix[4] = {4, 3, 2, 1};
        for (int i = 0; i < 4; ++i) {
            unsigned smallerLater = 0;
            for (int j = i + 1; j < 4; ++j)
                if (d[j] < d[i]) ++smallerLater;
            srank = srank * sradix[i] + smallerLater;
        }
        t.suffix[bits] = distinct ? static_cast<std::uint16_t>(srank) : 0xFFFF;
    }
    // The index of a row is the lexicographic rank of its permutation, the
    // order next_permutation gives.
    std::array<std::uint8_t, BellCount> b{0, 1, 2, 3, 4, 5, 6, 7};
    std::size_t index = 0;
    do t.rows[index++] = b;
    while (std::next_permutation(b.begin(), b.end()));
    return tables;
}

const IndexTables& indexTables() {
    static const std::unique_ptr<IndexTables> t = buildIndexTables();
    return *t;
}

// Fills the key tables: every row's images over the parts form its orbit,
// and all of them have the smallest value in the orbit as their key. The
// loop works on the bells directly, the products and indexes written out:
// it runs at every new part end, over all 40,320 rows.
void buildKeyTables(PartEnd::KeyTables& s, int count) {
    const IndexTables& t = indexTables();
    std::array<bool, RowIndexCount> done{};
    const std::array<std::uint8_t, BellCount>& end = s.partEnd.bells();
    std::array<std::uint16_t, MaxParts> members{};
    for (int index = 0; index < RowIndexCount; ++index) {
        if (done[static_cast<std::size_t>(index)]) continue;
        std::array<std::uint8_t, BellCount> r = t.rows[static_cast<std::size_t>(index)];
        std::uint32_t smallest = ~0u;
        for (int k = 0; k < count; ++k) {
            if (k > 0)
                for (auto& bell : r) bell = end[bell];
            const std::uint32_t high = (std::uint32_t{r[0]} << 9) | (std::uint32_t{r[1]} << 6) | (std::uint32_t{r[2]} << 3) | r[3];
            const std::uint32_t low = (std::uint32_t{r[4]} << 9) | (std::uint32_t{r[5]} << 6) | (std::uint32_t{r[6]} << 3) | r[7];
            smallest = std::min(smallest, (high << 12) | low);
            members[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(t.prefix[high] * 24 + t.suffix[low]);
        }
        const auto smallestIndex = static_cast<std::uint16_t>(t.prefix[smallest >> 12] * 24 + t.suffix[smallest & 0xFFF]);
        for (int k = 0; k < count; ++k) {
            const std::size_t at = members[static_cast<std::size_t>(k)];
            done[at] = true;
            s.keyOfRow[at] = smallest;
            s.keyIndexOfRow[at] = smallestIndex;
        }
    }
}

}  // namespace

namespace {

// The tables of the last few part ends are kept: a composer moving between
// compositions of different part ends (Load, undo, a save read back, a fill
// preview) does not wait for them to be built again. The lock is taken only
// while a PartEnd is made from a row; the tables themselves never change.
constexpr std::size_t KeptTables = 4;

struct KeptKeyTables {
    std::mutex lock;
    std::array<std::shared_ptr<const PartEnd::KeyTables>, KeptTables> tables;
    std::array<unsigned, KeptTables> lastUse{};
    unsigned useClock = 0;

    // The kept tables of the part end, marked as used; none when not kept.
    std::shared_ptr<const PartEnd::KeyTables> find(const Row& row) {
        for (std::size_t i = 0; i < KeptTables; ++i)
            if (tables[i] && tables[i]->partEnd == row) {
                lastUse[i] = ++useClock;
                return tables[i];
            }
        return nullptr;
    }
    // Keeps the tables in place of the least recently used.
    void keep(std::shared_ptr<const PartEnd::KeyTables> built) {
        std::size_t oldest = 0;
        for (std::size_t i = 0; i < KeptTables; ++i) {
            if (!tables[i]) {
                oldest = i;
                break;
            }
            if (lastUse[i] < lastUse[oldest]) oldest = i;
        }
        tables[oldest] = std::move(built);
        lastUse[oldest] = ++useClock;
    }
};

std::shared_ptr<const PartEnd::KeyTables> keyTablesOf(const Row& row, int count) {
    static KeptKeyTables kept;
    {
        const std::lock_guard<std::mutex> hold(kept.lock);
        if (auto found = kept.find(row)) return found;
    }
    // Built outside the lock: another thread may make a PartEnd meanwhile.
    auto built = std::make_shared<PartEnd::KeyTables>();
    built->partEnd = row;
    buildKeyTables(*built, count);
    const std::lock_guard<std::mutex> hold(kept.lock);
    // Another thread may have built the same tables meanwhile: one copy is kept.
    if (auto found = kept.find(row)) return found;
    kept.keep(built);
    return built;
}

}  // namespace

PartEnd::PartEnd(const Row& row) : row_(row), count_(1) {
    for (Row q = row; !q.isRounds() && count_ < MaxParts; q = q.times(row)) ++count_;
    if (count_ > 1) tables_ = keyTablesOf(row, count_);
}

RowKey rowKey(const PartEnd& partEnd, const Row& row) {
    const PartEnd::KeyTables* keys = partEnd.keyTables();
    if (keys == nullptr) return {row.value()};
    return {keys->keyOfRow[static_cast<std::size_t>(rowIndex(row))]};
}

RowKey rowKey(const PartEnd& partEnd, const Row& row, int& keyIndex) {
    const PartEnd::KeyTables* keys = partEnd.keyTables();
    const int index = rowIndex(row);
    if (keys == nullptr) {
        keyIndex = index;
        return {row.value()};
    }
    keyIndex = keys->keyIndexOfRow[static_cast<std::size_t>(index)];
    return {keys->keyOfRow[static_cast<std::size_t>(index)]};
}

RowKey rowKeyOfProduct(const PartEnd& partEnd, const Row& start, const Row& row, int& keyIndex) {
    // The value's upper and lower twelve bits are the first and last four bells.
    const auto bell = [&](int place) { return static_cast<std::uint32_t>(start[row[place]]); };
    const std::uint32_t high = (bell(0) << 9) | (bell(1) << 6) | (bell(2) << 3) | bell(3);
    const std::uint32_t low = (bell(4) << 9) | (bell(5) << 6) | (bell(6) << 3) | bell(7);
    const IndexTables& t = indexTables();
    const int index = t.prefix[high] * 24 + t.suffix[low];
    const PartEnd::KeyTables* keys = partEnd.keyTables();
    if (keys == nullptr) {
        keyIndex = index;
        return {(high << 12) | low};
    }
    keyIndex = keys->keyIndexOfRow[static_cast<std::size_t>(index)];
    return {keys->keyOfRow[static_cast<std::size_t>(index)]};
}

namespace {

// The rowIndexes of the products start.times(rows[i]) into indexes, and with
// one part their keys (the row values) into keys.
void productIndexesPortable(const Row& start, const Row* rows, int count, RowKey* keys, std::uint16_t* indexes) {
    const IndexTables& t = indexTables();
    const Row::Bells& b = start.bells();
    // The value's upper and lower twelve bits are the first and last four bells.
    const auto half = [&b](const Row& row, int from) {
        return (static_cast<std::uint32_t>(b[row[from]]) << 9) | (static_cast<std::uint32_t>(b[row[from + 1]]) << 6) |
               (static_cast<std::uint32_t>(b[row[from + 2]]) << 3) | static_cast<std::uint32_t>(b[row[from + 3]]);
    };
    for (int i = 0; i < count; ++i) {
        const std::uint32_t high = half(rows[i], 0);
        const std::uint32_t low = half(rows[i], 4);
        indexes[i] = static_cast<std::uint16_t>(t.prefix[high] * 24 + t.suffix[low]);
        keys[i] = RowKey{(high << 12) | low};
    }
}

#if QUARNEL_BYTE_SHUFFLE
// The same with one byte shuffle for the eight bells of a product and two
// multiply-adds for the two halves of its value; with more than one part
// (orbits) the keys of the orbits at once.
template <bool Orbits>
QUARNEL_SHUFFLE_TARGET void productKeysShuffled(const PartEnd::KeyTables* orbits, const Row& start, const Row* rows,
                                                int count, RowKey* keys, std::uint16_t* indexes) {
    const IndexTables& t = indexTables();
    const __m128i bells = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(start.bells().data()));
    const __m128i pairs = _mm_set1_epi16(0x0108);       // 8 * first bell + second
    const __m128i quads = _mm_set1_epi32(0x00010040);  // 64 * first pair + second
    for (int i = 0; i < count; ++i) {
        const __m128i row = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(rows[i].bells().data()));
        const __m128i product = _mm_shuffle_epi8(bells, row);
        const __m128i halves = _mm_madd_epi16(_mm_maddubs_epi16(product, pairs), quads);
        const auto both = static_cast<std::uint64_t>(_mm_cvtsi128_si64(halves));
        const auto high = static_cast<std::uint32_t>(both & 0xFFF);
        const auto low = static_cast<std::uint32_t>((both >> 32) & 0xFFF);
        const auto index = static_cast<std::size_t>(t.prefix[high] * 24 + t.suffix[low]);
        if constexpr (Orbits) {
            indexes[i] = orbits->keyIndexOfRow[index];
            keys[i] = RowKey{orbits->keyOfRow[index]};
        } else {
            indexes[i] = static_cast<std::uint16_t>(index);
            keys[i] = RowKey{(high << 12) | low};
        }
    }
}
#endif

// With more than one part a product's key is that of the row's orbit.
void keyByOrbits(const PartEnd::KeyTables* orbits, int count, RowKey* keys, std::uint16_t* indexes) {
    if (orbits == nullptr) return;
    for (int i = 0; i < count; ++i) {
        const std::size_t index = indexes[i];
        indexes[i] = orbits->keyIndexOfRow[index];
        keys[i] = RowKey{orbits->keyOfRow[index]};
    }
}

}  // namespace

void detail::rowKeysOfProductsPortable(const PartEnd& partEnd, const Row& start, const Row* rows, int count,
                                       RowKey* keys, std::uint16_t* indexes) {
    productIndexesPortable(start, rows, count, keys, indexes);
    keyByOrbits(partEnd.keyTables(), count, keys, indexes);
}

void rowKeysOfProducts(const PartEnd& partEnd, const Row& start, const Row* rows, int count, RowKey* keys,
                       std::uint16_t* indexes) {
#if QUARNEL_BYTE_SHUFFLE
    if (hasByteShuffle()) {
        if (const PartEnd::KeyTables* orbits = partEnd.keyTables())
            productKeysShuffled<true>(orbits, start, rows, count, keys, indexes);
        else
            productKeysShuffled<false>(nullptr, start, rows, count, keys, indexes);
        return;
    }
#endif
    detail::rowKeysOfProductsPortable(partEnd, start, rows, count, keys, indexes);
}

int rowIndex(RowKey key) {
    const IndexTables& t = indexTables();
    if (key.value >= (1u << 24)) return -1;
    const std::uint16_t prefix = t.prefix[key.value >> 12];
    const std::uint16_t suffix = t.suffix[key.value & 0xFFF];
    if (prefix == 0xFFFF || suffix == 0xFFFF) return -1;
    // A row's last four bells are the four its first four leave out; a value
    // whose halves share a bell is no row.
    const unsigned first = (1u << (key.value >> 21)) | (1u << ((key.value >> 18) & 7)) |
                           (1u << ((key.value >> 15) & 7)) | (1u << ((key.value >> 12) & 7));
    const unsigned last = (1u << ((key.value >> 9) & 7)) | (1u << ((key.value >> 6) & 7)) |
                          (1u << ((key.value >> 3) & 7)) | (1u << (key.value & 7));
    if ((first | last) != 0xFF) return -1;
    return prefix * 24 + suffix;
}

int rowIndexOfKnownRow(RowKey key) {
    const IndexTables& t = indexTables();
    return t.prefix[key.value >> 12] * 24 + t.suffix[key.value & 0xFFF];
}

Row rowOfIndex(int index) { return Row(indexTables().rows[static_cast<std::size_t>(index)]); }

int rowIndex(const Row& row) { return rowIndexOfKnownRow(RowKey{row.value()}); }

}  // namespace quarnel
