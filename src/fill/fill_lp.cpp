#include "fill/fill_lp.h"

#include <ostream>
#include <string>
#include <vector>

#include "fill/fill_problem.h"
#include "ringing/model_error.h"

namespace quarnel::fill {
namespace {

// Terms a line: the format's readers take lines of a few hundred characters.
constexpr int TermsPerLine = 10;

// Writes " name: + x1 + x2 ..." over as many lines as it takes, without the
// sense and right-hand side.
template <typename Range>
void writeSum(std::ostream& out, const std::string& name, const Range& candidates) {
    out << " " << name << ":";
    int n = 0;
    for (const CandidateIndex c : candidates) {
        if (n > 0 && n % TermsPerLine == 0) out << "\n   ";
        out << " + x" << c.value();
        ++n;
    }
}

}  // namespace

void writeLp(const FillProblem& p, std::ostream& out) {
    if (p.impossibleLead() != 0) throw ModelError("Lead " + std::to_string(p.impossibleLead()) + " has no candidate");
    if (p.constraints().active)
        throw ModelError("The composer's constraints are not written as an integer program: leave them out to write one");
    out << "\\ Quarnel fill: " << p.leadCount() << " leads, " << p.candidateCount() << " candidates\n";
    out << "\\ The lead heads, lead ends and kept leads have " << p.fixedMusic()
        << " music: the composition's music is the objective plus " << p.fixedMusic() << "\n";
    for (LeadIndex i{0}; i < p.leadEnd(); ++i)
        for (CandidateIndex c = p.first(i); c < p.end(i); ++c)
            out << "\\ x" << c.value() << ": lead " << p.leadNumber(i) << ", " << p.notation(p.method(c)) << "\n";

    out << "Maximize\n music:";
    int n = 0;
    for (CandidateIndex c{0}; c.value() < p.candidateCount(); ++c, ++n) {
        if (n > 0 && n % TermsPerLine == 0) out << "\n   ";
        const int m = p.music(c);
        out << (m < 0 ? " - " : " + ") << (m < 0 ? -static_cast<long long>(m) : m) << " x" << c.value();
    }
    out << "\nSubject To\n";
    for (LeadIndex i{0}; i < p.leadEnd(); ++i) {
        std::vector<CandidateIndex> own;
        for (CandidateIndex c = p.first(i); c < p.end(i); ++c) own.push_back(c);
        writeSum(out, "lead" + std::to_string(p.leadNumber(i)), own);
        out << " = 1\n";
    }
    // A row only one lead can ring needs no constraint.
    for (const RowIndex r : p.sharedRows()) {
        writeSum(out, "row" + std::to_string(r.value()), p.candidatesOfRow(r));
        out << " <= 1\n";
    }
    if (p.usesLimit() > 0) {
        for (MethodIndex m{0}; m.value() < static_cast<int>(p.notations().size()); ++m) {
            const auto cs = p.candidatesOfMethod(m);
            const int left = p.usesLimit() - p.keptUses(m);
            if (static_cast<int>(cs.size()) <= left) continue;
            writeSum(out, "method" + std::to_string(m.value()), cs);
            out << " <= " << left << "\n";
        }
    }
    out << "Binary\n";
    for (CandidateIndex c{0}; c.value() < p.candidateCount(); ++c) out << " x" << c.value() << "\n";
    out << "End\n";
}

}  // namespace quarnel::fill
