#include "ringing/place_notation.h"

#include <algorithm>

#include "ringing/lead_end_table.h"

namespace quarnel {
namespace {

// The places of a change (1-based, ascending), or false when the text is not
// a valid change for n bells. The cross and the empty change have no places.
bool placesOf(std::string_view change, int n, std::array<int, 16>& places, int& count) {
    count = 0;
    if (change == "-" || change.empty()) return true;
    int last = 0;
    for (char c : change) {
        const int p = placeOf(c);
        if (p == 0 || p > n || p <= last || count >= 16) return false;
        places[static_cast<std::size_t>(count++)] = p;
        last = p;
    }
    return true;
}

// Exchanges the bells of a row of n bells as the change says: the bells
// between two consecutive places are exchanged in pairs, and where an odd
// number of bells would lie between two places an implied place is made next
// to the later one. A sentinel place n + 1 closes the change.
template <typename Swap>
void exchange(const std::array<int, 16>& places, int count, int n, Swap swap) {
    int last = 0;
    int beforeLast = 0;
    int i = 0;
    int p = 0;
    // Each place is read at most twice (once more after an implied place).
    for (int guard = 0; i <= count && guard < 64; ++guard) {
        const int next = i < count ? places[static_cast<std::size_t>(i)] : n + 1;
        beforeLast = last;
        last = p;
        p = next;
        if ((p - last) % 2 == 0) {
            --i;
            p = (p % 2 != 0) ? p - 1 : beforeLast + 1;
        }
        while (p > last + 1 && last + 1 < n) {
            swap(last, last + 1);
            last += 2;
        }
        ++i;
    }
}

}  // namespace

namespace {

// The transposition and exchanged pairs of a change depend only on the set of
// places it names (implied places follow from them): one entry for each of
// the 256 sets of places 1 to 8, the empty set being the cross. Each entry
// also holds the full set of places rung (the bells that do not move) and the
// short form written from that set.
struct Exchange {
    Row transposition;
    std::uint64_t leftOfPairs = 0;
    unsigned fullSet = 0;
    std::array<char, BellCount> full{};
    std::uint8_t fullSize = 0;
    std::array<char, BellCount> brief{};
    std::uint8_t briefSize = 0;
};

// The short form of a full set of places: "18" is "1"; otherwise a final
// "8" is dropped, then a leading "1" when more than one character is left.
// On a full set reading the result gives the same set again.
std::string_view shortOfFull(std::string_view full) {
    if (full == HighLeadEndNotation) return full.substr(0, 1);
    if (!full.empty() && full.back() == HighLeadEndNotation[1]) full.remove_suffix(1);
    if (full.size() > 1 && full.front() == '1') full.remove_prefix(1);
    return full;
}

const std::array<Exchange, 256>& exchangesByPlaces() {
    static const std::array<Exchange, 256> table = [] {
        std::array<Exchange, 256> t{};
        for (unsigned set = 0; set < 256; ++set) {
            std::array<int, 16> places{};
            int count = 0;
            for (int p = 1; p <= BellCount; ++p)
                if (set & (1u << (p - 1))) places[static_cast<std::size_t>(count++)] = p;
            Row::Bells bells = Row().bells();
            std::uint64_t left = 0;
            exchange(places, count, BellCount, [&](int a, int b) {
                std::swap(bells[static_cast<std::size_t>(a)], bells[static_cast<std::size_t>(b)]);
                left |= 0xFFull << (8 * a);
            });
            Exchange& e = t[set];
            e.transposition = Row(bells);
            e.leftOfPairs = left;
            for (int i = 0; i < BellCount; ++i) {
                if (bells[static_cast<std::size_t>(i)] != i) continue;
                e.fullSet |= 1u << i;
                e.full[e.fullSize++] = static_cast<char>('1' + i);
            }
            if (e.fullSize == 0) e.full[e.fullSize++] = '-';
            const std::string_view brief = shortOfFull(std::string_view(e.full.data(), e.fullSize));
            std::copy(brief.begin(), brief.end(), e.brief.begin());
            e.briefSize = static_cast<std::uint8_t>(brief.size());
        }
        return t;
    }();
    return table;
}

}  // namespace

std::optional<Change> Change::parse(std::string_view text) {
    Change c;
    if (!c.assign(text)) return std::nullopt;
    return c;
}

bool Change::assign(std::string_view text) {
    std::array<int, 16> places{};
    int count = 0;
    if (text.empty() || text.size() > BellCount || !placesOf(text, BellCount, places, count)) return false;
    unsigned set = 0;
    for (int i = 0; i < count; ++i) set |= 1u << (places[static_cast<std::size_t>(i)] - 1);
    static const std::array<Exchange, 256>& exchanges = exchangesByPlaces();
    const Exchange& e = exchanges[set];
    chars_ = e.full;
    size_ = e.fullSize;
    short_ = e.brief;
    shortSize_ = e.briefSize;
    characters_ = static_cast<std::uint16_t>(e.fullSet == 0 ? 1u : e.fullSet << 1);
    transposition_ = e.transposition;
    leftOfPairs_ = e.leftOfPairs;
    return true;
}

bool applyChange(std::string& row, std::string_view change) {
    const int n = static_cast<int>(row.size());
    std::array<int, 16> places{};
    int count = 0;
    if (n > 16 || !placesOf(change, n, places, count)) return false;
    exchange(places, count, n, [&](int a, int b) { std::swap(row[static_cast<std::size_t>(a)], row[static_cast<std::size_t>(b)]); });
    return true;
}

std::string_view takeChange(std::string_view& text) {
    if (!text.empty() && text.front() == '-') {
        text.remove_prefix(1);
        return "-";
    }
    if (!text.empty() && text.front() == '.') text.remove_prefix(1);
    std::size_t k = 0;
    while (k < text.size() && text[k] != '-' && text[k] != '.') ++k;
    if (k == text.size()) return {};
    const std::string_view change = text.substr(0, k);
    text.remove_prefix(k);
    return change;
}

std::string abbreviateChange(std::string_view change) {
    const auto c = Change::parse(change);
    return c ? std::string(c->shortText()) : std::string();
}

}  // namespace quarnel
