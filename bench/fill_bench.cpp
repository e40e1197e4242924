// Benchmarks of the fill engine: the candidate check, nodes per second on
// one and two threads, the candidate tables' memory, the small plan of
// data/quarnel.txt searched to completion, and the music reached on the
// 35 leads of a 5-part 5600 of Cambridge against a plain depth-first search.
//   build/bench/fill_bench --benchmark_filter=Cambridge
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>

#include "bench_data.h"
#include "bench_compositions.h"
#include "composition/composition.h"
#include "composition/music.h"
#include "fill/fill.h"
#include "fill/music_bound.h"
#include "methods/major_method.h"
#include "methods/method_library.h"

namespace quarnel {
namespace {

using Clock = std::chrono::steady_clock;

const MethodLibrary& library(bool full) {
    static MethodLibrary standard, all;
    MethodLibrary& l = full ? all : standard;
    if (l.size() == 0) bench::readLibraryOrStop(l, full ? bench::fullLibraryDir() : bench::standardLibraryDir());
    return l;
}

// The music file of these figures: the classic table kept with the tests.
MusicTable& music() {
    static MusicTable table = [] {
        std::ifstream in(std::string(QUARNEL_TEST_DATA) + "/major-classic.mus");
        return MusicTable::read(in);
    }();
    return table;
}

std::unique_ptr<Composition> read(const std::string& text, const MethodLibrary& l) {
    std::istringstream in(text);
    return readComposition(in, MajorMethod::HalfLength, l);
}

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

fill::FillOptions allOptions(int threads, double seconds) {
    fill::FillOptions o;
    o.all = true;
    o.threads = threads;
    o.timeLimitSeconds = seconds;
    return o;
}

// Rows of a candidate in these Major plans: both half leads.
constexpr int MajorRows = 30;

// A plain depth-first search: leads in order, each lead's candidates by
// music, a flat table of used rows; the best music after each checkpoint.
struct PlainSearch {
    const fill::FillProblem& p;
    std::vector<std::uint8_t> used = std::vector<std::uint8_t>(RowIndexCount, 0);
    long long best = LLONG_MIN;
    long long music = 0;
    std::uint64_t checks = 0;
    Clock::time_point start = Clock::now();
    Clock::time_point end{};
    bool stopped = false;
    std::vector<std::pair<double, long long>> improvements{};  // seconds, music

