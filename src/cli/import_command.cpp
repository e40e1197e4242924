#include "cli/import_command.h"

#include <fstream>
#include <ostream>
#include <sstream>

#include "composition/composition.h"
#include "composition/layout_reader.h"
#include "methods/library_location.h"
#include "methods/major_method.h"
#include "methods/method_library.h"
#include "ringing/model_error.h"

namespace quarnel::cli {

int importCommand(const std::vector<std::string>& words, const std::string& method, const std::string& libraryFolder,
                  std::ostream& out, std::ostream& err) {
    if (words.size() != 2) {
        err << "usage: quarnel-cli import FILE [--method NAME] [--library DIR]\n";
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
    std::ostringstream text;
    text << in.rdbuf();
    try {
        std::istringstream leads(readLayout(text.str(), library, method));
        const auto c = readComposition(leads, MajorMethod::HalfLength, library);
        if (!c->loadReport().empty()) {
            for (const std::string& line : c->loadReport()) err << line << "\n";
            return 1;
        }
        c->save(out);
    } catch (const ModelError& e) {
        err << words[1] << ": " << e.describe() << "\n";
        return 1;
    }
    return 0;
}

}  // namespace quarnel::cli
