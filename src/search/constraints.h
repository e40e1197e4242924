#pragma once
// What a composer asks of a composition beyond truth, whatever engine looks
// for it (Fill now, Compose later): which methods, how many of them, how
// much each rings, all the work, how many changes of method, and the weights
// that turn music into the objective. Counted as the analysis counts them
// (composition/analysis.h): a method's changes are its leads × lead length ×
// parts; changes of method run between consecutive leads over all parts,
// the part-end join included; a piece of work is a working bell starting a
// lead in a place. A field left at its default asks for nothing, so a
// default Constraints is the plain search.
//
// It lives on the search floor because both engines read it; it knows no
// library or plan: the names are resolved and the counts checked against a
// plan by the engine that builds a problem from it.
#include <optional>
#include <string>
#include <vector>

namespace quarnel::search {

struct Constraints {
    // The methods to use, as a ringer types their names ("Cambridge",
    // "Yorkshire S"); empty: the classes (or generator) as before.
    std::vector<std::string> methods;
    // Different methods in the whole composition.
    std::optional<int> minMethods, maxMethods;
    // Changes of each method the composition rings.
    std::optional<long long> minEach, maxEach;
    // Every method's changes within this percentage of the mean.
    std::optional<int> balancePercent;
    // Every method rings all the work.
    bool allTheWork = false;
    // Changes of method.
    std::optional<long long> minChangesOfMethod, maxChangesOfMethod;
    // The objective: music, plus these per change of method, per bob and per
    // single (calls counted over all parts), minus atwWeight per piece of
    // work a method misses.
    long long comWeight = 0, bobWeight = 0, singleWeight = 0, atwWeight = 0;

    // Anything asked that the plain search does not know of.
    bool any() const;
    // True when the counts, all the work or the weights other than calls
    // ask anything of the search itself (the calls' weights only add a
    // constant to a fill of fixed calls).
    bool shapeTheSearch() const;
    // Why these constraints contradict each other whatever the plan ("at
    // least 5 methods but at most 3"), or "" when they do not.
    std::string contradiction() const;
    // What is asked of the search, in the order of the options, as a
    // composer would read it back ("all the work, at most 20 changes of
    // method"); "" when nothing is. The methods of the list and the calls'
    // weights are left out: they rule out no fill of the methods given.
    std::string summary() const;
};

// Reads a comma-separated list of method names: spaces around each name are
// dropped; an empty name leaves the list empty (and contradiction() says
// so).
std::vector<std::string> methodList(const std::string& text);

}  // namespace quarnel::search
