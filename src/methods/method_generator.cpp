#include "methods/method_generator.h"

#include <algorithm>
#include <cstring>

#include "ringing/part_end.h"

#include "ringing/lead_end_table.h"
#include "ringing/model_error.h"

namespace quarnel {
namespace {

using List = std::vector<std::string_view>;

const std::array<List, MethodGenerator::ChosenPositions>& allowedChanges() {
    static const List dodge12 = {"-", "34", "36", "38", "56", "58", "3456", "3458"};
    static const List cross23 = {"14", "16", "18", "1456", "1458"};
    static const List dodge34first = {"-", "56", "58"};
    static const List dodge34 = {"-", "12", "56", "58", "1256", "1258"};
    static const List cross45 = {"16", "18", "36", "38", "1236", "1238"};
    static const List dodge56first = {"-", "12", "14", "34"};
    static const List dodge56 = {"-", "12", "14", "34", "1234"};
    static const List cross67 = {"18", "38", "58", "1238", "1258", "1458", "3458"};
    static const List dodge78 = {"-", "12", "14", "16", "34", "36", "56", "1234", "1236", "1256", "1456", "3456"};
    static const std::array<List, MethodGenerator::ChosenPositions> lists = {
        dodge12, dodge12, dodge12, cross23, dodge34first, dodge34, dodge34, cross45,
        dodge56first, dodge56, dodge56, cross67, dodge78, dodge78, dodge78};
    return lists;
}

const Change& compiled(std::string_view text) {
    static const std::array<Change, 5> known = {*Change::parse("12"), *Change::parse("18"), *Change::parse("38"),
                                                *Change::parse("58"), *Change::parse("78")};
    for (const Change& c : known)
        if (c.text() == text) return c;
    return known[0];
}

// A cross-section with no internal place.
const Change& plainCrossSection() {
    static const Change& eighteen = compiled("18");
    return eighteen;
}

// The half-lead change that makes the odd place n ("18", "38", "58", "78").
const Change& halfLeadChange(int n) {
    static const std::array<const Change*, 4> changes = {&compiled("18"), &compiled("38"), &compiled("58"),
                                                         &compiled("78")};
    return *changes[static_cast<std::size_t>((n - 1) / 2 % 4)];
}

}  // namespace

MethodGenerator::MethodGenerator() {
    rows_[0] = pack(Row());
    choiceIndex_.fill(0);
}

MethodGenerator::~MethodGenerator() = default;

bool MethodGenerator::acceptChange(int, const Change&) { return true; }

bool MethodGenerator::acceptsEveryChangeAt(int) const { return false; }

std::string_view MethodGenerator::allowedChange(int position, int k) const {
    return allowedChanges()[static_cast<std::size_t>(position)][static_cast<std::size_t>(k)];
}

int MethodGenerator::allowedCount(int position) const {
    return static_cast<int>(allowedChanges()[static_cast<std::size_t>(position)].size());
}

const Change& MethodGenerator::compiledChange(int position, int k) const {
    return compiled_[static_cast<std::size_t>(position)][static_cast<std::size_t>(k)];
}

void MethodGenerator::compileTables() {
    for (int p = 0; p < ChosenPositions; ++p) {
        auto& list = compiled_[static_cast<std::size_t>(p)];
        list.clear();
        for (int k = 0; k < allowedCount(p); ++k) {
            const auto c = Change::parse(allowedChange(p, k));
            list.push_back(c ? *c : Change());
        }
    }
    // Which changes at a position may follow each change at the one before.
    for (int p = 1; p < ChosenPositions; ++p) {
        const auto& before = compiled_[static_cast<std::size_t>(p - 1)];
        const auto& after = compiled_[static_cast<std::size_t>(p)];
        auto& to = followers_[static_cast<std::size_t>(p)];
        to.fill(0);
        for (std::size_t k = 0; k < before.size() && k < to.size(); ++k)
            for (std::size_t j = 0; j < after.size() && j < 15; ++j)
                if ((before[k].characters() & after[j].characters()) == 0) to[k] |= static_cast<std::uint16_t>(1u << j);
    }
    for (auto& memo : viableMemo_) {
        memo.reset(new std::uint16_t[RowIndexCount]);
        std::memset(memo.get(), 0, RowIndexCount * sizeof(std::uint16_t));
    }
    memoUsed_.fill(false);
    compiledReady_ = true;
}

void MethodGenerator::clearMemo(std::size_t levels) {
    for (std::size_t level = 0; level < levels && level < MemoLevels; ++level) {
        if (!memoUsed_[level]) continue;
        std::memset(viableMemo_[level].get(), 0, RowIndexCount * sizeof(std::uint16_t));
        memoUsed_[level] = false;
    }
}

void MethodGenerator::filterByOptions() {
    for (int p = 0; p < ChosenPositions; ++p) {
        const auto& list = compiled_[static_cast<std::size_t>(p)];
        auto& next = nextAllowed_[static_cast<std::size_t>(p)];
        const int count = static_cast<int>(list.size());
        int following = count;
        next.fill(static_cast<std::uint8_t>(count));
        for (int k = count - 1; k >= 0; --k) {
            const Change& c = list[static_cast<std::size_t>(k)];
            const bool passes = (!options_.twoPlaces || c.size() < 4) && (!options_.rightPlace || p % 2 != 0 || c.size() < 2);
            if (passes) following = k;
            next[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(following);
        }
    }
    for (int p = 0; p < ChosenPositions; ++p) {
        const auto& next = nextAllowed_[static_cast<std::size_t>(p)];
        std::uint16_t bits = 0;
        for (int k = 0; k < static_cast<int>(compiled_[static_cast<std::size_t>(p)].size()) && k < 15; ++k)
            if (next[static_cast<std::size_t>(k)] == k) bits |= static_cast<std::uint16_t>(1u << k);
        allowed_[static_cast<std::size_t>(p)] = bits;
    }
    // What can go on before position 14 depends on the options.
    clearMemo(MemoLevels - 1);
    filteredFor_ = options_;
    filtered_ = true;
}

void MethodGenerator::setCode(char letter) {
    const char code = upperCode(letter);
    if (code == code_ && code_ != 0) {  // the same code again: only the half-lead change is new
        changes_[HalfLength] = &plainCrossSection();
        return;
    }
    static constexpr std::string_view codes = "ABCDEFGHJKLM";
    const std::size_t at = codes.find(code);
    if (letter == 0 || at == std::string_view::npos) throw ModelError(kBadLeadEndGroup);
    const int v = at < 6 ? static_cast<int>(at) : static_cast<int>(at) - 5;
    if (code != memoCode_) {
        clearMemo(MemoLevels);
        memoCode_ = code;
    }
    code_ = code;
    changes_[0] = &compiled(at < 6 ? "12" : HighLeadEndNotation);
    changes_[HalfLength] = &compiled("18");
    static constexpr std::string_view fixedBells = "8365472";
    static constexpr std::array<std::string_view, 3> pairs = {"67524873268534", "45742782386356", "23863564574278"};
    fixedBell_ = bellIndex(fixedBells[static_cast<std::size_t>(v)]);
    for (std::size_t i = 0; i < 3; ++i) {
        crossPairs_[i][0] = bellIndex(pairs[i][static_cast<std::size_t>(2 * v)]);
        crossPairs_[i][1] = bellIndex(pairs[i][static_cast<std::size_t>(2 * v + 1)]);
    }
}

const std::string& MethodGenerator::nextMethod(char code, int resumeAt, const GeneratorOptions& options) {
    if (!compiledReady_) compileTables();
    setCode(code);  // may throw before anything is changed
    options_ = options;
    if (!filtered_ || options.twoPlaces != filteredFor_.twoPlaces || options.rightPlace != filteredFor_.rightPlace)
        filterByOptions();
    if (!askedFor_ || !(*askedFor_ == options)) {
        askAccept_ = 0;
        for (int p = 0; p < ChosenPositions; ++p)
            if (!acceptsEveryChangeAt(p)) askAccept_ |= 1u << p;
        askedFor_ = options;
    }
    found_ = false;
    resumeAt_ = resumeAt > ChosenPositions - 1 ? ChosenPositions - 1 : resumeAt;
    search();
    text_.clear();
    if (found_) writeText();
    return text_;
}

// The search runs depth first over positions 0 to 14, trying each position's
// changes in list order; it is a loop over an explicit position rather than
// a recursion, with the same effect.
void MethodGenerator::search() {
    int p = 0;
    startPosition(0);
    for (;;) {
        int& index = choiceIndex_[static_cast<std::size_t>(p)];
        const auto& list = compiled_[static_cast<std::size_t>(p)];
        const auto& next = nextAllowed_[static_cast<std::size_t>(p)];
        const int count = static_cast<int>(list.size());
        const std::uint16_t before = changes_[static_cast<std::size_t>(p)]->characters();
        // Indexes whose change fails the two-places or right-place test are
        // stepped over at once; the others are tested as they come.
        const Change* taken = nullptr;
        while (index < count) {
            index = next[static_cast<std::size_t>(index)];
            if (index >= count) break;
            const Change& c = list[static_cast<std::size_t>(index)];
            // From FirstPruned on, a change from which no half lead can be
            // finished is passed over at once: it would be tried in vain.
            if (p >= FirstPruned && (window_[static_cast<std::size_t>(p)] & (1u << index)) == 0) {
                ++index;
                continue;
            }
            if ((c.characters() & before) == 0 && ((askAccept_ & (1u << p)) == 0 || acceptChange(p, c)) &&
                (p < FirstPruned - 1 || p == ChosenPositions - 1 || canGoOnAfter(p, c, index))) {
                taken = &c;
                break;
            }
            ++index;
        }
        if (taken == nullptr) {
            // The list is used up: the position before moves to its next change.
            if (p == 0) return;
            --p;
            ++choiceIndex_[static_cast<std::size_t>(p)];
            continue;
        }
        rows_[static_cast<std::size_t>(p + 1)] = applyPacked(rows_[static_cast<std::size_t>(p)], *taken);
        changes_[static_cast<std::size_t>(p + 1)] = taken;
        if (p + 2 == HalfLength) {
            finalTest();
            if (found_) return;
            ++index;
        } else {
            ++p;
            startPosition(p);
        }
    }
}

// Where the search at a position starts: at the stored index below the
// resume position, one past it at the resume position, else at the start.
void MethodGenerator::startPosition(int p) {
    int& index = choiceIndex_[static_cast<std::size_t>(p)];
    if (p < resumeAt_) return;
    if (p == resumeAt_) {
        ++index;
        resumeAt_ = -1;
    } else {
        index = 0;
    }
}

std::uint16_t MethodGenerator::viableChanges(int position, PackedRow row) {
    std::uint32_t value = 0;
    for (int i = 0; i < BellCount; ++i) value = value * BellCount + static_cast<std::uint32_t>((row >> (8 * i)) & 0xFF);
    const auto level = static_cast<std::size_t>(position - FirstPruned);
    std::uint16_t* const memos = viableMemo_[level].get();
    const auto at = static_cast<std::size_t>(rowIndexOfKnownRow(RowKey{value}));
    if ((memos[at] & 0x8000u) == 0) {
        std::uint16_t bits = 0x8000u;
        const auto& list = compiled_[static_cast<std::size_t>(position)];
        for (std::size_t k = 0; k < list.size() && k < 15; ++k) {
            const PackedRow next = applyPacked(row, list[k]);
            const bool viable =
                position == ChosenPositions - 1
                    ? passesFinalTest(next, list[k])
                    : (viableChanges(position + 1, next) & followers_[static_cast<std::size_t>(position + 1)][k] &
                       allowed_[static_cast<std::size_t>(position + 1)]) != 0;
            if (viable) bits |= static_cast<std::uint16_t>(1u << k);
        }
        memos[at] = bits;
        memoUsed_[level] = true;
    }
    return static_cast<std::uint16_t>(memos[at] & 0x7FFFu);
}

bool MethodGenerator::canGoOnAfter(int p, const Change& c, int index) {
    const auto next = static_cast<std::size_t>(p + 1);
    if (resumeAt_ >= 0) {
        // The resume position has not been reached yet: the later positions
        // start from their stored indexes, so every change is tried there
        // as it comes, and nothing is passed over ahead.
        window_[next] = 0x7FFF;
        return true;
    }
    window_[next] = static_cast<std::uint16_t>(viableChanges(p + 1, applyPacked(rows_[static_cast<std::size_t>(p)], c)) &
                                               followers_[next][static_cast<std::size_t>(index)] & allowed_[next]);
    return window_[next] != 0;
}

// The final test on the row before the half-lead change and the change that
// led to it: the half-lead change must make an odd place that the change
// before it does not make, and exchange exactly the code's three pairs.
bool MethodGenerator::passesFinalTest(PackedRow last, const Change& change) const {
    const int n = placeInPacked(last, fixedBell_) + 1;
    if (n % 2 == 0) return false;  // not one of OddPlaces
    if (change.hasPlace(n)) return false;
    for (const auto& pair : crossPairs_) {
        const int distance = placeInPacked(last, pair[0]) - placeInPacked(last, pair[1]);
        if (distance != 1 && distance != -1) return false;
    }
    return true;
}

void MethodGenerator::finalTest() {
    const PackedRow last = rows_[HalfLength - 1];
    if (!passesFinalTest(last, *changes_[HalfLength - 1])) return;
    // passesFinalTest found the place odd, from 1 to 7.
    changes_[HalfLength] = &halfLeadChange(placeInPacked(last, fixedBell_) + 1);
    found_ = true;
}

void MethodGenerator::writeText() {
    // At most 2 + 16 * (8 + 1) characters: written in place, then copied
    // once. Every change's short form is copied whole (eight characters) and
    // the length moves on by its size, so the buffer has eight to spare.
    std::array<char, 2 + HalfLength * (BellCount + 1) + BellCount> buffer;
    std::size_t length = 0;
    buffer[length++] = lowerCode(code_);
    buffer[length++] = '&';
    for (int i = 1; i <= HalfLength; ++i) {
        const Change& c = *changes_[static_cast<std::size_t>(i)];
        if (i > 1 && !c.isCross() && !changes_[static_cast<std::size_t>(i - 1)]->isCross()) buffer[length++] = '.';
        const auto& chars = c.shortChars();
        std::memcpy(buffer.data() + length, chars.data(), chars.size());
        length += c.shortText().size();
    }
    text_.assign(buffer.data(), length);
}

// The class rules apply at the cross-sections 3, 7 and 11, the symmetry rule
// at 2, 6, 10 and 14 when it is asked for; everywhere else every change passes.
bool MajorMethodGenerator::acceptsEveryChangeAt(int p) const {
    return !(p % 4 == 3 || (options().symmetricSections && p % 4 == 2));
}

bool MajorMethodGenerator::acceptChange(int p, const Change& c) {
    const GeneratorOptions& o = options();
    if (o.symmetricSections && p % 4 == 2 && !(c == changeAt(p - 1))) return false;
    if (p % 4 == 3) {
        const bool plain = c == plainCrossSection();
        if (plain ? !(o.allowDelight || o.allowTrebleBob) : !(o.allowDelight || o.allowSurprise)) return false;
    }
    if (p == 11) {
        int plainSections = c == plainCrossSection() ? 1 : 0;
        for (int q : {3, 7})
            if (compiledChange(q, choiceIndex(q)) == plainCrossSection()) ++plainSections;
        if (plainSections == 0 && !o.allowSurprise) return false;
        if (plainSections == 3 && !o.allowTrebleBob) return false;
        if (plainSections != 0 && plainSections != 3 && !o.allowDelight) return false;
    }
    return true;
}

}  // namespace quarnel
