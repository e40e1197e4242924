// The generator's full enumeration and the construction of a method from its
// notation text: the two steps every generated candidate costs.
#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "methods/major_method.h"
#include "methods/method_generator.h"
#include "methods/method_library.h"

namespace quarnel {
namespace {

void BM_GeneratorFullEnumerationB(benchmark::State& state) {
    MajorMethodGenerator generator;
    GeneratorOptions o;
    o.rightPlace = true;
    o.symmetricSections = true;
    std::size_t methods = 0;
    for (auto _ : state) {
        methods = 0;
        for (const std::string* text = &generator.nextMethod('b', -1, o); !text->empty();
             text = &generator.nextMethod('b', 14, o))
            ++methods;
        benchmark::DoNotOptimize(methods);
    }
    state.counters["methods"] = static_cast<double>(methods);
    state.counters["methods/s"] = benchmark::Counter(static_cast<double>(methods) * static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GeneratorFullEnumerationB)->Unit(benchmark::kMillisecond);

// The process-wide library with the full collections, as the program has it.
void loadFullLibrary() {
    MethodLibrary& library = MethodLibrary::instance();
    if (library.size() == 0) bench::readLibraryOrStop(library, bench::fullLibraryDir());
}

void BM_MajorMethodFromNotationText(benchmark::State& state) {
    loadFullLibrary();
    for (auto _ : state) {
        MajorMethod m("b&-3-4-25-36-4-5-6-7");
        benchmark::DoNotOptimize(m.row(31));
    }
}
BENCHMARK(BM_MajorMethodFromNotationText);

void BM_MajorMethodFromLibraryName(benchmark::State& state) {
    loadFullLibrary();
    for (auto _ : state) {
        MajorMethod m("Cambridge S");
        benchmark::DoNotOptimize(m.row(31));
    }
}
BENCHMARK(BM_MajorMethodFromLibraryName);

void BM_ReadFullLibraries(benchmark::State& state) {
    for (auto _ : state) {
        MethodLibrary library;
        benchmark::DoNotOptimize(readLibraryFiles(library, std::string(QUARNEL_REPO_DATA)));
    }
}
BENCHMARK(BM_ReadFullLibraries)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
