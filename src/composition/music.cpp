#include "composition/music.h"

#include <atomic>
#include <charconv>
#include <climits>
#include <cstring>
#include <string_view>

#include "ringing/text_lines.h"

namespace quarnel {
namespace {

constexpr std::size_t LineLimit = 499;

int clampToInt(long long v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN + 1) return INT_MIN + 1;
    return static_cast<int>(v);
}

// The next blank-separated word of a line, or an empty view at its end.
std::string_view nextWord(std::string_view& line) {
    const std::size_t start = line.find_first_not_of(" \t\v\f\r");
    if (start == std::string_view::npos) {
        line = {};
        return {};
    }
    line.remove_prefix(start);
    const std::size_t end = std::min(line.find_first_of(" \t\v\f\r"), line.size());
    const std::string_view word = line.substr(0, end);
    line.remove_prefix(end);
    return word;
}

bool toInteger(std::string_view word, long long& value) {
    if (!word.empty() && word.front() == '+') word.remove_prefix(1);
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size() && !word.empty();
}

std::uint64_t packText(std::string_view eight) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(eight[static_cast<std::size_t>(i)]);
    return v;
}

}  // namespace

std::uint64_t MusicTable::nextId() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

MusicTable MusicTable::read(std::istream& in, std::vector<std::string>* unread) {
    MusicTable table;
    std::string title;
    std::string data;
    int line = 0;
    const auto note = [&](std::string_view text) {
        if (unread != nullptr) unread->push_back("line " + std::to_string(line) + ": " + std::string(text.substr(0, 60)));
    };
    while (in.peek() != std::char_traits<char>::eof()) {
        if (!readTextLine(in, title, LineLimit) || !readTextLine(in, data, LineLimit)) break;
        line += 2;
        if (data.size() > LineLimit) {  // longer than the format allows
            note(data);
            continue;
        }
        std::string_view rest = data;
        long long score = 0;
        long long unused = 0;
        if (!toInteger(nextWord(rest), score) || !toInteger(nextWord(rest), unused)) {
            // Comment lines ("#", in pairs) and blank ones are no music to read.
            if (!data.empty() && data[0] != '#' && !nextWord(rest = data).empty()) note(data);
            continue;
        }
        Definition& definition = table.definitions_.emplace_back();
        definition.title = title;
        definition.score = clampToInt(score);
        for (std::string_view word = nextWord(rest); !word.empty(); word = nextWord(rest)) {
            if (word.size() == 8) {
                table.add(table.anyStroke_, std::string(word), score);
                definition.anyStroke.emplace_back(word);
            } else if (word.size() == 9) {
                const char stroke = word.back();
                const std::string pattern(word.substr(0, 8));
                if (stroke == 'B' || stroke == 'b') {
                    table.add(table.backstroke_, pattern, score);
                    definition.backstroke.push_back(pattern);
                }
                if (stroke == 'H' || stroke == 'h') {
                    table.add(table.handstroke_, pattern, score);
                    definition.handstroke.push_back(pattern);
                }
                if (stroke != 'B' && stroke != 'b' && stroke != 'H' && stroke != 'h') note(word);
            } else {
                note(word);
            }
        }
    }
    table.compile();
    return table;
}

void MusicTable::add(Patterns& to, const std::string& pattern, long long score) {
    int& entry = to[pattern];
    entry = clampToInt(static_cast<long long>(entry) + clampToInt(score));
}

void MusicTable::compile() {
    auto build = [](const Patterns& from, std::vector<Compiled>& to) {
        to.clear();
        for (const auto& [pattern, score] : from) {
            std::uint64_t mask = 0;
            for (std::size_t i = 0; i < 8; ++i)
                if (pattern[i] != 'x') mask |= 0xFFull << (8 * i);
            to.push_back({packText(pattern), mask, score});
        }
    };
    build(anyStroke_, compiledAny_);
    build(handstroke_, compiledHand_);
    build(backstroke_, compiledBack_);
}

std::int64_t MusicTable::scoreText(std::uint64_t text, bool backstroke) const {
    std::int64_t total = 0;
    for (const Compiled& p : compiledAny_)
        if (((text ^ p.value) & p.mask) == 0) total += p.score;
    for (const Compiled& p : backstroke ? compiledBack_ : compiledHand_)
        if (((text ^ p.value) & p.mask) == 0) total += p.score;
    return total;
}

int MusicTable::scoreRow(const PartEnd& partEnd, RowKey key, bool backstroke) {
    const int parts = partEnd.count();
    const int index = rowIndex(key);
    if (parts <= 0 || index < 0) return 0;
    if (!memoIsFor(partEnd)) {
        memo_.assign(2 * static_cast<std::size_t>(RowIndexCount), UnknownScore);
        memoPartEnd_ = partEnd.row();
        memoParts_ = parts;
    }
    std::int32_t& memo = memo_[2 * static_cast<std::size_t>(index) + (backstroke ? 1 : 0)];
    if (memo != UnknownScore) return memo;
    std::int64_t total = 0;
    Row row = *Row::fromValue(key.value);
    for (int k = 0; k < parts; ++k) {
        std::uint64_t text = 0;
        for (int i = BellCount - 1; i >= 0; --i) text = (text << 8) | static_cast<unsigned char>(bellSymbol(row[i]));
        total += scoreText(text, backstroke);
        row = partEnd.onePartOn(row);
    }
    matches_ += static_cast<std::uint64_t>(parts) * (compiledAny_.size() + (backstroke ? compiledBack_.size() : compiledHand_.size()));
    const int score = clampToInt(total);
    memo = score;
    return score;
}

}  // namespace quarnel
