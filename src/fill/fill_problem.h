#pragma once
// The problem a Fill solves, built once and never changed after: for each
// lead to fill, its candidates (a method the lead may take), with their
// rows as flat row indices and their music, and the tables that find the
// candidates ringing a row or using a method. Every candidate kept is true
// in itself and against the lead heads, lead ends and kept leads; what is
// left to the search is the falseness between candidates and the
// constraint on a method's uses.
#include <cstdint>
#include <string>
#include <vector>

#include "fill/fill_constraints.h"
#include "fill/fill_options.h"
#include "search/index.h"

namespace quarnel {
class Composition;
class MethodLibrary;
class MusicTable;
}  // namespace quarnel

namespace quarnel::fill {

struct LeadTag;
struct CandidateTag;
struct MethodTag;
struct RowTag;
// A lead to fill, counted from 0 in lead order (not its lead number).
using LeadIndex = search::Index<LeadTag>;
// A candidate: candidates are numbered across all the leads, lead by lead.
using CandidateIndex = search::Index<CandidateTag>;
// A method: its place in notations().
using MethodIndex = search::Index<MethodTag>;
// A row's flat index, 0 .. RowIndexCount - 1: it stands for the row and its
// images in the other parts.
using RowIndex = search::Index<RowTag>;

// No lead, no candidate: the mark of an empty slot in a worker's tables.
inline constexpr LeadIndex NoLead{-1};
inline constexpr CandidateIndex NoCandidate{-1};

class FillProblem {
public:
    // Reads the composition (its part end must be the present one), the
    // library and the music table (none: all music 0). Works on the calling
    // thread only; the table's memo is filled here, never during the search.
    // Throws ModelError when a method of the options' list has no library
    // name or the constraints cannot be kept by any fill of the plan.
    static FillProblem build(const Composition& composition, const MethodLibrary& library, MusicTable* music,
                             const FillOptions& options);

    // Rows of one candidate (both half leads; 30 for Major).
    int rowsPerCandidate() const { return rowsPerCandidate_; }
    // The leads to fill, by lead number in ascending order.
    const std::vector<int>& leads() const { return leads_.raw(); }
    int leadCount() const { return static_cast<int>(leads_.size()); }
    LeadIndex leadEnd() const { return leads_.end(); }
    int leadNumber(LeadIndex i) const { return leads_[i]; }
    // Candidates of a lead are first(i) .. end(i) - 1, by music (highest
    // first), then by method.
    CandidateIndex first(LeadIndex i) const { return begin_[i]; }
    CandidateIndex end(LeadIndex i) const { return begin_[i + 1]; }
    int candidateCount() const { return static_cast<int>(music_.size()); }
    search::IndexSpan<RowIndex, std::uint16_t> rowsOf(CandidateIndex c) const {
        return {&rows_[c.at() * static_cast<std::size_t>(rowsPerCandidate_)], static_cast<std::size_t>(rowsPerCandidate_)};
    }
    int music(CandidateIndex c) const { return music_[c]; }
    // The candidate's method; methods are in the byte order of their texts.
    MethodIndex method(CandidateIndex c) const { return method_[c]; }
    LeadIndex leadOf(CandidateIndex c) const { return lead_[c]; }
    const std::string& notation(MethodIndex m) const { return notations_[m]; }
    const std::vector<std::string>& notations() const { return notations_.raw(); }
    // Uses of each method by the kept leads.
    int keptUses(MethodIndex m) const { return keptUses_[m]; }
    // The music of everything but the leads' candidates: every lead head and
    // lead end and every kept lead.
    long long fixedMusic() const { return fixedMusic_; }
    // The first lead (number) left without a candidate; 0 when none.
    int impossibleLead() const { return impossibleLead_; }
    // The most uses a method may have (0: no limit), from the options and
    // the most changes of each method.
    int usesLimit() const { return usesLimit_; }
    // The composer's constraints read against the plan.
    const PlanConstraints& constraints() const { return constraints_; }
    // The lead-head codes whose generator methods were cut at the options'
    // generator limit: the search is then over the first methods only.
    const std::string& cutCodes() const { return cutCodes_; }

