#pragma once
// Fill: one method for every empty lead of a composition, so that the whole
// composition is true over all its parts and its music is as high as it can
// be. A FillProblem holds, for each lead to fill, its candidates: their row
// keys as flat row indexes and their music, worked out once; every candidate
// kept is true in itself and against the lead heads, lead ends and kept
// leads. runFill searches the problem by branch and bound on worker threads;
// a run to completion returns the optimum, ties going to the first fill in
// lead order with each lead's methods in byte order of their notation texts.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quarnel {
class Composition;
class MethodLibrary;
class MusicTable;
}  // namespace quarnel

namespace quarnel::fill {

struct FillOptions {
    // Candidates: the named methods of the classes allowed (no class given:
    // Surprise), or with any generator option the generator's methods of the
    // lead's code (only those with a library name when named is given).
    bool named = false, surprise = false, delight = false, trebleBob = false;
    bool rightPlace = false, symmetricSections = false, twoPlaces = false;
    // Refill every lead, not only those without a committed method.
    bool all = false;
    // No method in two leads; or (maxUses > 0) in more than maxUses leads.
    bool allDifferent = false;
    int maxUses = 0;
    int threads = 0;                // 0: the machine's hardware threads
    double timeLimitSeconds = 0;    // 0: none
    std::uint64_t nodeLimit = 0;    // 0: none
    // The most generator methods taken for one lead-head code, in the
    // generator's order (0: no limit). Two Places alone gives over 370,000
    // methods of some codes, whose tables would not fit in memory.
    int generatorLimit = DefaultGeneratorLimit;
    static constexpr int DefaultGeneratorLimit = 20000;
};

struct FillProgress {
    std::uint64_t nodes = 0;
    double nodesPerSecond = 0;
    bool haveFill = false;
    long long bestMusic = 0;
    double elapsedSeconds = 0;
    bool complete = false;
};

enum class FillStatus {
    Optimal,             // searched to completion: the fill is the best there is
    LimitReached,        // a fill, not proved optimal
    NoTrueFill,          // searched to completion: no true fill exists
    NoFillWithinLimits,  // a limit or a stop ended the search before any fill
    ImpossibleLead,      // a lead has no candidate at all
};

struct FillResult {
    FillStatus status = FillStatus::NoFillWithinLimits;
    // Lead number -> notation text, for every lead filled, in lead order.
    std::vector<std::pair<int, std::string>> methods;
    long long music = 0;  // the whole composition's music with the fill
    std::uint64_t nodes = 0;
    double elapsedSeconds = 0;
    int impossibleLead = 0;  // the first lead without a candidate, or 0
};

class FillProblem {
public:
    // Reads the composition (its part end must be the present one), the
    // library and the music table (none: all music 0). Works on the calling
    // thread only; the table's memo is filled here, never during the search.
    static FillProblem build(const Composition& composition, const MethodLibrary& library, MusicTable* music,
                             const FillOptions& options);

    // Rows of one candidate (both half leads; 30 for Major).
    int rowsPerCandidate() const { return rowsPerCandidate_; }
    // The leads to fill, by lead number in ascending order.
    const std::vector<int>& leads() const { return leads_; }
    int leadCount() const { return static_cast<int>(leads_.size()); }
    // Candidates of fill lead i are first(i) .. first(i + 1) - 1, by music
    // (highest first), then by notation text.
    int first(int i) const { return begin_[static_cast<std::size_t>(i)]; }
    int candidateCount() const { return static_cast<int>(music_.size()); }
    const std::uint16_t* rows(int c) const { return &rows_[static_cast<std::size_t>(c) * static_cast<std::size_t>(rowsPerCandidate_)]; }
    int music(int c) const { return music_[static_cast<std::size_t>(c)]; }
    // The candidate's method: an index into notations(), whose order is the
    // byte order of the texts.
    int method(int c) const { return static_cast<int>(method_[static_cast<std::size_t>(c)]); }
    int leadOf(int c) const { return lead_[static_cast<std::size_t>(c)]; }
    const std::vector<std::string>& notations() const { return notations_; }
    // Uses of each method by the kept leads.
    int keptUses(int m) const { return keptUses_[static_cast<std::size_t>(m)]; }
    // The music of everything but the leads' candidates: every lead head and
    // lead end and every kept lead.
    long long fixedMusic() const { return fixedMusic_; }
    // The first lead (number) left without a candidate; 0 when none.
    int impossibleLead() const { return impossibleLead_; }
    // The most uses a method may have (0: no limit), from the options.
    int usesLimit() const { return usesLimit_; }
    // The lead-head codes whose generator methods were cut at the options'
    // generator limit: the search is then over the first methods only.
    const std::string& cutCodes() const { return cutCodes_; }

    // The candidates that ring a row, and those of a method.
    const std::uint32_t* candidatesOfRow(int row, int& count) const;
    const std::uint32_t* candidatesOfMethod(int m, int& count) const;

    // Bytes held by the candidate tables.
    std::size_t memoryBytes() const;

private:
    int rowsPerCandidate_ = 30;
    std::vector<int> leads_;
    std::vector<int> begin_;
    std::vector<std::uint16_t> rows_;
    std::vector<std::int32_t> music_;
    std::vector<std::uint32_t> method_;
    std::vector<std::int32_t> lead_;
    std::vector<std::string> notations_;
    std::vector<std::int32_t> keptUses_;
    std::vector<std::uint32_t> rowStart_, rowCandidates_;
    std::vector<std::uint32_t> methodStart_, methodCandidates_;
    long long fixedMusic_ = 0;
    int impossibleLead_ = 0;
    int usesLimit_ = 0;
    std::string cutCodes_;
};

// Searches the problem. The stop flag, the time limit and the node limit end
// it within a few milliseconds; progress is called on the calling thread
// about every 100 ms and once at the end. The best fill found is returned
// whatever ended the search.
FillResult runFill(const FillProblem& problem, const FillOptions& options, const std::atomic<bool>& stop,
                   const std::function<void(const FillProgress&)>& progress);

// Commits the fill's methods to their leads, as OK would: every filled lead
// is cleared first, then each method is tried and committed in lead order.
// Returns 0, or the first lead whose method did not commit (its lead is then
// left empty).
int applyFill(Composition& composition, const MethodLibrary& library,
              const std::vector<std::pair<int, std::string>>& methods);

// The status to report of a search of the problem: with cut candidate sets
// (cutCodes), finding no fill proves nothing about the methods left out, so
// a limit ended the search.
FillStatus reportedStatus(const FillProblem& problem, const FillResult& result);

// The options' limit on a method's uses: 1 for allDifferent, else maxUses.
int usesLimitOf(const FillOptions& options);

}  // namespace quarnel::fill
