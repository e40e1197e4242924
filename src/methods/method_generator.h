#pragma once
// The method generator invents treble-dodging Major half leads change by
// change for one lead-head code. Positions 0 to 14 are chosen from fixed
// lists of allowed changes; position 15, the half-lead change, follows from
// the final test, which keeps only half leads whose lead ends in the code's
// lead-end row. The generator remembers where it stands (choiceIndex), so
// that every call walks on from the last method: resume position 14 gives
// the next method, k < 14 skips every method sharing the first k + 1 changes
// of the last one, and -1 starts afresh. Nothing is allocated per step.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ringing/place_notation.h"
#include "ringing/row.h"

namespace quarnel {

struct GeneratorOptions {
    bool rightPlace = false;
    bool symmetricSections = false;
    bool twoPlaces = false;
    bool allowSurprise = true;
    bool allowDelight = false;
    bool allowTrebleBob = false;
    friend bool operator==(const GeneratorOptions&, const GeneratorOptions&) = default;
};

// The places (as text) that a half-lead change may make: "13579".
inline constexpr std::string_view OddPlaces = "13579";

class MethodGenerator {
public:
    static constexpr int HalfLength = 16;
    static constexpr int ChosenPositions = HalfLength - 1;

    MethodGenerator();
    virtual ~MethodGenerator();
    MethodGenerator(const MethodGenerator&) = delete;
    MethodGenerator& operator=(const MethodGenerator&) = delete;

    // The next method's notation text for the code letter (either case), or
    // the empty text when the enumeration is exhausted. The text stays valid
    // until the next call. Throws ModelError "Bad lead end group" for a letter
    // that is not one of the twelve codes, leaving the generator as it was.
    const std::string& nextMethod(char code, int resumeAt, const GeneratorOptions& options);

    // The changes of the method last returned, the half-lead change last
    // (HalfLength of them): the changes its text is written from. Valid
    // until the next call, when the text is not empty.
    const Change* const* halfLeadChanges() const { return changes_.data() + 1; }

    // The index in the position's list of the change tried or chosen there.
    int choiceIndex(int position) const { return choiceIndex_[static_cast<std::size_t>(position)]; }

protected:
    // The class and symmetry test of a candidate change; the base accepts all.
    virtual bool acceptChange(int position, const Change& change);
    // The k-th allowed change at a position, and the length of that list.
    virtual std::string_view allowedChange(int position, int k) const;
    virtual int allowedCount(int position) const;
    // True where acceptChange accepts every change under the present options,
    // so that the search need not ask it there. The base claims nothing.
    virtual bool acceptsEveryChangeAt(int position) const;

    const GeneratorOptions& options() const { return options_; }
    // changes[0] is the lead-end change, changes[p + 1] the change at p.
    const Change& changeAt(int index) const { return *changes_[static_cast<std::size_t>(index)]; }
    // The compiled k-th allowed change at a position.
    const Change& compiledChange(int position, int k) const;

private:
    void setCode(char code);
    void compileTables();
    void filterByOptions();
    void search();
    void startPosition(int position);
    void finalTest();
    void writeText();
    // Positions from FirstPruned on are pruned ahead: viableChanges(p, row)
    // is the set of changes k at p (bit k) from whose row, starting from the
    // row before p, the later positions can still reach a half lead that
    // passes the final test, by the changes' characters and the option
    // filter alone (the class and symmetry tests are left to the search).
    // Remembered per row and position for the present code and options.
    static constexpr int FirstPruned = 12;
    std::uint16_t viableChanges(int position, PackedRow row);
    // Whether some change at position p + 1 can follow the change c (index
    // k) taken at p on the way to a finished half lead; sets window_[p + 1].
    bool canGoOnAfter(int p, const Change& c, int index);
    bool passesFinalTest(PackedRow last, const Change& change) const;

    GeneratorOptions options_;
    // The rows of the half lead, packed (see applyPacked).
    std::array<PackedRow, HalfLength> rows_{};
    // Pointers into the compiled lists: the search copies no change.
    std::array<const Change*, HalfLength + 1> changes_{};
    std::array<int, ChosenPositions> choiceIndex_{};
    int resumeAt_ = -1;
    bool found_ = false;
    char code_ = 0;
    int fixedBell_ = 0;
    std::array<std::array<int, 2>, 3> crossPairs_{};
    std::array<std::vector<Change>, ChosenPositions> compiled_;
    bool compiledReady_ = false;
    // nextAllowed_[p][k]: the first index at or after k whose change passes the
    // option tests that depend on nothing but the change (two places, right
    // place); the list's length when none does. Rebuilt when the options change.
    std::array<std::array<std::uint8_t, 16>, ChosenPositions> nextAllowed_{};
    GeneratorOptions filteredFor_;
    // Bit p set: acceptChange must be asked at position p.
    unsigned askAccept_ = 0;
    std::optional<GeneratorOptions> askedFor_;  // the options askAccept_ was found for
    bool filtered_ = false;
    // viableMemo_[p - FirstPruned]: by rowIndex of the row before position
    // p, bit 15 set when known, the other bits as viableChanges. Kept for
    // memoCode_ (the final test depends on the code) and the options.
    // memoUsed_[level]: something was written there since it was last
    // cleared, so that clearing a clean level costs nothing.
    static constexpr std::size_t MemoLevels = ChosenPositions - FirstPruned;
    std::array<std::unique_ptr<std::uint16_t[]>, MemoLevels> viableMemo_;
    std::array<bool, MemoLevels> memoUsed_{};
    char memoCode_ = 0;
    // Clears the first levels of the memo.
    void clearMemo(std::size_t levels);
    // followers_[p][k]: the changes at p that share no character with the
    // k-th change at p - 1. allowed_[p]: those at p that pass the option filter.
    std::array<std::array<std::uint16_t, 16>, ChosenPositions> followers_{};
    std::array<std::uint16_t, ChosenPositions> allowed_{};
    // window_[p]: for the change being tried at p - 1, the changes at p that
    // may follow it on the way to a finished half lead.
    std::array<std::uint16_t, ChosenPositions> window_{};
    std::string text_;
};

// The Major generator: symmetric sections and the Surprise / Delight /
// Treble Bob class rules at the cross-sections 3, 7 and 11.
class MajorMethodGenerator : public MethodGenerator {
protected:
    bool acceptChange(int position, const Change& change) override;
    bool acceptsEveryChangeAt(int position) const override;
};

}  // namespace quarnel
