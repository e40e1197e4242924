#include "session/analysis_page.h"

#include <algorithm>

#include "composition/analysis.h"
#include "composition/composition.h"
#include "composition/music.h"
#include "session/composer_session.h"

namespace quarnel {
namespace {

std::string cell(const MusicCount& c) { return std::to_string(c.rows) + " (" + std::to_string(c.score) + ")"; }

}  // namespace

AnalysisPage analysisPage(const Composition* composition, const MusicTable* music, int lead, const Method* candidate) {
    AnalysisPage page;
    page.columns = {"Music", "Composition", "Lead " + std::to_string(lead), "Candidate"};
    if (composition == nullptr) {
        page.note = "No composition loaded";
    } else {
        const MethodBalance balance = methodBalance(*composition);
        if (balance.allTheWork() && !balance.methods.empty())
            page.work.push_back("ATW: yes");
        else
            page.work.push_back("ATW: " + std::to_string(balance.piecesRung()) + " of " + std::to_string(balance.piecesPossible()));
        for (const auto& m : balance.methods) {
            const std::string missing = missingWork(m);
            page.work.push_back(m.name + ": " + (missing.empty() ? std::string("all the work") : missing));
        }
        page.balance.push_back("Changes of method: " + std::to_string(balance.changesOfMethod));
        page.balance.push_back("Methods used: " + std::to_string(balance.methods.size()));
        for (const auto& m : balance.methods) page.balance.push_back(std::to_string(m.changes) + " " + m.name);

        if (music == nullptr) {
            page.note = "No music file loaded";
        } else {
            const auto whole = musicCounts(*composition, *music);
            const auto ofLead = leadMusicCounts(*composition, lead, composition->committedMethodAt(lead), *music);
            const auto ofCandidate = leadMusicCounts(*composition, lead, candidate, *music);
            for (std::size_t d = 0; d < whole.size(); ++d)
                page.counts.push_back({whole[d].title, cell(whole[d]), d < ofLead.size() ? cell(ofLead[d]) : "",
                                       d < ofCandidate.size() ? cell(ofCandidate[d]) : ""});
        }
    }
    for (const std::string& heading : page.columns) page.columnWidths.push_back(static_cast<int>(heading.size()));
    for (const auto& row : page.counts)
        for (std::size_t i = 0; i < row.size(); ++i)
            page.columnWidths[i] = std::max(page.columnWidths[i], static_cast<int>(row[i].size()));
    return page;
}

AnalysisPage analysisPage(const ComposerSession& session) {
    return analysisPage(session.composition(), session.musicTable(), session.fields().leadNumber, session.candidate());
}

}  // namespace quarnel
