#include "ringing/part_end.h"

#include <array>
#include <bit>

namespace quarnel {
namespace {

// The largest order of a permutation of eight bells is 15 (a 3-cycle and a
// 5-cycle).
constexpr int MaxParts = 15;

struct PartState {
    Row partEnd;
    int count = 0;
    // powers[k] is the part end applied k times: the image of a row k parts
    // on is powers[k].times(row).
    std::array<Row, MaxParts> powers{};
    // For each choice of the bells in the first three places (3 bits each),
    // the set of k (bit k) whose images of such a row are smallest in those
    // places: the parts whose image can be the row's key. Usually one part.
    std::array<std::uint16_t, 512> leadingParts{};
};

PartState& state() {
    static PartState s;
    return s;
}

struct IndexTables {
    // The first four bells (12 bits of a row value) as an ordered selection
    // of four of eight bells: 0..1679, or 0xFFFF when a bell repeats.
    std::array<std::uint16_t, 4096> prefix{};
    // The last four bells: the rank 0..23 of their relative order.
    std::array<std::uint16_t, 4096> suffix{};
};

IndexTables buildIndexTables() {
    IndexTables t{};
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
    return t;
}

const IndexTables& indexTables() {
    static const IndexTables t = buildIndexTables();
    return t;
}

// Of the parts in the set (bit k for part k), those whose image of the bell
// is smallest.
unsigned smallestImages(const PartState& s, unsigned parts, int bell) {
    int best = BellCount;
    unsigned kept = 0;
    for (unsigned m = parts; m != 0; m &= m - 1) {
        const int k = std::countr_zero(m);
        const int image = s.powers[static_cast<std::size_t>(k)][bell];
        if (image < best) {
            best = image;
            kept = 0;
        }
        if (image == best) kept |= 1u << k;
    }
    return kept;
}

}  // namespace

void setPartEnd(const Row& row) {
    PartState& s = state();
    s.partEnd = row;
    s.count = 1;
    Row q = row;
    s.powers[0] = Row();
    while (!q.isRounds()) {
        s.powers[static_cast<std::size_t>(s.count)] = q;
        ++s.count;
        q = q.times(row);
    }
    for (unsigned lead = 0; lead < 512; ++lead) {
        const int bells[3] = {static_cast<int>(lead >> 6), static_cast<int>((lead >> 3) & 7), static_cast<int>(lead & 7)};
        unsigned parts = (1u << s.count) - 1;
        for (int place = 0; place < 3 && (parts & (parts - 1)) != 0; ++place) parts = smallestImages(s, parts, bells[place]);
        s.leadingParts[lead] = static_cast<std::uint16_t>(parts);
    }
    ++detail::partEndGenerationCount;
}

void resetPartEnd() {
    PartState& s = state();
    s.partEnd = Row();
    s.count = 0;
    s.powers[0] = Row();
    s.leadingParts.fill(1);
    ++detail::partEndGenerationCount;
}

const Row& partEnd() { return state().partEnd; }
int partCount() { return state().count; }

RowKey rowKey(const Row& row) {
    const PartState& s = state();
    if (s.count <= 1) return {row.value()};
    unsigned parts = s.leadingParts[(static_cast<unsigned>(row[0]) << 6) | (static_cast<unsigned>(row[1]) << 3) | row[2]];
    // Images are compared place by place (the value is lexicographic, place 1
    // most significant); usually the first three places decide.
    for (int place = 3; place < BellCount && (parts & (parts - 1)) != 0; ++place) parts = smallestImages(s, parts, row[place]);
    const int k = std::countr_zero(parts);
    return {s.powers[static_cast<std::size_t>(k)].times(row).value()};
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

int rowIndex(const Row& row) { return rowIndexOfKnownRow(RowKey{row.value()}); }

}  // namespace quarnel
