// The analysis figures of a whole peal (music counts of every definition of
// the standard music, all-the-work and balance): what the analysis window and
// `prove` work out on request, once per command, never per candidate.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "bench_data.h"
#include "bench_compositions.h"
#include "composition/analysis.h"
#include "composition/composition.h"
#include "composition/music.h"

namespace quarnel {
namespace {

std::unique_ptr<Composition> peal() {
    static const MethodLibrary library = [] {
        MethodLibrary l;
        bench::readLibraryOrStop(l, bench::fullLibraryDir());
        return l;
    }();
    std::istringstream in(bench::cambridge35Leads5Parts());
    return readComposition(in, 16, library);
}

void BM_MusicCountsOfAPeal(benchmark::State& state) {
    const auto c = peal();
    std::ifstream in(std::string(QUARNEL_REPO_DATA) + "/major.mus");
    const MusicTable music = MusicTable::read(in);
    for (auto _ : state) benchmark::DoNotOptimize(musicCounts(*c, music).size());
    state.counters["changes"] = static_cast<double>(c->leadCount() * 32 * static_cast<std::size_t>(c->partCount()));
}
BENCHMARK(BM_MusicCountsOfAPeal)->Unit(benchmark::kMicrosecond);

void BM_MethodBalanceOfAPeal(benchmark::State& state) {
    const auto c = peal();
    for (auto _ : state) benchmark::DoNotOptimize(methodBalance(*c).changesOfMethod);
}
BENCHMARK(BM_MethodBalanceOfAPeal)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
