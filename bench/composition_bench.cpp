// Reading and proving a composition, trying a candidate method in a lead,
// and scoring a lead's music: the work of every Load and every candidate.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "bench_data.h"
#include "bench_compositions.h"
#include "composition/composition.h"
#include "composition/music.h"
#include "composition/plan_edit.h"
#include "methods/major_method.h"
#include "methods/method_generator.h"

namespace quarnel {
namespace {

const MethodLibrary& fullLibrary() {
    static const MethodLibrary library = [] {
        MethodLibrary l;
        bench::readLibraryOrStop(l, bench::fullLibraryDir());
        return l;
    }();
    return library;
}

std::unique_ptr<Composition> read35() {
    std::istringstream in(bench::cambridge35Leads5Parts());
    return readComposition(in, 16, fullLibrary());
}

void BM_ReadAndProve35Leads5Parts(benchmark::State& state) {
    const std::string text = bench::cambridge35Leads5Parts();
    fullLibrary();
    for (auto _ : state) {
        std::istringstream in(text);
        auto c = readComposition(in, 16, fullLibrary());
        benchmark::DoNotOptimize(c->leadCount());
    }
    const auto c = read35();
    state.counters["parts"] = c->partCount();
    state.counters["changes"] = static_cast<double>(c->partCount() * 32 * static_cast<int>(c->leadCount()));
}
BENCHMARK(BM_ReadAndProve35Leads5Parts)->Unit(benchmark::kMicrosecond);

// A plan edit as the desktop program makes it: the call of one lead
// changed in the file text and the whole composition read back (a false
// plan recorded, not refused). The 175 leads are the 35-lead part five
// times over: a false plan with most methods dropped, so the read does the
// work of proving every lead.
void BM_PlanEditRoundTrip(benchmark::State& state) {
    std::string text;
    for (int k = 0; k < state.range(0) / 35; ++k) text += bench::cambridge35Leads5Parts();
    fullLibrary();
    int lead = 1;
    for (auto _ : state) {
        const std::string edited = withCall(text, lead, Call::Bob);
        std::istringstream in(edited);
        auto c = readComposition(in, 16, fullLibrary(), PlanRepeats::Record);
        benchmark::DoNotOptimize(c->leadCount());
        lead = lead % static_cast<int>(state.range(0)) + 1;
    }
}
BENCHMARK(BM_PlanEditRoundTrip)->Arg(35)->Arg(175)->Unit(benchmark::kMicrosecond);

void BM_TryMethodAt35Leads5Parts(benchmark::State& state) {
    auto c = read35();
    const MajorMethod yorkshire("Yorkshire S", fullLibrary());
    const MajorMethod superlative("Superlative S", fullLibrary());
    int lead = 1;
    for (auto _ : state) {
        c->tryMethodAt(lead, (lead & 1) ? &yorkshire : &superlative);
        benchmark::DoNotOptimize(c->falsenessScore());
        lead = lead == 35 ? 1 : lead + 1;
    }
}
BENCHMARK(BM_TryMethodAt35Leads5Parts);

// A generated candidate as the search meets it: the next method, its
// MajorMethod, the trial, the score and the profile.
void BM_GenerateBuildAndTry(benchmark::State& state) {
    auto c = read35();
    MajorMethodGenerator generator;
    GeneratorOptions o;
    int start = -1;
    for (auto _ : state) {
        const std::string& text = generator.nextMethod('b', start, o);
        if (text.empty()) {
            start = -1;
            continue;
        }
        const MajorMethod m(text, fullLibrary());
        c->tryMethodAt(17, &m);
        benchmark::DoNotOptimize(c->falsenessScore());
        start = c->falsenessProfile(0, false) - 1;
        if (start < 0) start = 0;
    }
}
BENCHMARK(BM_GenerateBuildAndTry);

void BM_LeadMusicOfCandidate(benchmark::State& state) {
    auto c = read35();
    std::ifstream in(std::string(QUARNEL_TEST_DATA) + "/major-classic.mus");
    MusicTable table = MusicTable::read(in);
    const MajorMethod yorkshire("Yorkshire S", fullLibrary());
    c->tryMethodAt(10, &yorkshire);
    for (auto _ : state) benchmark::DoNotOptimize(c->musicScore(10, table, true));
}
BENCHMARK(BM_LeadMusicOfCandidate);

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
