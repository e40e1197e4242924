#include "methods/method_generator.h"

#include "ringing/lead_end_table.h"
#include "ringing/model_error.h"

namespace quarnel {
namespace {

using List = std::vector<std::string_view>;

const std::array<List, MethodGenerator::ChosenPositions>& allowedChanges() {
    static const List dodge12 = {"-", "34", "36", "38", "56", "58", "3456", "3458"};
    static const List cross23 = {"14", "16", "18", "1456", "1458"};
    static const List dodge34first = {"-", "56", "58"};
    static const List dodge34 = {"-", "12", "56", "58", "1256", "1258"};
    static const List cross45 = {"16", "18", "36", "38", "1236", "1238"};
    static const List dodge56first = {"-", "12", "14", "34"};
    static const List dodge56 = {"-", "12", "14", "34", "1234"};
    static const List cross67 = {"18", "38", "58", "1238", "1258", "1458", "3458"};
    static const List dodge78 = {"-", "12", "14", "16", "34", "36", "56", "1234", "1236", "1256", "1456", "3456"};
    static const std::array<List, MethodGenerator::ChosenPositions> lists = {
        dodge12, dodge12, dodge12, cross23, dodge34first, dodge34, dodge34, cross45,
        dodge56first, dodge56, dodge56, cross67, dodge78, dodge78, dodge78};
    return lists;
}

const Change& compiled(std::string_view text) {
    static const std::array<Change, 5> known = {*Change::parse("12"), *Change::parse("18"), *Change::parse("38"),
                                                *Change::parse("58"), *Change::parse("78")};
    for (const Change& c : known)
        if (c.text() == text) return c;
    return known[0];
}

}  // namespace

MethodGenerator::MethodGenerator() {
    rows_[0] = Row();
    choiceIndex_.fill(0);
}

MethodGenerator::~MethodGenerator() = default;

bool MethodGenerator::acceptChange(int, const Change&) { return true; }

std::string_view MethodGenerator::allowedChange(int position, int k) const {
    return allowedChanges()[static_cast<std::size_t>(position)][static_cast<std::size_t>(k)];
}

int MethodGenerator::allowedCount(int position) const {
    return static_cast<int>(allowedChanges()[static_cast<std::size_t>(position)].size());
}

const Change& MethodGenerator::compiledChange(int position, int k) const {
    return compiled_[static_cast<std::size_t>(position)][static_cast<std::size_t>(k)];
}

void MethodGenerator::compileTables() {
    for (int p = 0; p < ChosenPositions; ++p) {
        auto& list = compiled_[static_cast<std::size_t>(p)];
        list.clear();
        for (int k = 0; k < allowedCount(p); ++k) {
            const auto c = Change::parse(allowedChange(p, k));
            list.push_back(c ? *c : Change());
        }
    }
    compiledReady_ = true;
}

void MethodGenerator::setCode(char letter) {
    const char code = upperCode(letter);
    static constexpr std::string_view codes = "ABCDEFGHJKLM";
    const std::size_t at = codes.find(code);
    if (letter == 0 || at == std::string_view::npos) throw ModelError(kBadLeadEndGroup);
    const int v = at < 6 ? static_cast<int>(at) : static_cast<int>(at) - 5;
    code_ = code;
    changes_[0] = compiled(at < 6 ? "12" : HighLeadEndNotation);
    changes_[HalfLength] = compiled("18");
    static constexpr std::string_view fixedBells = "8365472";
    static constexpr std::array<std::string_view, 3> pairs = {"67524873268534", "45742782386356", "23863564574278"};
    fixedBell_ = bellIndex(fixedBells[static_cast<std::size_t>(v)]);
    for (std::size_t i = 0; i < 3; ++i) {
        crossPairs_[i][0] = bellIndex(pairs[i][static_cast<std::size_t>(2 * v)]);
        crossPairs_[i][1] = bellIndex(pairs[i][static_cast<std::size_t>(2 * v + 1)]);
    }
}

const std::string& MethodGenerator::nextMethod(char code, int resumeAt, const GeneratorOptions& options) {
    if (!compiledReady_) compileTables();
    setCode(code);  // may throw before anything is changed
    options_ = options;
    found_ = false;
    resumeAt_ = resumeAt > ChosenPositions - 1 ? ChosenPositions - 1 : resumeAt;
    search(0);
    text_.clear();
    if (found_) writeText();
    return text_;
}

void MethodGenerator::search(int p) {
    int& index = choiceIndex_[static_cast<std::size_t>(p)];
    if (p < resumeAt_) {
        // keep the stored index
    } else if (p == resumeAt_) {
        ++index;
        resumeAt_ = -1;
    } else {
        index = 0;
    }
    const auto& list = compiled_[static_cast<std::size_t>(p)];
    const int count = static_cast<int>(list.size());
    const Change& before = changes_[static_cast<std::size_t>(p)];
    for (; index < count; ++index) {
        const Change& c = list[static_cast<std::size_t>(index)];
        const bool taken = (c.characters() & before.characters()) == 0 &&
                           (!options_.twoPlaces || c.text().size() < 4) &&
                           (!options_.rightPlace || p % 2 != 0 || c.text().size() < 2) && acceptChange(p, c);
        if (taken) extend(p, c);
        if (found_) return;
    }
}

void MethodGenerator::extend(int p, const Change& c) {
    rows_[static_cast<std::size_t>(p + 1)] = rows_[static_cast<std::size_t>(p)].times(c.transposition());
    changes_[static_cast<std::size_t>(p + 1)] = c;
    if (p + 2 == HalfLength)
        finalTest();
    else
        search(p + 1);
}

void MethodGenerator::finalTest() {
    const Row& last = rows_[HalfLength - 1];
    const int n = last.placeOfBell(fixedBell_) + 1;
    const char place = static_cast<char>('0' + n);
    if (changes_[HalfLength - 1].text().find(place) != std::string_view::npos) return;
    if (OddPlaces.find(place) == std::string_view::npos) return;
    for (const auto& pair : crossPairs_) {
        const int a = last.placeOfBell(pair[0]);
        const int b = last.placeOfBell(pair[1]);
        if (a - b != 1 && b - a != 1) return;
    }
    const char halfLead[2] = {place, '8'};
    changes_[HalfLength] = compiled(std::string_view(halfLead, 2));
    found_ = true;
}

void MethodGenerator::writeText() {
    text_ += lowerCode(code_);
    text_ += '&';
    for (int i = 1; i <= HalfLength; ++i) {
        const Change& c = changes_[static_cast<std::size_t>(i)];
        if (i > 1 && !c.isCross() && !changes_[static_cast<std::size_t>(i - 1)].isCross()) text_ += '.';
        text_ += abbreviateChange(c.text());
    }
}

MajorMethodGenerator& MajorMethodGenerator::instance() {
    static MajorMethodGenerator generator;
    return generator;
}

bool MajorMethodGenerator::acceptChange(int p, const Change& c) {
    const GeneratorOptions& o = options();
    if (o.symmetricSections && p % 4 == 2 && !(c == changeAt(p - 1))) return false;
    if (p % 4 == 3) {
        const bool plain = c.text() == "18";
        if (plain ? !(o.allowDelight || o.allowTrebleBob) : !(o.allowDelight || o.allowSurprise)) return false;
    }
    if (p == 11) {
        int plainSections = c.text() == "18" ? 1 : 0;
        for (int q : {3, 7})
            if (compiledChange(q, choiceIndex(q)).text() == "18") ++plainSections;
        if (plainSections == 0 && !o.allowSurprise) return false;
        if (plainSections == 3 && !o.allowTrebleBob) return false;
        if (plainSections != 0 && plainSections != 3 && !o.allowDelight) return false;
    }
    return true;
}

}  // namespace quarnel
