#include <algorithm>
#include <map>
#include <memory>
#include <numeric>

#include "composition/composition.h"
#include "composition/music.h"
#include "composition/plan.h"
#include "fill/fill_problem.h"
#include "methods/major_method.h"
#include "methods/method_generator.h"
#include "methods/method_library.h"
#include "methods/name_matching.h"
#include "ringing/lead_end_table.h"
#include "ringing/model_error.h"

namespace quarnel::fill {
namespace {

// The notation texts a lead of the code may take under the options, in
// byte order; cut is set when the generator had more than the limit.
// The generator is the build's own (the dialog's generator keeps its place),
// one for every code: its tables are compiled once.
std::vector<std::string> candidateTexts(char code, const MethodLibrary& library, const FillOptions& o,
                                        const std::vector<std::string>& listed, MajorMethodGenerator& generator,
                                        bool& cut) {
    cut = false;
    // A list of methods stands instead of the classes: those of the code
    // are kept when the methods are built.
    if (!listed.empty()) return listed;
    const bool anyClass = o.surprise || o.delight || o.trebleBob;
    const bool surprise = o.surprise || !anyClass;
    std::vector<std::string> texts;
    if (o.rightPlace || o.symmetricSections || o.twoPlaces) {
        GeneratorOptions g;
        g.rightPlace = o.rightPlace;
        g.symmetricSections = o.symmetricSections;
        g.twoPlaces = o.twoPlaces;
        g.allowSurprise = surprise;
        g.allowDelight = o.delight;
        g.allowTrebleBob = o.trebleBob;
        int resume = -1;
        for (;;) {
            const std::string& text = generator.nextMethod(code, resume, g);
            if (text.empty()) break;
            // On from the method just given, whether it is taken or not.
            resume = MethodGenerator::ChosenPositions - 1;
            if (o.named && library.nameOf(text).empty()) continue;
            if (o.generatorLimit > 0 && static_cast<int>(texts.size()) >= o.generatorLimit) {
                cut = true;
                break;
            }
            texts.push_back(text);
        }
    } else {
        const char letter = lowerCode(code);
        for (const auto& [name, notation] : library.byName()) {
            if (notation.empty() || notation[0] != letter || name.empty()) continue;
            const char c = name.back();
            if ((o.trebleBob && c == 'B') || (o.delight && c == 'D') || (surprise && c == 'S')) texts.push_back(notation);
        }
    }
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    return texts;
}

// The notation texts of the listed names, each read as the name field reads
// it; a name that is no library method, or more than one, is refused.
std::vector<std::string> listedTexts(const MethodLibrary& library, const std::vector<std::string>& names) {
    std::vector<std::string> texts;
    MethodNameIndex index;
    for (const std::string& name : names) {
        if (const std::string& notation = library.notationOf(name); !notation.empty()) {
            texts.push_back(notation);
            continue;
        }
        const std::vector<std::string> matches = index.find(library, name);
        if (matches.size() != 1) throw ModelError(nameMatchNote(name, matches));
        texts.push_back(library.notationOf(matches.front()));
    }
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    return texts;
}

}  // namespace

// The steps of FillProblem::build, in order: the leads to fill and the rows
// in use before the fill; the methods each lead-head code may take and
// their indices; each lead's candidates; the inverse tables.
struct FillProblem::Build {
    using Methods = std::vector<std::unique_ptr<MajorMethod>>;

    Build(FillProblem& problem, const Composition& c, MusicTable* m, const FillOptions& o)
        : p(problem), composition(c), plan(c.plan()), music(m), options(o), partEnd(c.partEnd()),
          inHalf(c.leadLength() / 2 - 1), leadCount(static_cast<int>(c.leadCount())) {}

