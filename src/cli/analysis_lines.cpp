#include "cli/analysis_lines.h"

#include <ostream>

#include "composition/analysis.h"
#include "composition/music.h"

namespace quarnel::cli {

bool writeAnalysisLines(std::ostream& out, std::ostream& err, const Composition& composition, const MusicTable* music,
                        const std::string& musicFile) {
    if (music != nullptr && music->definitions().empty()) {
        err << "No music definitions in " << musicFile << "\n";
        return false;
    }
    const MethodBalance balance = methodBalance(composition);
    if (balance.allTheWork() && !balance.methods.empty())
        out << "ATW: yes\n";
    else
        out << "ATW: " << balance.piecesRung() << " of " << balance.piecesPossible() << "\n";
    out << "Changes of method: " << balance.changesOfMethod << "\n";
    out << "Methods used: " << balance.methods.size() << "\n";
    for (const auto& m : balance.methods) out << "Method: " << m.changes << ' ' << m.name << "\n";
    if (music != nullptr)
        for (const auto& c : musicCounts(composition, *music))
            out << "Count: " << c.rows << ' ' << c.score << ' ' << c.title << "\n";
    return true;
}

}  // namespace quarnel::cli
