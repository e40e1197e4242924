#include "composition/falseness.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "ringing/model_error.h"

namespace quarnel {

// Every entry -1 (all bytes set): one block fill rather than a loop per entry.
FalseRowTable::FalseRowTable() : owner_(new std::int16_t[RowIndexCount]) {
    std::memset(owner_.get(), 0xFF, RowIndexCount * sizeof(std::int16_t));
}

void FalseRowTable::insertRow(RowKey key, int lead) {
    const int i = rowIndex(key);
    if (i < 0 || owner_[static_cast<std::size_t>(i)] >= 0 || lead < 0 || lead > INT16_MAX) throw ModelError(kInsertFalseRow);
    owner_[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(lead);
    ++size_;
}

void FalseRowTable::eraseRow(RowKey key, int lead) {
    const int i = rowIndex(key);
    if (i < 0 || owner_[static_cast<std::size_t>(i)] < 0 || owner_[static_cast<std::size_t>(i)] != lead)
        throw ModelError(kDeleteMissingRow);
    owner_[static_cast<std::size_t>(i)] = -1;
    --size_;
}

void FalseRowTable::eraseLeadRows(int lead) {
    for (int i = 0; i < RowIndexCount; ++i)
        if (std::int16_t& owner = owner_[static_cast<std::size_t>(i)]; owner == lead) {
            owner = -1;
            --size_;
        }
}

std::vector<std::pair<RowKey, int>> FalseRowTable::entries() const {
    std::vector<std::pair<RowKey, int>> all;
    all.reserve(size_);
    // Rows by index are rows in value order.
    for (int index = 0; index < RowIndexCount; ++index) {
        const int owner = owner_[static_cast<std::size_t>(index)];
        if (owner >= 0) all.emplace_back(RowKey{rowOfIndex(index).value()}, owner);
    }
    return all;
}

void TrialFalseness::reserve(std::size_t leadCount) {
    position_.assign(leadCount + 1, 0);
    leads_.clear();
    leads_.reserve(leadCount + 1);
    sorted_ = true;
}

void TrialFalseness::clear() {
    for (int lead : leads_) position_[static_cast<std::size_t>(lead)] = 0;
    leads_.clear();
    sorted_ = true;
}

void TrialFalseness::set(int lead, int position) {
    if (lead < 0 || position <= 0) return;
    if (static_cast<std::size_t>(lead) >= position_.size()) position_.resize(static_cast<std::size_t>(lead) + 1, 0);
    int& slot = position_[static_cast<std::size_t>(lead)];
    if (slot == 0) {
        if (!leads_.empty() && lead < leads_.back()) sorted_ = false;
        leads_.push_back(lead);
    }
    slot = position;
}

const std::vector<int>& TrialFalseness::leads() const {
    if (!sorted_) {
        std::sort(leads_.begin(), leads_.end());
        sorted_ = true;
    }
    return leads_;
}

RowStamps::RowStamps() : stamp_(RowIndexCount, 0) {}

void RowStamps::startTrial() {
    if (++trial_ == 0) {
        std::fill(stamp_.begin(), stamp_.end(), 0);
        trial_ = 1;
    }
}

bool RowStamps::seen(RowKey key) {
    std::uint32_t& s = stamp_[static_cast<std::size_t>(rowIndexOfKnownRow(key))];
    if (s == trial_) return true;
    s = trial_;
    return false;
}

}  // namespace quarnel
