#include "cli/layout_command.h"

#include "cli/inputs.h"

#include <ostream>

#include "composition/calling.h"
#include "composition/composition.h"
#include "methods/method_library.h"

namespace quarnel::cli {

void writeCallingLines(std::ostream& out, const Composition& c) {
    const CompositionCalling calling = compositionCalling(c);
    out << "Course heads:";
    for (const CourseCalling& course : calling.courses) out << ' ' << courseHeadText(course.head);
    out << "\nCalling:";
    for (const CallAt& call : calling.calls) out << ' ' << (call.call == Call::Single ? "s" : "") << call.position;
    out << "\n";
}

int layoutCommand(const CommandLine& line, std::ostream& out, std::ostream& err) {
    const auto inputs = readInputs(line, err);
    if (!inputs) return ExitBadInput;
    out << layoutText(*inputs->composition, MethodLibrary::instance(), line.flag("--lead-heads"));
    return ExitDone;
}

}  // namespace quarnel::cli
