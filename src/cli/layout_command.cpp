#include "cli/layout_command.h"

#include <algorithm>
#include <fstream>
#include <ostream>
#include <sstream>

#include "composition/analysis.h"
#include "composition/calling.h"
#include "composition/composition.h"
#include "composition/layout_reader.h"
#include "composition/layout_writer.h"
#include "methods/library_location.h"
#include "methods/major_method.h"
#include "methods/method_library.h"
#include "methods/name_matching.h"
#include "ringing/model_error.h"

namespace quarnel::cli {

std::string layoutText(const Composition& c, const MethodLibrary& library, bool leadHeads) {
    return quarnel::layoutText(c, library, leadHeads);
}

void writeCallingLines(std::ostream& out, const Composition& c) {
    const CompositionCalling calling = compositionCalling(c);
    out << "Course heads:";
    for (const CourseCalling& course : calling.courses) out << ' ' << courseHeadText(course.head);
    out << "\nCalling:";
    for (const CallAt& call : calling.calls) out << ' ' << (call.call == Call::Single ? "s" : "") << call.position;
    out << "\n";
}

int layoutCommand(const std::vector<std::string>& words, bool leadHeads, const std::string& libraryFolder, std::ostream& out,
                  std::ostream& err) {
    if (words.size() != 2) {
        err << "usage: quarnel-cli layout FILE [--lead-heads] [--library DIR]\n";
        return 2;
    }
    MethodLibrary& library = MethodLibrary::instance();
    library.clear();
    readLibraryFiles(library, programLibrary(libraryFolder, nullptr).folder);
    std::ifstream in(words[1], std::ios::binary);
    if (!in) {
        err << "Cannot open " << words[1] << "\n";
        return 1;
    }
    try {
        const auto c = readComposition(in, MajorMethod::HalfLength, library);
        for (const std::string& line : c->loadReport()) err << line << "\n";
        out << quarnel::layoutText(*c, library, leadHeads);
    } catch (const ModelError& e) {
        err << "Load abandoned: " << e.describe() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace quarnel::cli
