// Benchmarks of Compose on the queries it is held to, all with the music
// of data/major.mus and the standard methods:
//   a 5-part peal of the standard eight (each at least 480 changes, tenors
//   together), bobs only and bobs and singles: the time to the first true
//   composition, and the best music after 60 s;
//   an 8-spliced 2-part quarter (part end 12435678, Rutland for Cornwall):
//   the time to 10 compositions and the best music after 2, 10 and 60 s;
//   a quarter of Cambridge, Yorkshire and Bristol splicing only at calls:
//   the time to the first composition;
//   the nodes of 1 and 2 threads in 10 s on the peal, and the tables' memory.
//   build/bench/compose_bench --benchmark_filter=Peal
// Each figure is one run of the search (Iterations(1)): the machine is shared,
// so the load goes with the figures.
#include <benchmark/benchmark.h>

#include <atomic>
#include <ctime>
#include <fstream>

#include "bench_data.h"
#include "compose/compose.h"
#include "composition/music.h"
#include "methods/method_library.h"

namespace quarnel {
namespace {

const MethodLibrary& library() {
    static MethodLibrary l;
    if (l.size() == 0) bench::readLibraryOrStop(l, bench::standardLibraryDir());
    return l;
}

const MusicTable& music() {
    static const MusicTable table = [] {
        std::ifstream in(bench::fullLibraryDir() + "/major.mus");
        return MusicTable::read(in);
    }();
    return table;
}

compose::ComposeOptions peal(bool singles, int threads, double seconds) {
    compose::ComposeOptions o;
    o.constraints.methods = {"Bristol S", "Cambridge S", "Cornwall S", "Lincolnshire S",
                             "London S",  "Pudsey S",    "Superlative S", "Yorkshire S"};
    o.constraints.minEach = 480;
    o.constraints.minMethods = 8;
    o.minLength = 5000;
    o.maxLength = 5200;
    o.parts = 5;
    o.calls = singles ? compose::CallSet::BobsAndSingles : compose::CallSet::Bobs;
    o.music = music();
    o.limits.threads = threads;
    o.limits.timeLimitSeconds = seconds;
    return o;
}

compose::ComposeOptions quarter(double seconds) {
    compose::ComposeOptions o;
    o.constraints.methods = {"Bristol S", "Cambridge S", "Rutland S",     "Lincolnshire S",
                             "London S",  "Pudsey S",    "Superlative S", "Yorkshire S"};
    o.minLength = 1250;
    o.maxLength = 1300;
    o.partEnd = *Row::fromSymbols("12435678");
    o.calls = compose::CallSet::BobsAndSingles;
    o.music = music();
    o.limits.threads = 2;
    o.limits.timeLimitSeconds = seconds;
    return o;
}

// Runs the options until the stop says so (or the time limit), calling
// watch with each progress report; the result.
template <class Watch>
compose::ComposeResult run(const compose::ComposeOptions& o, benchmark::State& state, Watch watch) {
    const compose::ComposeProblem problem = compose::ComposeProblem::build(library(), o);
    state.counters["tableMB"] = static_cast<double>(problem.memoryBytes()) / (1 << 20);
    std::atomic<bool> stop{false};
    return compose::runCompose(problem, o, stop, [&](const compose::ComposeProgress& p) {
        if (watch(p)) stop = true;
    });
}

void PealFirstComposition(benchmark::State& state) {
    for (auto _ : state) {
        const auto r = run(peal(state.range(0) != 0, 2, 10), state, [](const compose::ComposeProgress& p) { return p.haveComposition; });
        state.SetIterationTime(r.firstSeconds > 0 ? r.firstSeconds : r.elapsedSeconds);
        state.counters["found"] = static_cast<double>(r.compositions.size());
        state.counters["music"] = r.compositions.empty() ? 0 : static_cast<double>(r.compositions.front().music);
    }
}
BENCHMARK(PealFirstComposition)->ArgName("singles")->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void PealBestMusicAfter60s(benchmark::State& state) {
    for (auto _ : state) {
        const auto r = run(peal(state.range(0) != 0, 2, 60), state, [](const compose::ComposeProgress&) { return false; });
        state.SetIterationTime(r.elapsedSeconds);
        state.counters["music"] = r.compositions.empty() ? 0 : static_cast<double>(r.compositions.front().music);
        state.counters["first_s"] = r.firstSeconds;
        state.counters["nodes"] = static_cast<double>(r.nodes);
    }
}
BENCHMARK(PealBestMusicAfter60s)->ArgName("singles")->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void QuarterMusicAfter2_10_60s(benchmark::State& state) {
    for (auto _ : state) {
        double tenAt = 0;
        long long at2 = 0, at10 = 0;
        const auto r = run(quarter(60), state, [&](const compose::ComposeProgress& p) {
            if (tenAt == 0 && p.kept >= 10) tenAt = p.elapsedSeconds;
            if (p.elapsedSeconds <= 2) at2 = p.bestMusic;
            if (p.elapsedSeconds <= 10) at10 = p.bestMusic;
            return false;
        });
        state.SetIterationTime(r.elapsedSeconds);
        state.counters["ten_found_s"] = tenAt;
        state.counters["music_2s"] = static_cast<double>(at2);
        state.counters["music_10s"] = static_cast<double>(at10);
        state.counters["music_60s"] = r.compositions.empty() ? 0 : static_cast<double>(r.compositions.front().music);
    }
}
BENCHMARK(QuarterMusicAfter2_10_60s)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void QuarterSplicedAtCallsFirst(benchmark::State& state) {
    for (auto _ : state) {
        compose::ComposeOptions o;
        o.constraints.methods = {"Cambridge S", "Yorkshire S", "Bristol S"};
        o.constraints.minMethods = 3;
        o.minLength = 1250;
        o.maxLength = 1300;
        o.splice = compose::Splice::AtCalls;
        o.music = music();
        o.limits.threads = 2;
        o.limits.timeLimitSeconds = 10;
        const auto r = run(o, state, [](const compose::ComposeProgress& p) { return p.haveComposition; });
        state.SetIterationTime(r.firstSeconds > 0 ? r.firstSeconds : r.elapsedSeconds);
        state.counters["found"] = static_cast<double>(r.compositions.size());
    }
}
BENCHMARK(QuarterSplicedAtCallsFirst)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// The nodes the peal's search reaches in 10 s on 1 and 2 threads, and per
// second of processor time: on a machine shared with other work the threads
// get less than a core each, and the second figure says whether two threads
// lose anything to each other.
void PealNodesIn10s(benchmark::State& state) {
    for (auto _ : state) {
        const std::clock_t cpu = std::clock();
        const auto r = run(peal(false, static_cast<int>(state.range(0)), 10), state,
                           [](const compose::ComposeProgress&) { return false; });
        const double cpuSeconds = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
        state.SetIterationTime(r.elapsedSeconds);
        state.counters["nodes"] = static_cast<double>(r.nodes);
        state.counters["nodes_per_s"] = static_cast<double>(r.nodes) / r.elapsedSeconds;
        state.counters["cpu_s"] = cpuSeconds;
        state.counters["nodes_per_cpu_s"] = static_cast<double>(r.nodes) / cpuSeconds;
    }
}
BENCHMARK(PealNodesIn10s)->ArgName("threads")->Arg(1)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
