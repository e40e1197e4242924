#include "cli/layout_command.h"

#include <fstream>
#include <ostream>

#include "composition/calling.h"
#include "composition/composition.h"
#include "methods/library_location.h"
#include "methods/major_method.h"
#include "methods/method_library.h"
#include "ringing/model_error.h"

namespace quarnel::cli {

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
        out << layoutText(*c, library, leadHeads);
    } catch (const ModelError& e) {
        err << "Load abandoned: " << e.describe() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace quarnel::cli