    FillProblem& p;
    const Composition& composition;
    const Plan plan;
    MusicTable* music;
    const FillOptions& options;
    const PartEnd& partEnd;
    const int inHalf;  // rows of a half lead between its lead head (or end) and the half-lead row
    const int leadCount;
    // Rows in use before the fill, by flat row index.
    std::vector<std::uint8_t> used = std::vector<std::uint8_t>(RowIndexCount, 0);
    // By lead number (1 .. leadCount): the lead keeps its committed method.
    std::vector<char> kept;
    std::map<LeadHeadCode, Methods> methodsOfCode;
    // Each method's index, found once rather than for every lead it is tried in.
    std::map<LeadHeadCode, std::vector<MethodIndex>> idsOfCode;
    // Scratch of addCandidates, kept from lead to lead.
    std::vector<RowKey> keys;
    RowStamps stamps;
    std::vector<std::uint16_t> leadRows;
    std::vector<std::int32_t> leadMusic;
    std::vector<MethodIndex> leadMethod;
    std::vector<std::size_t> order;

    int score(RowKey key, bool backstroke) const { return music ? music->scoreRow(partEnd, key, backstroke) : 0; }
    bool isKept(int n) const { return kept[static_cast<std::size_t>(n)] != 0; }
    LeadHeadCode codeOf(int n) const { return plan.leads()[static_cast<std::size_t>(n - 1)].code; }

    void sortLeads();
    void gatherMethods(const MethodLibrary& library);
    void addCandidates(LeadIndex i);
    void invert();
    void readConstraints();
};

// The rows in use before the fill: every lead head and lead end, and the
// rows of the kept leads.
void FillProblem::Build::sortLeads() {
    kept.assign(static_cast<std::size_t>(leadCount) + 1, 0);
    for (int n = 1; n <= leadCount; ++n) {
        const Lead& lead = *composition.leadAt(n);
        if (lead.committed() != nullptr && !options.all) {
            kept[static_cast<std::size_t>(n)] = 1;
            if (music) p.fixedMusic_ += composition.musicScore(n, *music, false);
        } else {
            p.leads_.push_back(n);
            p.fixedMusic_ += score(rowKey(partEnd, lead.leadHead()), true) +
                             static_cast<long long>(score(rowKey(partEnd, lead.leadEnd()), false));
        }
    }
    const FalseRowTable& registered = composition.falseRows();
    for (int index = 0; index < RowIndexCount; ++index)
        if (const int owner = registered.ownerAt(index); owner == 0 || (owner > 0 && owner <= leadCount && isKept(owner)))
            used[static_cast<std::size_t>(index)] = 1;
}

// The methods each code may take, built once per code, and the index of
// every method a candidate or a kept lead uses.
void FillProblem::Build::gatherMethods(const MethodLibrary& library) {
    const int half = composition.leadLength() / 2;
    std::map<std::string, MethodIndex> methodIndex;
    MajorMethodGenerator generator;
    const std::vector<std::string> listed = listedTexts(library, options.constraints.methods);
    for (int n : p.leads_.raw()) {
        const LeadHeadCode code = codeOf(n);
        if (methodsOfCode.count(code) != 0) continue;
        auto& methods = methodsOfCode[code];
        bool cut = false;
        const std::vector<std::string> texts = candidateTexts(code.letter(), library, options, listed, generator, cut);
        if (cut) p.cutCodes_ += code.letter();
        for (const std::string& text : texts) {
            auto m = std::make_unique<MajorMethod>(text, library);
            if (!m->hasNotation() || m->halfLength() != half || m->code() != code.notationLetter()) continue;
            methodIndex.emplace(m->notationText(), MethodIndex{});
            methods.push_back(std::move(m));
        }
    }
    for (int n = 1; n <= leadCount; ++n)
        if (isKept(n)) methodIndex.emplace(composition.committedMethodAt(n)->notationText(), MethodIndex{});
    for (auto& [text, index] : methodIndex) {
        index = p.notations_.end();
        p.notations_.push_back(text);
    }
    for (const auto& [code, methods] : methodsOfCode) {
        auto& ids = idsOfCode[code];
        for (const auto& m : methods) ids.push_back(methodIndex[m->notationText()]);
    }
    p.keptUses_.assign(p.notations_.size(), 0);
    for (int n = 1; n <= leadCount; ++n)
        if (isKept(n)) ++p.keptUses_[methodIndex[composition.committedMethodAt(n)->notationText()]];
}

// The lead's candidates: each method of its code that is true against the
// rows in use and in itself, with its music, ordered by music (highest
// first) and then by method.
void FillProblem::Build::addCandidates(LeadIndex i) {
    const int n = p.leads_[i];
    const Lead& lead = *composition.leadAt(n);
    const auto perCandidate = static_cast<std::size_t>(p.rowsPerCandidate_);
    keys.resize(perCandidate);
    leadRows.clear();
    leadMusic.clear();
    leadMethod.clear();
    p.begin_.push_back(p.music_.end());
    const Methods& methods = methodsOfCode[codeOf(n)];
    const std::vector<MethodIndex>& ids = idsOfCode[codeOf(n)];
    for (std::size_t j = 0; j < methods.size(); ++j) {
        const MajorMethod* m = methods[j].get();
        const MethodIndex id = ids[j];
        if (p.usesLimit_ > 0 && p.keptUses_[id] >= p.usesLimit_) continue;
        m->halfLeadKeys(partEnd, keys.data(), lead.leadHead());
        m->halfLeadKeys(partEnd, keys.data() + inHalf, lead.leadEnd());
        stamps.startTrial();
        bool isTrue = true;
        for (std::size_t k = 0; k < perCandidate && isTrue; ++k) {
            const int r = rowIndexOfKnownRow(keys[k]);
            if (used[static_cast<std::size_t>(r)] || stamps.seenAt(r)) isTrue = false;
        }
        if (!isTrue) continue;
        long long sum = 0;
        for (int h = 0; h < inHalf; ++h) {
            sum += score(keys[static_cast<std::size_t>(h)], h % 2 == 1);
            sum += score(keys[static_cast<std::size_t>(inHalf + h)], (1 + h) % 2 == 1);
        }
        for (const RowKey key : keys) leadRows.push_back(static_cast<std::uint16_t>(rowIndexOfKnownRow(key)));
        leadMusic.push_back(static_cast<std::int32_t>(std::clamp<long long>(sum, -100000000LL, 100000000LL)));
        leadMethod.push_back(id);
    }
    order.resize(leadMusic.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return leadMusic[a] != leadMusic[b] ? leadMusic[a] > leadMusic[b] : leadMethod[a] < leadMethod[b];
    });
    for (const std::size_t k : order) {
        p.music_.push_back(leadMusic[k]);
        p.method_.push_back(leadMethod[k]);
        p.lead_.push_back(i);
        const auto from = leadRows.begin() + static_cast<std::ptrdiff_t>(k * perCandidate);
        p.rows_.insert(p.rows_.end(), from, from + static_cast<std::ptrdiff_t>(perCandidate));
    }
    if (order.empty() && p.impossibleLead_ == 0) p.impossibleLead_ = n;
}

