#pragma once
// Compose: the calling and the methods of a spliced composition searched
// together. A ComposeProblem (compose/compose_problem.h) is built once from
// the library and the options: the methods, every lead head the search can
// reach, and for each part end tried the rows of every lead over all parts
// and its music. runCompose searches it depth first on worker threads
// (compose/compose_search.h), lead by lead from rounds until the part end
// comes up, keeping the best compositions. Every composition it reports is
// first read back from its own composition file and proved exactly as
// `prove` proves, with its length and parts; one that is not is never
// reported.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "compose/compose_options.h"
#include "compose/compose_problem.h"

namespace quarnel::compose {

struct ComposeProgress {
    std::uint64_t nodes = 0;
    double nodesPerSecond = 0;
    double elapsedSeconds = 0;
    // When the first composition was proved (0 before).
    double firstSeconds = 0;
    // Compositions found that keep every constraint (more than are kept),
    // and those kept (at most the count asked for).
    std::uint64_t found = 0;
    int kept = 0;
    bool haveComposition = false;
    long long bestScore = 0;
    long long bestMusic = 0;
    // The search ran to its end: the compositions kept are the best there are.
    bool complete = false;
};

// A composition found, read back from its file and proved.
struct FoundComposition {
    // The composition file, as Save writes it: one line a lead of one part.
    std::string fileText;
    int leads = 0;   // leads of one part
    int length = 0;  // changes over all parts
    int parts = 1;
    Row partEnd;
    long long music = 0;
    // What the search maximised: the music with the weights of the
    // composer's constraints.
    long long score = 0;
    // All the work: the pieces of work rung, of all the methods could ring.
    int piecesRung = 0, piecesPossible = 0;
    long long changesOfMethod = 0;
    // Each method's name and changes, most changes first.
    std::vector<std::pair<std::string, long long>> methods;
    int bobs = 0, singles = 0;  // calls of one part
    // The calling positions course by course ("H W H, M B, sH"); the calls
    // of one part.
    std::string calling;
};

enum class ComposeStatus {
    Complete,          // searched to the end: the compositions are the best there are
    LimitReached,      // compositions, but a limit or a stop ended the search
    NoComposition,     // searched to the end: no composition keeps the constraints
    NoneWithinLimits,  // a limit or a stop ended the search before any composition
};

struct ComposeResult {
    ComposeStatus status = ComposeStatus::NoneWithinLimits;
    // The best compositions, best first (by score, then music).
    std::vector<FoundComposition> compositions;
    std::uint64_t found = 0;
    std::uint64_t nodes = 0;
    double elapsedSeconds = 0;
    // When the first composition was proved (0 with none).
    double firstSeconds = 0;
    // Compositions the search offered that did not prove as it claimed
    // (always 0 unless the engine is at fault; never reported).
    int rejected = 0;
};

// Searches the problem (built from the same options) on
// options.limits.threadCount() workers. The stop
// flag, the time limit and the node limit end it within a few
// milliseconds; progress is called on the calling thread about every
// 100 ms and once at the end, and found (may be empty) with the proved
// compositions, best first, whenever the list has changed. The best
// compositions found are returned whatever ended the search.
ComposeResult runCompose(const ComposeProblem& problem, const ComposeOptions& options,
                         const std::atomic<bool>& stop, const std::function<void(const ComposeProgress&)>& progress,
                         const std::function<void(const std::vector<FoundComposition>&)>& found = {});

}  // namespace quarnel::compose
