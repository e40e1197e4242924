#include <algorithm>
#include <map>
#include <memory>
#include <numeric>

#include "composition/composition.h"
#include "composition/music.h"
#include "composition/plan.h"
#include "fill/fill.h"
#include "methods/major_method.h"
#include "methods/method_generator.h"
#include "methods/method_library.h"
#include "ringing/lead_end_table.h"

namespace quarnel::fill {
namespace {

// The notation texts a lead of the code may take under the options, in
// byte order; cut is set when the generator had more than the limit.
// The generator is the build's own (the dialog's generator keeps its place),
// one for every code: its tables are compiled once.
std::vector<std::string> candidateTexts(char code, const MethodLibrary& library, const FillOptions& o,
                                        MajorMethodGenerator& generator, bool& cut) {
    cut = false;
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

}  // namespace

FillStatus reportedStatus(const FillProblem& problem, const FillResult& result) {
    if (!problem.cutCodes().empty() &&
        (result.status == FillStatus::ImpossibleLead || result.status == FillStatus::NoTrueFill))
        return FillStatus::NoFillWithinLimits;
    return result.status;
}

int usesLimitOf(const FillOptions& options) { return options.allDifferent ? 1 : std::max(0, options.maxUses); }

int applyFill(Composition& composition, const MethodLibrary& library,
              const std::vector<std::pair<int, std::string>>& methods) {
    for (const auto& [n, text] : methods) composition.setMethodAt(n, false);
    int failed = 0;
    for (const auto& [n, text] : methods) {
        const MajorMethod method(text, library);
        composition.tryMethodAt(n, &method);
        composition.setMethodAt(n, true);
        composition.releaseTrial();
        const Method* committed = composition.committedMethodAt(n);
        if ((committed == nullptr || committed->notationText() != text) && failed == 0) failed = n;
    }
    return failed;
}

const std::uint32_t* FillProblem::candidatesOfRow(int row, int& count) const {
    const auto r = static_cast<std::size_t>(row);
    count = static_cast<int>(rowStart_[r + 1] - rowStart_[r]);
    return rowCandidates_.data() + rowStart_[r];
}

const std::uint32_t* FillProblem::candidatesOfMethod(int m, int& count) const {
    const auto i = static_cast<std::size_t>(m);
    count = static_cast<int>(methodStart_[i + 1] - methodStart_[i]);
    return methodCandidates_.data() + methodStart_[i];
}

std::size_t FillProblem::memoryBytes() const {
    std::size_t bytes = rows_.capacity() * sizeof(std::uint16_t) + music_.capacity() * 4 + method_.capacity() * 4 +
                        lead_.capacity() * 4 + rowStart_.capacity() * 4 + rowCandidates_.capacity() * 4 +
                        methodStart_.capacity() * 4 + methodCandidates_.capacity() * 4 + keptUses_.capacity() * 4 +
                        begin_.capacity() * sizeof(int) + leads_.capacity() * sizeof(int);
    for (const auto& t : notations_) bytes += sizeof(std::string) + t.capacity();
    return bytes;
}

FillProblem FillProblem::build(const Composition& composition, const MethodLibrary& library, MusicTable* music,
                               const FillOptions& options) {
    FillProblem p;
    p.usesLimit_ = usesLimitOf(options);
    const int half = composition.leadLength() / 2;
    const int inHalf = half - 1;
    p.rowsPerCandidate_ = 2 * inHalf;
    const int leadCount = static_cast<int>(composition.leadCount());
    const PartEnd& partEnd = composition.partEnd();
    auto score = [music, &partEnd](RowKey key, bool backstroke) { return music ? music->scoreRow(partEnd, key, backstroke) : 0; };

    // The rows in use before the fill: every lead head and lead end, and the
    // rows of the kept leads.
    std::vector<std::uint8_t> used(RowIndexCount, 0);
    std::vector<char> kept(static_cast<std::size_t>(leadCount) + 1, 0);
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
        if (const int owner = registered.ownerAt(index); owner == 0 || (owner > 0 && owner <= leadCount && kept[static_cast<std::size_t>(owner)]))
            used[static_cast<std::size_t>(index)] = 1;

    // The methods each code may take, built once per code.
    const Plan plan = composition.plan();
    const auto codeOf = [&plan](int n) { return plan.leads()[static_cast<std::size_t>(n - 1)].code; };
    std::map<LeadHeadCode, std::vector<std::unique_ptr<MajorMethod>>> methodsOfCode;
    std::map<std::string, int> methodIndex;
    MajorMethodGenerator generator;
    for (int n : p.leads_) {
        const LeadHeadCode code = codeOf(n);
        if (methodsOfCode.count(code) != 0) continue;
        auto& methods = methodsOfCode[code];
        bool cut = false;
        const std::vector<std::string> texts = candidateTexts(code.letter(), library, options, generator, cut);
        if (cut) p.cutCodes_ += code.letter();
        for (const std::string& text : texts) {
            auto m = std::make_unique<MajorMethod>(text, library);
            if (!m->hasNotation() || m->halfLength() != half || m->code() != code.notationLetter()) continue;
            methodIndex.emplace(m->notationText(), 0);
            methods.push_back(std::move(m));
        }
    }
    for (int n = 1; n <= leadCount; ++n)
        if (kept[static_cast<std::size_t>(n)]) methodIndex.emplace(composition.committedMethodAt(n)->notationText(), 0);
    for (auto& [text, index] : methodIndex) {
        index = static_cast<int>(p.notations_.size());
        p.notations_.push_back(text);
    }
    // Each method's index, found once rather than for every lead it is tried in.
    std::map<LeadHeadCode, std::vector<int>> idsOfCode;
    for (const auto& [code, methods] : methodsOfCode) {
        auto& ids = idsOfCode[code];
        for (const auto& m : methods) ids.push_back(methodIndex[m->notationText()]);
    }
    p.keptUses_.assign(p.notations_.size(), 0);
    for (int n = 1; n <= leadCount; ++n)
        if (kept[static_cast<std::size_t>(n)]) ++p.keptUses_[static_cast<std::size_t>(methodIndex[composition.committedMethodAt(n)->notationText()])];

    // Each lead's candidates.
    std::vector<RowKey> keys(static_cast<std::size_t>(p.rowsPerCandidate_));
    RowStamps stamps;
    std::vector<int> order;
    std::vector<std::uint16_t> leadRows;
    std::vector<std::int32_t> leadMusic;
    std::vector<std::uint32_t> leadMethod;
    for (std::size_t i = 0; i < p.leads_.size(); ++i) {
        const int n = p.leads_[i];
        const Lead& lead = *composition.leadAt(n);
        p.begin_.push_back(static_cast<int>(p.music_.size()));
        leadRows.clear();
        leadMusic.clear();
        leadMethod.clear();
        const auto& methods = methodsOfCode[codeOf(n)];
        const auto& ids = idsOfCode[codeOf(n)];
        for (std::size_t j = 0; j < methods.size(); ++j) {
            const MajorMethod* m = methods[j].get();
            const int id = ids[j];
            if (p.usesLimit_ > 0 && p.keptUses_[static_cast<std::size_t>(id)] >= p.usesLimit_) continue;
            m->halfLeadKeys(partEnd, keys.data(), lead.leadHead());
            m->halfLeadKeys(partEnd, keys.data() + inHalf, lead.leadEnd());
            stamps.startTrial();
            bool isTrue = true;
            long long sum = 0;
            for (int k = 0; k < p.rowsPerCandidate_ && isTrue; ++k) {
                const int r = rowIndexOfKnownRow(keys[static_cast<std::size_t>(k)]);
                if (used[static_cast<std::size_t>(r)] || stamps.seenAt(r)) isTrue = false;
            }
            if (!isTrue) continue;
            for (int j = 0; j < inHalf; ++j) {
                sum += score(keys[static_cast<std::size_t>(j)], j % 2 == 1);
                sum += score(keys[static_cast<std::size_t>(inHalf + j)], (1 + j) % 2 == 1);
            }
            for (int k = 0; k < p.rowsPerCandidate_; ++k)
                leadRows.push_back(static_cast<std::uint16_t>(rowIndexOfKnownRow(keys[static_cast<std::size_t>(k)])));
            leadMusic.push_back(static_cast<std::int32_t>(std::clamp<long long>(sum, -100000000LL, 100000000LL)));
            leadMethod.push_back(static_cast<std::uint32_t>(id));
        }
        order.resize(leadMusic.size());
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            const auto ua = static_cast<std::size_t>(a), ub = static_cast<std::size_t>(b);
            return leadMusic[ua] != leadMusic[ub] ? leadMusic[ua] > leadMusic[ub] : leadMethod[ua] < leadMethod[ub];
        });
        for (int k : order) {
            const auto u = static_cast<std::size_t>(k);
            p.music_.push_back(leadMusic[u]);
            p.method_.push_back(leadMethod[u]);
            p.lead_.push_back(static_cast<std::int32_t>(i));
            p.rows_.insert(p.rows_.end(), leadRows.begin() + static_cast<std::ptrdiff_t>(u * static_cast<std::size_t>(p.rowsPerCandidate_)),
                           leadRows.begin() + static_cast<std::ptrdiff_t>((u + 1) * static_cast<std::size_t>(p.rowsPerCandidate_)));
        }
        if (order.empty() && p.impossibleLead_ == 0) p.impossibleLead_ = n;
    }
    p.begin_.push_back(static_cast<int>(p.music_.size()));