    // The candidates that ring a row, and those of a method, in candidate
    // order.
    search::IndexSpan<CandidateIndex, std::uint32_t> candidatesOfRow(RowIndex row) const {
        return {rowCandidates_.data() + rowStart_[row], rowStart_[row + 1] - rowStart_[row]};
    }
    search::IndexSpan<CandidateIndex, std::uint32_t> candidatesOfMethod(MethodIndex m) const {
        return {methodCandidates_.data() + methodStart_[m], methodStart_[m + 1] - methodStart_[m]};
    }

    // The same reads with plain numbers, for tests and benchmarks that count
    // with ints: i a lead to fill, c a candidate, m a method.
    int first(int i) const { return first(LeadIndex(i)).value(); }
    const std::uint16_t* rows(int c) const { return &rows_[static_cast<std::size_t>(c) * static_cast<std::size_t>(rowsPerCandidate_)]; }
    int music(int c) const { return music(CandidateIndex(c)); }
    int method(int c) const { return method(CandidateIndex(c)).value(); }
    int leadOf(int c) const { return leadOf(CandidateIndex(c)).value(); }
    int keptUses(int m) const { return keptUses(MethodIndex(m)); }

    // Bytes held by the candidate tables.
    std::size_t memoryBytes() const;

    // The rows candidates of two or more leads ring, in row order: the only
    // rows on which two leads can clash (a lead takes one candidate, and no
    // candidate rings a row twice).
    std::vector<RowIndex> sharedRows() const;

private:
    struct Build;
    friend struct Build;

    int rowsPerCandidate_ = 30;
    // Lead number of each lead to fill, ascending.
    search::IndexVec<LeadIndex, int> leads_;
    // One more entry than leads: lead i's candidates are begin_[i] ..
    // begin_[i + 1] - 1, so the entries never fall and the last is the
    // candidate count.
    search::IndexVec<LeadIndex, CandidateIndex> begin_;
    // rowsPerCandidate_ flat row indices a candidate, candidate after
    // candidate: the back strokes and hand strokes of its first half lead
    // (from the lead head), then of its second (from the lead end). No
    // index repeats within a candidate, nor is one rung by a lead head,
    // lead end or kept lead.
    std::vector<std::uint16_t> rows_;
    // Each candidate's music, method and lead; within a lead, music never
    // rises and at equal music the method index rises.
    search::IndexVec<CandidateIndex, std::int32_t> music_;
    search::IndexVec<CandidateIndex, MethodIndex> method_;
    search::IndexVec<CandidateIndex, LeadIndex> lead_;
    // Every method any candidate or kept lead uses, in byte order, each once.
    search::IndexVec<MethodIndex, std::string> notations_;
    // Uses of each method by the kept leads; no candidate's method is at the
    // uses limit already.
    search::IndexVec<MethodIndex, std::int32_t> keptUses_;
    // Inverse tables, runs in candidate order: row r's candidates are
    // rowCandidates_[rowStart_[r] .. rowStart_[r + 1] - 1], method m's are
    // methodCandidates_[methodStart_[m] .. methodStart_[m + 1] - 1]. Each
    // start table has one more entry than rows (methods) and never falls.
    search::IndexVec<RowIndex, std::uint32_t> rowStart_;
    std::vector<std::uint32_t> rowCandidates_;
    search::IndexVec<MethodIndex, std::uint32_t> methodStart_;
    std::vector<std::uint32_t> methodCandidates_;
    long long fixedMusic_ = 0;
    int impossibleLead_ = 0;
    int usesLimit_ = 0;
    PlanConstraints constraints_;
    std::string cutCodes_;
};

}  // namespace quarnel::fill
