#pragma once
// What the analysis window shows, as text, without any widget: the music
// counts of the composition, the current lead and the candidate side by
// side, all-the-work (which bells miss which starts of each method) and the
// method balance. Computed when the window asks, never per candidate.
#include <string>
#include <vector>

namespace quarnel {

class ComposerSession;
class Composition;
class Method;
class MusicTable;

struct AnalysisPage {
    // The counts table: a heading row, then one row per music definition:
    // its title, then "ROWS (SCORE)" for the composition, the lead and the
    // candidate.
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> counts;
    // Each column's width in characters: the longest text in it.
    std::vector<int> columnWidths;
    // "ATW: yes" or "ATW: N of M", then one line a method.
    std::vector<std::string> work;
    // "Changes of method: N", "Methods used: N", then "CHANGES NAME" lines.
    std::vector<std::string> balance;
    // Why there is nothing to show ("" when there is).
    std::string note;
};

AnalysisPage analysisPage(const Composition* composition, const MusicTable* music, int lead, const Method* candidate);
AnalysisPage analysisPage(const ComposerSession& session);

}  // namespace quarnel
