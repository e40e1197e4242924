// Reading the Central Council's methods library: a generated file of the real
// one's size (about 25,000 methods of all stages, 40 MB), in a temporary folder.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "methods/council_library.h"

namespace quarnel {
namespace {

const std::string& councilFile() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "quarnel-bench-CCCBR_methods.xml";
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<collection xmlns=\"" << CouncilNamespace
            << "\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" version=\"1\">\n"
               "  <collectionName>Generated methods library</collectionName>\n";
        const char* classes[] = {"Surprise", "Delight", "Treble Bob", "Bob", "Place", "Alliance"};
        const char* surprise = "-38-14-1258-36-14-58-16-78,12";
        const char* other = "-16-14-16-36-14-16,12";
        int method = 0;
        for (int set = 0; method < 25000; ++set) {
            const int stage = 4 + set % 9;  // Minimus to Sixteen; a ninth of the sets are Major
            const bool major = stage == 8;
            const char* kind = classes[set % 6];
            out << "  <methodSet>\n    <notes>Set " << set << "</notes>\n    <properties>\n      <stage>" << stage
                << "</stage>\n      <classification" << (set % 7 == 0 ? " little=\"true\"" : "") << ">" << kind
                << "</classification>\n      <lengthOfLead>" << (major ? 32 : 4 * stage) << "</lengthOfLead>\n"
                << "      <numberOfHunts>1</numberOfHunts>\n      <huntbellPath>1 2 1 2 3 4 3 4</huntbellPath>\n"
                << "      <symmetry>palindromic double rotational</symmetry>\n    </properties>\n";
            for (int k = 0; k < 10; ++k, ++method) {
                out << "    <method id=\"m" << method << "\">\n      <title>Method " << method << " " << kind
                    << " Stage " << stage << "</title>\n      <name>M\xC3\xA9thod " << method << "</name>\n"
                    << "      <notation>" << (major ? surprise : other) << "</notation>\n"
                    << "      <leadHead>15738264</leadHead>\n      <leadHeadCode>b</leadHeadCode>\n"
                    << "      <falseness><fchGroups>B</fchGroups></falseness>\n"
                    << "      <extensionConstruction>4</extensionConstruction>\n"
                    << "      <references><rwRef>1990/123</rwRef><bnRef>" << method << "</bnRef><cbRef>CB" << method
                    << "</cbRef><pmmRef>PMM</pmmRef><tdmmRef>TDMM</tdmmRef></references>\n"
                    << "      <performances>\n        <firstTowerbellPeal>\n          <date>19" << 10 + method % 90
                    << "-05-0" << 1 + method % 9 << "</date>\n          <society>A Society of Ringers with a long name "
                    << method % 37 << "</society>\n          <location><building>Cathedral Church of St Someone "
                    << method % 101 << "</building><address>The Close</address><town>Town " << method % 211
                    << "</town><county>County</county><country>England</country></location>\n"
                    << "        </firstTowerbellPeal>\n        <firstHandbellPeal>\n          <date>1975-01-01</date>\n"
                    << "          <society>Handbell Society</society>\n          <location><town>Town</town>"
                    << "<county>County</county></location>\n        </firstHandbellPeal>\n"
                    << "      </performances>\n"
                    << "      <notes>Rung first as an experiment, and again later with a different calling "
                    << "that brought the method into the collection under this name.</notes>\n"
                    << "      <otherPerformances><performance><date>2001-02-03</date><society>Another society "
                    << "of ringers</society><location><building>Church of St Michael and All Angels</building>"
                    << "<town>Elsewhere</town><county>Shire</county></location></performance></otherPerformances>\n"
                    << "    </method>\n";
            }
            out << "  </methodSet>\n";
        }
        out << "</collection>\n";
        return file.string();
    }();
    return path;
}

void BM_ReadCouncilLibrary(benchmark::State& state) {
    const std::string& path = councilFile();
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    long methods = 0;
    for (auto _ : state) {
        const CouncilLibrary library = readCouncilLibraryFile(path);
        methods = library.methodsRead;
        benchmark::DoNotOptimize(library.classes[0].methods.size());
    }
    state.counters["methods"] = static_cast<double>(methods);
}
BENCHMARK(BM_ReadCouncilLibrary)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quarnel

BENCHMARK_MAIN();