// The composer's constraints against the plan: which leads are filled, the
// kept leads' methods.
void FillProblem::Build::readConstraints() {
    std::vector<int> leadToFill(static_cast<std::size_t>(leadCount), -1);
    std::vector<int> keptMethod(static_cast<std::size_t>(leadCount), -1);
    for (LeadIndex i{0}; i < p.leadEnd(); ++i) leadToFill[static_cast<std::size_t>(p.leads_[i] - 1)] = i.value();
    for (int n = 1; n <= leadCount; ++n)
        if (isKept(n)) {
            const std::string& text = composition.committedMethodAt(n)->notationText();
            const auto at = std::lower_bound(p.notations_.raw().begin(), p.notations_.raw().end(), text);
            keptMethod[static_cast<std::size_t>(n - 1)] = static_cast<int>(at - p.notations_.raw().begin());
        }
    // Every method a lead could take or keeps is in notations_: a list of
    // methods whose codes the plan does not use cannot make up the number.
    const search::Constraints& k = options.constraints;
    if (!k.methods.empty() && k.minMethods && *k.minMethods > static_cast<int>(p.notations_.size()))
        throw ModelError("No fill of this plan can keep the constraints: at least " + std::to_string(*k.minMethods) +
                         " methods, but only " + std::to_string(p.notations_.size()) +
                         " of those given or kept have the plan's lead-head codes");
    p.constraints_ = planConstraints(composition, k, std::move(leadToFill), std::move(keptMethod));
    if (const int most = p.constraints_.maxLeads; most > 0 && (p.usesLimit_ == 0 || most < p.usesLimit_)) p.usesLimit_ = most;
}

