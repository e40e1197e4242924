#pragma once
// Fill: one method for every empty lead of a composition, so that the whole
// composition is true over all its parts and its music is as high as it can
// be. What to find is a FillProblem (fill/fill_problem.h), built once from
// the composition and the options (fill/fill_options.h); runFill searches it
// by branch and bound on worker threads (fill/tree_search.h, with the
// neighbourhood moves and the climber raising the bound it prunes by); a run
// to completion returns the optimum, ties going to the first fill in lead
// order with each lead's methods in byte order of their notation texts.
// Under the composer's constraints (FillOptions::constraints) every fill
// reported keeps them all, and the optimum is of the objective they weigh.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fill/fill_options.h"
#include "fill/fill_problem.h"

namespace quarnel {
class Composition;
class MethodLibrary;
}  // namespace quarnel

namespace quarnel::fill {

struct FillProgress {
    std::uint64_t nodes = 0;
    double nodesPerSecond = 0;
    bool haveFill = false;
    long long bestMusic = 0;
    // The best fill's objective: its music with the weights of the
    // composer's constraints (the music when none is weighted).
    long long bestScore = 0;
    double elapsedSeconds = 0;
    bool complete = false;
    // The proven bound on the composition's music with any true fill
    // (haveBound false: no true fill can exist, or nothing to bound).
    bool haveBound = false;
    long long bound = 0;
    // The best fill's music has reached the bound: it is the best there is.
    bool proved = false;
};

enum class FillStatus {
    Optimal,             // searched to completion, or the fill's music reached
                         // the bound: the fill is the best there is
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
    // What the search maximised: the music with the weights of the
    // composer's constraints (the music when none is weighted).
    long long score = 0;
    std::uint64_t nodes = 0;
    double elapsedSeconds = 0;
    int impossibleLead = 0;  // the first lead without a candidate, or 0
    // The proven bound on the composition's music with any true fill, as in
    // FillProgress.
    bool haveBound = false;
    long long bound = 0;
};

// Searches the problem. First, on the calling thread, row prices bound the
// music of any true fill (fill/music_bound.h); the search prunes by them.
// The stop flag, the time limit and the node limit end
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

// What to tell a composer when the search proved that no fill exists: with
// constraints asked of the search, which ones no true fill keeps ("No true
// fill keeps the constraints: all the work, at most 20 changes of method"),
// since without them a fill may well exist; otherwise "No true fill exists"
// (a list of methods only narrows the candidates, as the classes do).
std::string noTrueFillText(const search::Constraints& constraints);

}  // namespace quarnel::fill