    bool check(int c) {
        ++checks;
        const std::uint16_t* rows = p.rows(c);
        // Five rows a test: fewer branches the processor can mispredict,
        // at the cost of at most four loads more than needed.
        for (int k = 0; k < MajorRows; k += 5)
            if (used[rows[k]] | used[rows[k + 1]] | used[rows[k + 2]] | used[rows[k + 3]] | used[rows[k + 4]])
                return false;
        return true;
    }
    void mark(int c, bool on) {
        const std::uint16_t* rows = p.rows(c);
        for (int k = 0; k < MajorRows; ++k) used[rows[k]] = on ? 1 : 0;
    }
    void search(int i) {
        if (stopped) return;
        if (i == p.leadCount()) {
            if (music > best) {
                best = music;
                improvements.emplace_back(std::chrono::duration<double>(Clock::now() - start).count(), best);
            }
            return;
        }
        if ((checks & 4095) == 0 && Clock::now() >= end) {
            stopped = true;
            return;
        }
        for (int c = p.first(i); c < p.first(i + 1) && !stopped; ++c) {
            if (!check(c)) continue;
            mark(c, true);
            music += p.music(c);
            search(i + 1);
            music -= p.music(c);
            mark(c, false);
        }
    }
};

// Candidate checks against a used table holding the rows of a true fill.
void BM_CandidateCheck(benchmark::State& state) {
    auto c = read(bench::cambridge35Leads5Parts(), library(true));
    const auto problem = fill::FillProblem::build(*c, library(true), &music(), allOptions(1, 0));
    if (problem.rowsPerCandidate() != MajorRows) {
        state.SkipWithError("not a Major plan");
        return;
    }
    PlainSearch s{problem};
    for (int i = 0; i < problem.leadCount(); i += 2) s.mark(problem.first(i), true);
    std::uint64_t clear = 0;
    for (auto _ : state) {
        for (int k = 0; k < problem.candidateCount(); ++k) clear += s.check(k) ? 1 : 0;
    }
    benchmark::DoNotOptimize(clear);
    state.counters["checks/s"] = benchmark::Counter(static_cast<double>(s.checks), benchmark::Counter::kIsRate);
    state.counters["candidates"] = problem.candidateCount();
}
BENCHMARK(BM_CandidateCheck)->Unit(benchmark::kMillisecond);

// Nodes per second of the search on 1 and 2 threads, 6 s each.
void BM_FillNodesPerSecond(benchmark::State& state) {
    auto c = read(bench::cambridge35Leads5Parts(), library(true));
    const auto options = allOptions(static_cast<int>(state.range(0)), 6.0);
    const auto problem = fill::FillProblem::build(*c, library(true), &music(), options);
    fill::FillResult r;
    for (auto _ : state) r = fill::runFill(problem, options, std::atomic<bool>{false}, {});
    state.counters["nodes/s"] = static_cast<double>(r.nodes) / r.elapsedSeconds;
    state.counters["music"] = static_cast<double>(r.music);
}
BENCHMARK(BM_FillNodesPerSecond)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The candidate tables of a 40-lead plan from the full libraries.
void BM_CandidateTableMemory(benchmark::State& state) {
    // Forty empty B leads with bobs and singles: four parts.
    const std::string calls = "  - ssss  s ss s-  -    s s  ss -  s- s ";
    std::string text;
    for (const char call : calls) text += std::string("B") + call + "\n";
    auto c = read(text, library(true));
    std::size_t bytes = 0;
    int candidates = 0;
    for (auto _ : state) {
        const auto problem = fill::FillProblem::build(*c, library(true), &music(), allOptions(1, 0));
        bytes = problem.memoryBytes();
        candidates = problem.candidateCount();
    }
    state.counters["leads"] = static_cast<double>(c->leadCount());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["candidates"] = candidates;
}
BENCHMARK(BM_CandidateTableMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// data/quarnel.txt with --all from the Surprise methods (0) or all the
// methods (1) of the full libraries, to completion: the search alone.
void BM_FillQuarnel(benchmark::State& state) {
    auto c = read(fileText(std::string(QUARNEL_REPO_DATA) + "/quarnel.txt"), library(true));
    auto options = allOptions(2, 0);
    options.surprise = true;
    options.delight = options.trebleBob = state.range(0) == 1;
    const auto built = Clock::now();
    const auto problem = fill::FillProblem::build(*c, library(true), &music(), options);
    const double buildSeconds = std::chrono::duration<double>(Clock::now() - built).count();
    fill::FillResult r;
    for (auto _ : state) r = fill::runFill(problem, options, std::atomic<bool>{false}, {});
    state.counters["build_ms"] = buildSeconds * 1e3;
    state.counters["nodes"] = static_cast<double>(r.nodes);
    state.counters["music"] = static_cast<double>(r.music);
    state.counters["optimal"] = r.status == fill::FillStatus::Optimal ? 1 : 0;
    state.counters["candidates"] = problem.candidateCount();
}
BENCHMARK(BM_FillQuarnel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The 35-lead 5600 with --all from the standard (0) or full (1) libraries:
// best music after 1, 5 and 20 s on 2 threads, the engine (range 1 = 0) or
// the plain depth-first search (range 1 = 1). The optima are 236 (the
// standard methods; Fill proves it) and 418 (the full library; Fill finds it
// in about a second, and COIN-OR CBC proves it from the plan written by
// quarnel-cli fill --lp in about 8 minutes on two threads).
void BM_FillCambridge(benchmark::State& state) {
    const bool full = state.range(0) == 1;
    const bool plain = state.range(1) == 1;
    auto c = read(bench::cambridge35Leads5Parts(), library(full));
    const auto options = allOptions(2, 20.0);
    const auto problem = fill::FillProblem::build(*c, library(full), &music(), options);
    long long upper = problem.fixedMusic();
    for (int i = 0; i < problem.leadCount(); ++i) upper += problem.music(problem.first(i));
    std::array<long long, 3> at{};
    std::array<long long, 3> boundAt{};
    double provedAt = 0;
    double foundAt = 0;  // when the best music was first reached
    double checksPerSecond = 0;
    for (auto _ : state) {
        if (plain) {
            PlainSearch s{problem};
            s.end = s.start + std::chrono::seconds(20);
            s.search(0);
            for (const auto& [t, m] : s.improvements) {
                if (t <= 1.0) at[0] = problem.fixedMusic() + m;
                if (t <= 5.0) at[1] = problem.fixedMusic() + m;
                at[2] = problem.fixedMusic() + m;
            }
            checksPerSecond = static_cast<double>(s.checks) / std::chrono::duration<double>(Clock::now() - s.start).count();
        } else {
            const auto start = Clock::now();
            fill::runFill(problem, options, std::atomic<bool>{false}, [&](const fill::FillProgress& p) {
                const double t = std::chrono::duration<double>(Clock::now() - start).count();
                const long long m = p.haveFill ? p.bestMusic : 0;
                if (t <= 1.0) at[0] = m, boundAt[0] = p.bound;
                if (t <= 5.0) at[1] = m, boundAt[1] = p.bound;
                boundAt[2] = p.bound;
                if (p.proved && provedAt == 0) provedAt = t;
                if (m > at[2] || foundAt == 0) foundAt = t;
                at[2] = m;
            });
        }
    }
    state.counters["after_1s"] = static_cast<double>(at[0]);
    state.counters["after_5s"] = static_cast<double>(at[1]);
    state.counters["after_20s"] = static_cast<double>(at[2]);
    state.counters["upper_bound"] = static_cast<double>(upper);
    if (!plain) {
        state.counters["bound_1s"] = static_cast<double>(boundAt[0]);
        state.counters["bound_5s"] = static_cast<double>(boundAt[1]);
        state.counters["bound_20s"] = static_cast<double>(boundAt[2]);
        state.counters["proved_s"] = provedAt;
        state.counters["found_s"] = foundAt;
    }
    if (plain) state.counters["checks/s"] = checksPerSecond;
}
BENCHMARK(BM_FillCambridge)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// The row prices' bound on the 35-lead 5600 from the standard (0) or full
// (1) libraries, or data/quarnel.txt from the full library (2), after at
// most range(1) ms of subgradient steps, against the sum of each lead's best
// candidate.
void BM_FillBound(benchmark::State& state) {
    const bool full = state.range(0) >= 1;
    auto c = read(state.range(0) == 2 ? fileText(std::string(QUARNEL_REPO_DATA) + "/quarnel.txt")
                                      : bench::cambridge35Leads5Parts(),
                  library(full));
    const auto problem = fill::FillProblem::build(*c, library(full), &music(), allOptions(1, 0));
    long long before = 0, after = 0;
    for (auto _ : state) {
        fill::MusicBound bound(problem);
        before = bound.bound();
        bound.improve(static_cast<double>(state.range(1)) / 1000);
        after = bound.bound();
    }
    state.counters["best_candidates"] = static_cast<double>(problem.fixedMusic() + before);
    state.counters["bound"] = static_cast<double>(problem.fixedMusic() + after);
    state.counters["candidates"] = problem.candidateCount();
}
BENCHMARK(BM_FillBound)->Args({0, 10})->Args({0, 300})->Args({1, 30})->Args({1, 100})->Args({1, 300})->Args({1, 5000})->Args({2, 300})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