// The inverse tables: the candidates of each row and of each method.
void FillProblem::Build::invert() {
    const std::size_t count = p.music_.size();
    const auto perCandidate = static_cast<std::size_t>(p.rowsPerCandidate_);
    // rowStart_[r] first counts row r's uses and is then summed to the end
    // of r's run; the candidates go in from the back, each one moving its
    // row's mark down, so that rowStart_[r] ends at the start of r's run
    // and every run is in candidate order.
    auto& rowStart = p.rowStart_.raw();
    rowStart.assign(RowIndexCount + 1, 0);
    for (const std::uint16_t r : p.rows_) ++rowStart[r];
    for (std::size_t r = 1; r <= RowIndexCount; ++r) rowStart[r] += rowStart[r - 1];
    p.rowCandidates_.assign(p.rows_.size(), 0);
    for (std::size_t c = count; c-- > 0;)
        for (std::size_t k = perCandidate; k-- > 0;)
            p.rowCandidates_[--rowStart[p.rows_[c * perCandidate + k]]] = static_cast<std::uint32_t>(c);
    auto& methodStart = p.methodStart_.raw();
    methodStart.assign(p.notations_.size() + 1, 0);
    for (const MethodIndex m : p.method_.raw()) ++methodStart[m.at() + 1];
    for (std::size_t m = 0; m < p.notations_.size(); ++m) methodStart[m + 1] += methodStart[m];
    p.methodCandidates_.assign(count, 0);
    std::vector<std::uint32_t> at(methodStart.begin(), methodStart.end() - 1);
    for (std::size_t c = 0; c < count; ++c) p.methodCandidates_[at[p.method_.raw()[c].at()]++] = static_cast<std::uint32_t>(c);
}

std::vector<RowIndex> FillProblem::sharedRows() const {
    std::vector<RowIndex> shared;
    for (RowIndex r{0}; r.value() < RowIndexCount; ++r) {
        const auto cs = candidatesOfRow(r);
        for (const CandidateIndex c : cs)
            if (leadOf(c) != leadOf(cs[0])) {
                shared.push_back(r);
                break;
            }
    }
    return shared;
}

std::size_t FillProblem::memoryBytes() const {
    std::size_t bytes = rows_.capacity() * sizeof(std::uint16_t) + music_.capacity() * 4 + method_.capacity() * 4 +
                        lead_.capacity() * 4 + rowStart_.capacity() * 4 + rowCandidates_.capacity() * 4 +
                        methodStart_.capacity() * 4 + methodCandidates_.capacity() * 4 + keptUses_.capacity() * 4 +
                        begin_.capacity() * sizeof(int) + leads_.capacity() * sizeof(int);
    for (const auto& t : notations_.raw()) bytes += sizeof(std::string) + t.capacity();
    return bytes;
}

FillProblem FillProblem::build(const Composition& composition, const MethodLibrary& library, MusicTable* music,
                               const FillOptions& options) {
    FillProblem p;
    p.usesLimit_ = usesLimitOf(options);
    p.rowsPerCandidate_ = 2 * (composition.leadLength() / 2 - 1);
    if (const std::string why = options.constraints.contradiction(); !why.empty()) throw ModelError("Contradictory constraints: " + why);
    Build b(p, composition, music, options);
    b.sortLeads();
    b.gatherMethods(library);
    b.readConstraints();
    for (LeadIndex i{0}; i < p.leadEnd(); ++i) b.addCandidates(i);
    p.begin_.push_back(p.music_.end());
    b.invert();
    return p;
}

}  // namespace quarnel::fill
