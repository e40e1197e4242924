#pragma once
// Music: patterns of eight characters (bell symbols, or "x" for any bell)
// with scores, each applied at either stroke, at handstroke only or at
// backstroke only. A row's music counts the row in every part of the
// composition. Scores are remembered per row key and stroke under the part
// end they were scored with, and forgotten when a row is scored under
// another part end. A table is scored by one thread at a time.
#include <climits>
#include <cstdint>
#include <istream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ringing/part_end.h"

namespace quarnel {

class MusicTable {
public:
    using Patterns = std::map<std::string, int, std::less<>>;

    // One definition of the file: its title line as written, its score and
    // its pattern words as entered (a pattern listed twice is held twice).
    struct Definition {
        std::string title;
        int score = 0;
        std::vector<std::string> anyStroke, handstroke, backstroke;
    };

    // Reads a music file: pairs of lines, a title (not read) and a data line
    // "SCORE NUMBER PATTERN...". A data line that does not begin with two
    // integers is skipped; reading always goes on to the end of the file.
    // With unread, each data line skipped (other than a blank line or a
    // "#" comment) and each word that is no row
    // pattern (8 bells, or 8 and "H" or "B") is added as "line N: TEXT".
    static MusicTable read(std::istream& in, std::vector<std::string>* unread = nullptr);

    // The music of the row that the key (under the part end) stands for,
    // over all parts, at the stroke given (backstroke true, handstroke
    // false). 0 under no part end (no parts).
    int scoreRow(const PartEnd& partEnd, RowKey key, bool backstroke);
    // The same for a key computed from a row, with its rowIndex: a score
    // already remembered costs one look-up.
    // The music of rows of one lead whose strokes alternate, the first at
    // the stroke given: keys computed from rows, with their rowIndexes.
    long long scoreKnownRows(const PartEnd& partEnd, const RowKey* keys, const std::uint16_t* indexes, int count,
                             bool firstBackstroke) {
        long long total = 0;
        const bool current = memoIsFor(partEnd);
        bool backstroke = firstBackstroke;
        for (int i = 0; i < count; ++i, backstroke = !backstroke) {
            const std::int32_t memo =
                current ? memo_[2 * static_cast<std::size_t>(indexes[i]) + (backstroke ? 1 : 0)] : UnknownScore;
            total += memo != UnknownScore ? memo : scoreRow(partEnd, keys[i], backstroke);
        }
        return total;
    }
    int scoreKnownRow(const PartEnd& partEnd, RowKey key, int index, bool backstroke) {
        if (memoIsFor(partEnd)) {
            const std::int32_t memo = memo_[2 * static_cast<std::size_t>(index) + (backstroke ? 1 : 0)];
            if (memo != UnknownScore) return memo;
        }
        return scoreRow(partEnd, key, backstroke);
    }

    // A number no other table read holds: a copy of a table has its number,
    // and its patterns and scores.
    std::uint64_t id() const { return id_; }

    const Patterns& anyStroke() const { return anyStroke_; }
    const Patterns& handstroke() const { return handstroke_; }
    const Patterns& backstroke() const { return backstroke_; }
    // The definitions in file order: every pair whose data line was read.
    const std::vector<Definition>& definitions() const { return definitions_; }
    // How many times patterns have been matched against rows (for tests of
    // the memo).
    std::uint64_t matchCount() const { return matches_; }

private:
    struct Compiled {
        std::uint64_t value;  // the pattern's characters, one a byte
        std::uint64_t mask;   // 0xFF for a character that must match, 0 for x
        int score;
    };
    void add(Patterns& to, const std::string& pattern, long long score);
    void compile();
    std::int64_t scoreText(std::uint64_t text, bool backstroke) const;

    Patterns anyStroke_, handstroke_, backstroke_;
    std::vector<Definition> definitions_;
    std::vector<Compiled> compiledAny_, compiledHand_, compiledBack_;
    static constexpr std::int32_t UnknownScore = INT32_MIN;
    std::vector<std::int32_t> memo_;  // by rowIndex * 2 + stroke; UnknownScore when not scored
    // The part end the memo was filled under; a count of -1 before the memo
    // has its size.
    Row memoPartEnd_;
    int memoParts_ = -1;
    bool memoIsFor(const PartEnd& partEnd) const { return memoParts_ == partEnd.count() && memoPartEnd_ == partEnd.row(); }
    std::uint64_t matches_ = 0;
    std::uint64_t id_ = nextId();
    static std::uint64_t nextId();
};

}  // namespace quarnel
