// A search as the composer runs it: presses of Different with Named ticked on
// a 35-lead, five-part composition, so that the generator's candidates are
// tried one after another until a named one is true. Once through the
// session alone, once through the Qt dialog (offscreen), in candidates per
// second. Then Match on lead 1 of the same composition with one rare row
// worth 1000 that only a few candidates ring: every press tries some 15,000
// candidates, each with its falseness, its music both ways and its status.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "bench_data.h"
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

// A music file of one row, scored 1000: a row of Cambridge's first lead, so
// that the lead's present music is 1000 and Match runs until a true
// candidate rings that row too.
std::string rareRowMusicFile() {
    static const std::string path = [] {
        const std::string p = (std::filesystem::temp_directory_path() / "quarnel-bench-rare-row.mus").string();
        std::ofstream(p) << "One rare row\n1000 0 62148735\n";
        return p;
    }();
    return path;
}

void BM_MatchThroughSession(benchmark::State& state) {
    HeadlessView view(std::cerr);
    ComposerSession session(view);
    session.loadFile(compositionFile());
    session.loadMusicFile(rareRowMusicFile());
    session.fields().leadNumber = 1;
    session.leadChanged();
    long candidates = 0;
    for (auto _ : state) {
        session.clear();
        candidates += session.searchCandidates(false, true);
    }
    state.counters["candidates/s"] = benchmark::Counter(static_cast<double>(candidates), benchmark::Counter::kIsRate);
    state.counters["per press"] = static_cast<double>(candidates) / static_cast<double>(state.iterations());
    state.counters["lead music"] = session.fields().leadMusic;
}
BENCHMARK(BM_MatchThroughSession)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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
    const std::string folder = std::string(QUARNEL_REPO_DATA);
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
    quarnel::bench::readLibraryOrStop(library, quarnel::bench::fullLibraryDir());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
