#include "ringing/method.h"

#include "ringing/byte_shuffle.h"
#include "ringing/lead_end_table.h"

namespace quarnel {
namespace {

// The texts of a search's methods are made of few distinct changes: the
// compiled form of each text met is kept (per thread, a small table by a
// hash of the text), so that a change is parsed once, not once a method.
class ChangeCache {
public:
    bool assign(Change& change, std::string_view text) {
        if (text.size() > sizeof(std::uint64_t)) return change.assign(text);
        std::uint64_t packed = 0;
        for (std::size_t i = 0; i < text.size(); ++i) packed |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
        Entry& e = entries_[((packed ^ text.size()) * 0x9E3779B97F4A7C15ull) >> (64 - Bits)];
        if (e.filled && e.packed == packed && e.size == text.size()) {
            change = e.change;
            return true;
        }
        if (!change.assign(text)) return false;
        e = Entry{packed, static_cast<std::uint8_t>(text.size()), true, change};
        return true;
    }

private:
    static constexpr int Bits = 6;
    struct Entry {
        std::uint64_t packed = 0;
        std::uint8_t size = 0;
        bool filled = false;
        Change change;
    };
    std::array<Entry, 1u << Bits> entries_{};
};

thread_local ChangeCache changeCache;

}  // namespace

Method::Method(std::string_view firstText, int h, std::string_view notationText) {
    if (notationText.empty()) {
        notationText = firstText;
    } else {
        name_ = std::string(firstText);
    }
    if (h < 1 || h > MaxHalfLength) return;
    halfLength_ = h;
    if (notationText.size() < 2 || notationText[1] != '&') return;

    // The half lead is read change by change; text left over after h changes
    // is ignored, and changes missing at the end (the text used up) are
    // crosses. A "." only separates: beside a cross or at either end it
    // stands for nothing, as ringers write it ("-3.-4" is -, 3, -, 4). Two
    // dots together are an empty change, which is not a change: the method
    // then has no notation.
    std::string_view text = notationText.substr(2);
    static const Change cross;
    for (int i = 0; i < h; ++i) {
        Change& c = changes_[static_cast<std::size_t>(i)];
        if (!text.empty() && text.front() == '.') {
            text.remove_prefix(1);
            if (!text.empty() && text.front() == '.') {
                changes_.fill(Change());
                return;
            }
        }
        if (text.empty() || text.front() == '-') {
            c = cross;
            if (!text.empty()) text.remove_prefix(1);
            continue;
        }
        std::size_t k = 0;
        while (k < text.size() && text[k] != '-' && text[k] != '.') ++k;
        if (!changeCache.assign(c, text.substr(0, k))) {
            changes_.fill(Change());
            return;
        }
        text.remove_prefix(k);
    }
    code_ = notationText[0];
    buildRows();
}

Method::Method(char code, const Change* const* changes, int h) {
    if (h < 1 || h > MaxHalfLength) return;
    halfLength_ = h;
    for (int i = 0; i < h; ++i) changes_[static_cast<std::size_t>(i)] = *changes[i];
    code_ = code;
    buildRows();
}

Method::Method(const Method& other) = default;
Method& Method::operator=(const Method& other) = default;
Method::~Method() = default;

#if QUARNEL_BYTE_SHUFFLE
namespace {

// The rows of a lead as buildRows makes them, each row the one before times
// the change's transposition in one byte shuffle.
QUARNEL_SHUFFLE_TARGET void buildRowsShuffled(Row* rows, const Change* changes, int h, const Change& leadEnd) {
    const auto load = [](const Row& r) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(r.bells().data())); };
    const auto store = [](Row& r, __m128i x) {
        Row::Bells bells;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(bells.data()), x);
        r = Row(bells);
    };
    __m128i x = load(rows[0]);
    for (int i = 0; i < h; ++i) {
        x = _mm_shuffle_epi8(x, load(changes[i].transposition()));
        store(rows[i + 1], x);
    }
    for (int i = h - 2; i >= 0; --i) {
        x = _mm_shuffle_epi8(x, load(changes[i].transposition()));
        store(rows[2 * h - 1 - i], x);
    }
    store(rows[2 * h], _mm_shuffle_epi8(x, load(leadEnd.transposition())));
}

}  // namespace
#endif

void detail::buildLeadRowsPortable(Row* rows, const Change* changes, int h, const Change& leadEnd) {
    // Each row follows from the one before: the running row stays packed.
    PackedRow x = pack(rows[0]);
    for (int i = 0; i < h; ++i) {
        x = applyPacked(x, changes[i]);
        rows[i + 1] = unpack(x);
    }
    for (int i = h - 2; i >= 0; --i) {
        x = applyPacked(x, changes[i]);
        rows[2 * h - 1 - i] = unpack(x);
    }
    rows[2 * h] = unpack(applyPacked(x, leadEnd));
}

void Method::buildRows() {
    const int h = halfLength_;
    static const Change twelve = *Change::parse("12");
    static const Change eighteen = *Change::parse(HighLeadEndNotation);
    const Change& leadEnd = code_ > 'f' ? eighteen : twelve;
    rows_[0] = Row();
#if QUARNEL_BYTE_SHUFFLE
    if (hasByteShuffle()) {
        buildRowsShuffled(rows_.data(), changes_.data(), h, leadEnd);
        return;
    }
#endif
    detail::buildLeadRowsPortable(rows_.data(), changes_.data(), h, leadEnd);
}

std::string Method::nameFromNotation(std::string_view) const { return {}; }

std::string Method::rowText(int i) const {
    if (!hasNotation() || i < 0 || i > 2 * halfLength_) return {};
    return row(i).text();
}

std::string notationTextOf(char code, const Change* changes, int h) {
    std::string text;
    text.reserve(2 + 5 * static_cast<std::size_t>(h));
    text += code;
    text += '&';
    text += changes[0].shortText();
    for (int i = 1; i < h; ++i) {
        if (!changes[i - 1].isCross() && !changes[i].isCross()) text += '.';
        text += changes[i].shortText();
    }
    return text;
}

std::string Method::notationText() const {
    if (code_ == 0) return {};
    return notationTextOf(code_, changes_.data(), halfLength_);
}

void Method::halfLeadKeys(const PartEnd& partEnd, RowKey* keys, const Row& start) const {
    for (int i = 1; i < halfLength_; ++i) keys[i - 1] = rowKey(partEnd, start.times(row(i)));
}

void Method::halfLeadKeys(const PartEnd& partEnd, RowKey* keys, std::uint16_t* indexes, const Row& start) const {
    rowKeysOfProducts(partEnd, start, rows_.data() + 1, halfLength_ - 1, keys, indexes);
}

bool Method::fillBellPaths(BellPaths& paths) const {
    const Row* leadEndRow = hasNotation() ? leadEndRowOf(code_) : nullptr;
    if (leadEndRow == nullptr) return false;
    const int h = halfLength_;
    for (int i = 0; i < h; ++i) {
        const Row& r = row(i);
        const Row s = leadEndRow->times(r);
        for (int j = 0; j < BellCount; ++j) {
            paths[r[j]][static_cast<std::size_t>(i)] = static_cast<std::int8_t>(j);
            paths[s[j]][static_cast<std::size_t>(2 * h - 1 - i)] = static_cast<std::int8_t>(j);
        }
    }
    const Row next = leadEndRow->transposedBy(code_ < 'g' ? "M" : "A");
    for (int j = 0; j < BellCount; ++j) paths[next[j]][static_cast<std::size_t>(2 * h)] = static_cast<std::int8_t>(j);
    return true;
}

}  // namespace quarnel
