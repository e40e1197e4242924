#include "cli/import_command.h"

#include "cli/inputs.h"

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

int importCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
    loadLibrary(line);
    const MethodLibrary& library = MethodLibrary::instance();
    const std::string& path = line.words[0];
    const std::string method = line.text("--method").value_or("");
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        err << "Cannot open " << path << "\n";
        return ExitBadInput;
    }
    std::ostringstream text;
    text << in.rdbuf();
    try {
        std::istringstream leads(readLayout(text.str(), library, method));
        const auto c = readComposition(leads, MajorMethod::HalfLength, library);
        if (!c->loadReport().empty()) {
            for (const std::string& dropped : c->loadReport()) err << dropped << "\n";
            return ExitBadInput;
        }
        c->save(out);
    } catch (const ModelError& e) {
        err << path << ": " << e.describe() << "\n";
        return ExitBadInput;
    }
    return ExitDone;
}

}  // namespace quarnel::cli
