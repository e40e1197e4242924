#pragma once
// The falseness register. Every row in use is registered under its RowKey,
// so a row and all its images in the other parts are one entry: lead heads
// and lead ends under lead number 0, the rows of a lead's committed method
// under that lead's number. A key is registered at most once. The trial
// falseness describes only the method last tried on one lead: for each lead
// it clashes with (0 for the lead heads and lead ends), the first row
// position of a clash.
#include <cstdint>
#include <utility>
#include <memory>
#include <vector>

#include "ringing/part_end.h"

namespace quarnel {

class FalseRowTable {
public:
    FalseRowTable();

    // Throws ModelError "Attempt to insert false row" when the key is present.
    void insertRow(RowKey key, int lead);
    // Throws ModelError "Attempt to delete non-existent row" when the key is
    // absent or registered under another lead.
    void eraseRow(RowKey key, int lead);
    void eraseLeadRows(int lead);
    // The lead number registered for the key, or -1.
    int ownerOf(RowKey key) const {
        const int i = rowIndex(key);
        return i < 0 ? -1 : owner_[static_cast<std::size_t>(i)];
    }
    // The same for a key computed from a row (no check of the key).
    int ownerOfRowKey(RowKey key) const { return owner_[static_cast<std::size_t>(rowIndexOfKnownRow(key))]; }
    // The same by the key's rowIndex (0 to RowIndexCount - 1).
    int ownerAt(int index) const { return owner_[static_cast<std::size_t>(index)]; }

    std::size_t size() const { return size_; }
    // Every entry in ascending key order.
    std::vector<std::pair<RowKey, int>> entries() const;

private:
    // By rowIndex; -1 when absent. A true composition has at most 20160
    // leads (their lead heads and lead ends are all different rows), so the
    // lead numbers fit in 16 bits.
    std::unique_ptr<std::int16_t[]> owner_;
    std::size_t size_ = 0;
};

class TrialFalseness {
public:
    // Room for leads 0 to leadCount; nothing is allocated afterwards.
    void reserve(std::size_t leadCount);
    void clear();
    // Records the position for the lead, replacing any earlier value.
    void set(int lead, int position);
    bool has(int lead) const { return lead >= 0 && static_cast<std::size_t>(lead) < position_.size() && position_[static_cast<std::size_t>(lead)] != 0; }
    int positionOf(int lead) const { return has(lead) ? position_[static_cast<std::size_t>(lead)] : 0; }
    std::size_t size() const { return leads_.size(); }
    bool empty() const { return leads_.empty(); }
    // The leads in ascending order (sorted in place, no allocation).
    const std::vector<int>& leads() const;

private:
    std::vector<int> position_;       // by lead number; 0 when the lead has no entry
    mutable std::vector<int> leads_;  // the leads with an entry
    mutable bool sorted_ = true;
};

// The first row position (0 to 15) at which the weighted falseness exceeds
// the maximum: a clash with the lead heads and lead ends weighs 99, any other
// lead 1, counted from its position on. 15 when it never does; then, with
// back-off, the position of the last increase.
int falsenessProfile(const TrialFalseness& falseness, int maximum, bool backOff);

// Marks keys seen within one trial lead: finds a row the lead rings twice.
class RowStamps {
public:
    RowStamps();
    void startTrial();
    // True when the key was already marked in this trial; marks it.
    bool seen(RowKey key);
    // The same by the key's rowIndex.
    bool seenAt(int index) {
        std::uint32_t& s = stamp_[static_cast<std::size_t>(index)];
        if (s == trial_) return true;
        s = trial_;
        return false;
    }

private:
    std::vector<std::uint32_t> stamp_;
    std::uint32_t trial_ = 0;
};

}  // namespace quarnel
