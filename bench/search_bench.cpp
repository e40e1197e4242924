// A search as the composer runs it: presses of Different with Named ticked on
// a 35-lead, five-part composition, so that the generator's candidates are
// tried one after another until a named one is true. Once through the
// session alone, once through the Qt dialog (offscreen), in candidates per
// second.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "bench_compositions.h"
#include "session/composer_session.h"
#include "session/headless_view.h"
#include "ui/composer_dialog.h"

namespace quarnel {
namespace {

std::string compositionFile() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "quarnel-bench-35-leads.txt").string();
        std::ofstream(p) << bench::cambridge35Leads5Parts();
        return p;
    }();
    return path;
}

void prepare(DialogFields& f) {
    f.namedOnly = true;
    f.allowSurprise = true;
    f.allowDelight = true;
    f.leadNumber = 17;
}

void BM_SearchThroughSession(benchmark::State& state) {
    HeadlessView view(std::cerr);
    ComposerSession session(view);
    prepare(session.fields());
    session.loadFile(compositionFile());
    long candidates = 0;
    for (auto _ : state) candidates += session.searchCandidates(true, false);
    state.counters["candidates/s"] = benchmark::Counter(static_cast<double>(candidates), benchmark::Counter::kIsRate);
    state.counters["per press"] = static_cast<double>(candidates) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SearchThroughSession)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

void BM_SearchThroughQtDialog(benchmark::State& state) {
    ComposerDialog dialog;
    dialog.show();
    prepare(dialog.session().fields());
    dialog.session().fields().leadNumber = 17;
    dialog.session().loadFile(compositionFile());
    long candidates = 0;
    for (auto _ : state) {
        dialog.different();
        candidates += dialog.lastSearchCandidates();
    }
    state.counters["candidates/s"] = benchmark::Counter(static_cast<double>(candidates), benchmark::Counter::kIsRate);
    state.counters["per press"] = static_cast<double>(candidates) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SearchThroughQtDialog)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// The dialog built and shown with the full libraries read from the working
// folder, as at start-up.
void BM_DialogStartupWithFullLibraries(benchmark::State& state) {
    const std::string folder = std::string(QUARNEL_SHARED_DATA) + "/methods";
    for (auto _ : state) {
        MethodLibrary::instance().clear();
        ComposerDialog dialog(nullptr, nullptr, folder);
        dialog.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(MethodLibrary::instance().size());
    }
    state.counters["methods"] = static_cast<double>(MethodLibrary::instance().size());
}
BENCHMARK(BM_DialogStartupWithFullLibraries)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quarnel

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    quarnel::MethodLibrary& library = quarnel::MethodLibrary::instance();
    quarnel::readLibraryFiles(library, std::string(QUARNEL_SHARED_DATA) + "/methods");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