    // The inverse tables: the candidates of each row and of each method.
    const std::size_t count = p.music_.size();
    // rowStart_[r] first counts row r's uses and is then summed to the end
    // of r's run; the candidates go in from the back, each one moving its
    // row's mark down, so that rowStart_[r] ends at the start of r's run
    // and every run is in candidate order.
    p.rowStart_.assign(RowIndexCount + 1, 0);
    for (const std::uint16_t r : p.rows_) ++p.rowStart_[r];
    for (std::size_t r = 1; r <= RowIndexCount; ++r) p.rowStart_[r] += p.rowStart_[r - 1];
    p.rowCandidates_.assign(p.rows_.size(), 0);
    for (std::size_t c = count; c-- > 0;)
        for (int k = p.rowsPerCandidate_; k-- > 0;)
            p.rowCandidates_[--p.rowStart_[p.rows_[c * static_cast<std::size_t>(p.rowsPerCandidate_) + static_cast<std::size_t>(k)]]] =
                static_cast<std::uint32_t>(c);
    p.methodStart_.assign(p.notations_.size() + 1, 0);
    for (const std::uint32_t m : p.method_) ++p.methodStart_[m + 1u];
    for (std::size_t m = 0; m < p.notations_.size(); ++m) p.methodStart_[m + 1] += p.methodStart_[m];
    p.methodCandidates_.assign(count, 0);
    {
        std::vector<std::uint32_t> at(p.methodStart_.begin(), p.methodStart_.end() - 1);
        for (std::size_t c = 0; c < count; ++c) p.methodCandidates_[at[p.method_[c]]++] = static_cast<std::uint32_t>(c);
    }
    return p;
}

}  // namespace quarnel::fill
