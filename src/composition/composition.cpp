#include "composition/composition.h"

#include <algorithm>
#include <charconv>

#include "composition/composer_line.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "ringing/model_error.h"
#include "ringing/notation_forms.h"
#include "ringing/text_lines.h"

namespace quarnel {
namespace {

constexpr std::size_t LineLimit = 199;

bool isLeadLine(std::string_view line) {
    if (line.empty()) return false;
    const char c = line[0];
    return (c >= 'A' && c <= 'M') || c == 'Q' || c == 'Z';
}

// The code of a lead line's first character; a letter that is no code has
// no lead-end row.
LeadHeadCode codeOfLine(std::string_view line) {
    const std::optional<LeadHeadCode> code = LeadHeadCode::fromLetter(line[0]);
    if (!code) throw ModelError(kBadLeadEndGroup);
    return *code;
}

std::string_view trimRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

// ---- Lead ----

Lead::Lead(std::string_view line, Row& running, int halfLength, const MethodLibrary& library)
    // A carriage return as the call is a plain lead written as a blank: as
    // the last character of a saved line it would be taken for part of the
    // line end and the lead would read back otherwise.
    : callSymbol_(line.size() > 1 ? (line[1] == '\r' ? ' ' : line[1]) : 0),
      leadHead_(running),
      code_(codeOfLine(line)),
      halfLength_(halfLength),
      leadEnd_(running.times(code_.leadEndRow())),
      library_(&library) {
    running = nextLeadHead();
    if (line.size() > 3) name_ = std::string(trimRight(line.substr(3)));
    notation_ = library.notationOf(name_);
    if (notation_.empty()) {
        notation_ = name_;
        // Place notation as ringers write it is read into the notation text;
        // a text it does not read stays as written (and gives what it gives).
        if (NotationReading reading = readNotation(notation_); reading.ok()) notation_ = std::move(reading.text);
        name_ = library.nameOf(notation_);
    }
}

Row Lead::nextLeadHead() const { return nextLeadHeadOf(leadEnd_, code_, call()); }

std::string Lead::writeLine() const {
    std::string line;
    line += code_.letter();
    line += callSymbol_ == 0 ? ' ' : callSymbol_;
    if (!name_.empty()) {
        line += ' ';
        line += name_;
    } else if (!notation_.empty()) {
        line += ' ';
        line += notation_;
    }
    line += '\n';
    return line;
}

std::string Lead::displayLine() const {
    std::string line = leadHead_.toSymbols();
    line += ' ';
    line += writeLine();
    line.pop_back();
    return line;
}

bool Lead::trialMatches() const { return trial_ != nullptr && trial_->hasNotation() && trial_->code() == code_.notationLetter(); }

void Lead::attach(Composition& composition, int number) {
    leadHeadKey_ = rowKey(composition.partEnd(), leadHead_);
    leadEndKey_ = rowKey(composition.partEnd(), leadEnd_);
    leadHeadIndex_ = static_cast<std::uint16_t>(rowIndexOfKnownRow(leadHeadKey_));
    leadEndIndex_ = static_cast<std::uint16_t>(rowIndexOfKnownRow(leadEndKey_));
    if (!endsRegistered_) {
        composition.insertRow(leadHeadKey_, 0);
        composition.insertRow(leadEndKey_, 0);
    }
    if (!notation_.empty()) {
        const std::string text = name_.empty() ? notation_ : name_;
        const MajorMethod method(notation_, *library_);
        // A method must be true in its own lead and belong to the lead's code;
        // otherwise the rows it would add are not the rows rung.
        const bool trueInLead = tryMethod(composition, &method);
        if (trueInLead && trialMatches()) {
            setMethod(composition, number, true);
            if (committed_ == nullptr) composition.reportDroppedMethod(number, text, "false" + composition.trialClashText(*this, number));
        } else {
            name_.clear();
            notation_.clear();
            composition.reportDroppedMethod(number, text,
                                            !method.hasNotation() ? composition.noMethodReason(text)
                                            : !trueInLead         ? "false in itself"
                                                                  : "of another lead-head code");
        }
    }
    trial_ = nullptr;
    trialGenerated_ = false;
}

bool Lead::tryMethod(Composition& composition, const Method* method) {
    trial_ = method;
    trialGenerated_ = false;
    trialRepeat_ = 0;
    if (method == nullptr || !method->hasNotation() || method->halfLength() != halfLength_) return false;
    auto& first = rowKeys_[TrialFirst];
    auto& second = rowKeys_[TrialSecond];
    auto& firstIndexes = rowIndexes_[TrialFirst];
    auto& secondIndexes = rowIndexes_[TrialSecond];
    method->halfLeadKeys(composition.partEnd(), first.data(), firstIndexes.data(), leadHead_);
    method->halfLeadKeys(composition.partEnd(), second.data(), secondIndexes.data(), leadEnd_);
    trialGenerated_ = true;
    // The first position at which a row repeats one at the same or an
    // earlier position, in either half.
    RowStamps& stamps = composition.stamps_;
    stamps.startTrial();
    for (int i = 0; i < halfLength_ - 1 && trialRepeat_ == 0; ++i) {
        const bool firstSeen = stamps.seenAt(firstIndexes[static_cast<std::size_t>(i)]);
        const bool secondSeen = stamps.seenAt(secondIndexes[static_cast<std::size_t>(i)]);
        if (firstSeen || secondSeen) trialRepeat_ = i + 1;
    }
    return trialRepeat_ == 0;
}

void Lead::setMethod(Composition& composition, int number, bool commit) {
    const int h = halfLength_;
    committedMusicTable_ = 0;
    if (committed_) {
        try {
            for (int i = 0; i < h - 1; ++i) {
                composition.eraseRow(rowKeys_[CommittedFirst][static_cast<std::size_t>(i)], number);
                composition.eraseRow(rowKeys_[CommittedSecond][static_cast<std::size_t>(i)], number);
            }
        } catch (const ModelError&) {
            composition.eraseLeadRows(number);
        }
        committed_.reset();
        name_.clear();
        notation_.clear();
    }
    if (!commit || trial_ == nullptr || !trialGenerated_) return;
    committed_ = trial_->clone();
    int inserted = 0;
    try {
        for (int i = 0; i < h - 1; ++i) {
            const auto at = static_cast<std::size_t>(i);
            rowKeys_[CommittedFirst][at] = rowKeys_[TrialFirst][at];
            rowIndexes_[CommittedFirst][at] = rowIndexes_[TrialFirst][at];
            composition.insertRow(rowKeys_[CommittedFirst][at], number);
            ++inserted;
            rowKeys_[CommittedSecond][at] = rowKeys_[TrialSecond][at];
            rowIndexes_[CommittedSecond][at] = rowIndexes_[TrialSecond][at];
            composition.insertRow(rowKeys_[CommittedSecond][at], number);
            ++inserted;
        }
    } catch (const ModelError&) {
        // Take out again what went in: the lead's rows are then none, as if
        // every row of the lead had been erased. A lead without a method has
        // no name and no notation, so that nothing shows or saves a method
        // that is not committed.
        committed_.reset();
        name_.clear();
        notation_.clear();
        for (int k = 0; k < inserted; ++k)
            composition.eraseRow(rowKeys_[k % 2 == 0 ? CommittedFirst : CommittedSecond][static_cast<std::size_t>(k / 2)], number);
        return;
    }
    notation_ = committed_->notationText();
    name_ = library_->nameOf(notation_);
}

void Lead::collectFalseness(Composition& composition, int number) const {
    if (trial_ == nullptr || !trialGenerated_) return;
    for (int i = halfLength_ - 2; i >= 0; --i) {
        for (int array : {TrialFirst, TrialSecond}) {
            const int owner = composition.falseRows_.ownerAt(rowIndexes_[static_cast<std::size_t>(array)][static_cast<std::size_t>(i)]);
            if (owner >= 0 && owner != number) composition.trialFalseness_.set(owner, i + 1);
        }
    }
}

int Lead::musicScore(const PartEnd& partEnd, MusicTable& table, bool useTrial) const {
    // The committed method's music changes only with the method and the
    // table (the part end is fixed); the trial's is scored afresh every time.
    if (!useTrial && committedMusicTable_ == table.id()) return committedMusic_;
    long long total = table.scoreKnownRow(partEnd, leadHeadKey_, leadHeadIndex_, true) +
                      static_cast<long long>(table.scoreKnownRow(partEnd, leadEndKey_, leadEndIndex_, false));
    if (useTrial ? (trial_ != nullptr && trialGenerated_) : committed_ != nullptr) {
        // Row j of the first half is at handstroke for even j, of the second
        // half (read backwards from the lead end) at backstroke.
        const int first = useTrial ? TrialFirst : CommittedFirst;
        const int second = useTrial ? TrialSecond : CommittedSecond;
        total += table.scoreKnownRows(partEnd, rowKeys_[first].data(), rowIndexes_[first].data(), halfLength_ - 1, false);
        total += table.scoreKnownRows(partEnd, rowKeys_[second].data(), rowIndexes_[second].data(), halfLength_ - 1, true);
    }
    const int score = static_cast<int>(std::clamp<long long>(total, -2000000000LL, 2000000000LL));
    if (!useTrial) {
        committedMusic_ = score;
        committedMusicTable_ = table.id();
    }
    return score;
}

// ---- Composition ----

Composition::Composition(int halfLength, const MethodLibrary& library)
    : leadLength_(2 * halfLength), halfLength_(halfLength), library_(&library) {}

Composition::~Composition() = default;

std::unique_ptr<Composition> readComposition(std::istream& in, int halfLength, const MethodLibrary& library,
                                             PlanRepeats repeats) {
    if (halfLength < 2 || halfLength > MaxHalfLength) halfLength = MaxHalfLength;
    std::unique_ptr<Composition> c(new Composition(halfLength, library));
    Row running;
    std::string line;
    int lineNumber = 0;
    while (readTextLine(in, line)) {
        ++lineNumber;
        // A line longer than the format allows is read as its first 199
        // characters, so that no lead is lost.
        if (line.size() > LineLimit) line.resize(LineLimit);
        // "Composed by A. B. Smith" above the leads names the composer and
        // is no lead of code C; the first that names someone counts.
        if (const auto composer = composerOfLine(line)) {
            // Cut so that the line Save writes for it is read back whole.
            if (c->composer_.empty()) c->composer_ = composerOfLine(composerLine(*composer).substr(0, LineLimit)).value_or("");
            continue;
        }
        if (!isLeadLine(line)) continue;
        try {
            c->leads_.push_back(std::make_unique<Lead>(line, running, halfLength, library));
        } catch (const ModelError& e) {
            throw ModelError(e.what(), "line " + std::to_string(lineNumber) + ": " + line.substr(0, 1));
        }
        c->leads_.back()->line_ = lineNumber;
    }
    c->partEnd_ = PartEnd(running);
    c->trialFalseness_.reserve(c->leads_.size());
    if (repeats == PlanRepeats::Record) {
        // A plan being edited: every lead head and lead end is registered
        // before any method, so that a method clashing with the plan loses
        // (and is reported) rather than the plan; a row that repeats is
        // registered once and recorded.
        for (std::size_t i = 0; i < c->leads_.size(); ++i) {
            Lead& lead = *c->leads_[i];
            const int n = static_cast<int>(i + 1);
            const RowKey head = rowKey(c->partEnd_, lead.leadHead());
            const RowKey end = rowKey(c->partEnd_, lead.leadEnd());
            if (c->ownerOf(head) >= 0)
                c->planRepeats_.push_back(c->findRepeat(n, false, lead.leadHead(), head));
            else
                c->insertRow(head, 0);
            if (c->ownerOf(end) >= 0)
                c->planRepeats_.push_back(c->findRepeat(n, true, lead.leadEnd(), end));
            else
                c->insertRow(end, 0);
            lead.endsRegistered_ = true;
        }
    }
    for (std::size_t i = 0; i < c->leads_.size(); ++i) {
        Lead& lead = *c->leads_[i];
        if (!lead.endsRegistered_) {
            // Name the row that repeats before the lead enters the register.
            const auto where = [&lead](const char* row, const Row& r) {
                return "line " + std::to_string(lead.line_) + ": " + row + " " + r.text() + " repeats";
            };
            const RowKey head = rowKey(c->partEnd_, lead.leadHead());
            const RowKey end = rowKey(c->partEnd_, lead.leadEnd());
            if (c->ownerOf(head) >= 0) throw ModelError(kInsertFalseRow, where("lead head", lead.leadHead()));
            if (c->ownerOf(end) >= 0 || end == head) throw ModelError(kInsertFalseRow, where("lead end", lead.leadEnd()));
        }
        try {
            lead.attach(*c, static_cast<int>(i + 1));
        } catch (const ModelError& e) {
            throw ModelError(e.what(), "line " + std::to_string(lead.line_));
        }
    }
    return c;
}

PlanRepeat Composition::findRepeat(int n, bool leadEnd, const Row& row, RowKey key) const {
    PlanRepeat repeat;
    repeat.lead = n;
    repeat.leadEnd = leadEnd;
    repeat.row = row;
    // The rows registered before this one: the heads and ends of the leads
    // before n, and n's own head when its end repeats. Only lead heads and
    // lead ends are registered while they are.
    for (int m = 1; m <= n; ++m) {
        const Lead& other = *leads_[static_cast<std::size_t>(m - 1)];
        for (const bool otherEnd : {false, true}) {
            if (m == n && (otherEnd || !leadEnd)) continue;
            const Row& otherRow = otherEnd ? other.leadEnd() : other.leadHead();
            if (rowKey(partEnd_, otherRow) != key) continue;
            // The part in which the other lead rings this row.
            Row image = otherRow;
            for (int part = 1; part <= std::max(1, partEnd_.count()); ++part) {
                if (image == row) {
                    repeat.otherLead = m;
                    repeat.otherLeadEnd = otherEnd;
                    repeat.part = part;
                    return repeat;
                }
                image = partEnd_.onePartOn(image);
            }
        }
    }
    return repeat;
}

std::string PlanRepeat::describe(int partCount) const {
    std::string text = "Lead " + std::to_string(lead) + "'s " + (leadEnd ? "lead end " : "lead head ") + row.text() + " is ";
    if (otherLead == lead)
        text += std::string("its own ") + (otherLeadEnd ? "lead end" : "lead head");
    else
        text += "lead " + std::to_string(otherLead) + "'s" + (otherLeadEnd != leadEnd ? (otherLeadEnd ? " lead end" : " lead head") : "");
    if (partCount > 1) text += " in part " + std::to_string(part);
    return text;
}

bool Composition::leadInFalsePlan(int n) const {
    return std::any_of(planRepeats_.begin(), planRepeats_.end(),
                       [n](const PlanRepeat& r) { return r.lead == n || r.otherLead == n; });
}

std::string Composition::noMethodReason(const std::string& text) {
    if (looksLikeNotation(text)) return "place notation that does not read: " + readNotation(text).reason;
    return "not in the method library" + nameSuggestion(text);
}

std::string Composition::nameSuggestion(const std::string& text) {
    // The file's names are exact; the index of the forms ringers type is
    // built only when a name is missing.
    if (!names_) names_ = std::make_unique<MethodNameIndex>();
    const std::vector<std::string> matches = names_->find(*library_, text);
    if (matches.size() != 1 || matches.front() == text) return {};
    return "; did you mean " + matches.front() + "?";
}

void Composition::reportDroppedMethod(int n, const std::string& text, const std::string& reason) {
    loadReport_.push_back("Lead " + std::to_string(n) + " (" + text + "): " + reason);
}

std::string Composition::trialClashText(const Lead& lead, int n) const {
    std::vector<int> owners;
    for (int array : {Lead::TrialFirst, Lead::TrialSecond})
        for (int i = 0; i < lead.halfLength_ - 1; ++i) {
            const int owner = ownerOf(lead.rowKeys_[static_cast<std::size_t>(array)][static_cast<std::size_t>(i)]);
            if (owner >= 0 && owner != n) owners.push_back(owner);
        }
    std::sort(owners.begin(), owners.end());
    owners.erase(std::unique(owners.begin(), owners.end()), owners.end());
    std::string text;
    std::vector<int> leads;
    for (int owner : owners)
        if (owner == 0)
            text = " against a lead head or lead end";
        else
            leads.push_back(owner);
    if (leads.empty()) return text;
    if (!text.empty()) text += " and";
    text += leads.size() == 1 ? " against lead " : " against leads ";
    for (std::size_t k = 0; k < leads.size(); ++k) {
        if (k > 0) text += k + 1 == leads.size() ? " and " : ", ";
        text += std::to_string(leads[k]);
    }
    return text;
}

void Composition::tryMethodAt(int n, const Method* method) {
    if (!valid(n)) return;
    // Only one lead holds a trial at a time: the figures describe that one.
    if (trialLead_ != n) releaseTrial();
    trialLead_ = n;
    falsenessLead_ = n;
    Lead& lead = *leads_[static_cast<std::size_t>(n - 1)];
    lead.tryMethod(*this, method);
    trialFalseness_.clear();
    lead.collectFalseness(*this, n);
    if (lead.trialRepeat_ != 0) trialFalseness_.set(n, lead.trialRepeat_);
}

void Composition::releaseTrial() {
    if (valid(trialLead_)) {
        Lead& lead = *leads_[static_cast<std::size_t>(trialLead_ - 1)];
        lead.trial_ = nullptr;
        lead.trialGenerated_ = false;
        lead.trialRepeat_ = 0;
    }
    trialLead_ = 0;
}

void Composition::setMethodAt(int n, bool commit) {
    if (valid(n)) leads_[static_cast<std::size_t>(n - 1)]->setMethod(*this, n, commit);
}

int Composition::falsenessScore() const {
    return static_cast<int>(trialFalseness_.size()) + (trialFalseness_.has(0) ? 99 : 0);
}

int falsenessProfile(const TrialFalseness& falseness, int maximum, bool backOff) {
    std::array<long long, 16> c{};
    for (int lead : falseness.leads()) {
        const int weight = lead == 0 ? 99 : 1;
        for (int k = falseness.positionOf(lead); k <= 15; ++k) c[static_cast<std::size_t>(k)] += weight;
    }
    int k = 0;
    while (c[static_cast<std::size_t>(k)] <= maximum && k < 15) ++k;
    if (k == 15 && backOff)
        while (k != 0 && c[static_cast<std::size_t>(k)] != 0 && c[static_cast<std::size_t>(k)] == c[static_cast<std::size_t>(k - 1)]) --k;
    return k;
}

int Composition::falsenessProfile(int maximum, bool backOff) const {
    return quarnel::falsenessProfile(trialFalseness_, maximum, backOff);
}

void Composition::appendFalsenessReport(std::string& out) const {
    if (trialFalseness_.empty()) {
        out += "No falseness detected\r\n";
        return;
    }
    auto number = [&out](int value) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
        out.append(digits, end);
    };
    for (int lead : trialFalseness_.leads()) {
        out += "Row ";
        number(trialFalseness_.positionOf(lead));
        if (lead == 0) {
            out += " false against lh/le\r\n";
        } else if (lead == falsenessLead_) {
            out += " false in its own lead\r\n";
        } else {
            out += " false against ";
            number(lead);
            out += "\r\n";
        }
    }
}

void Composition::writeFalsenessReport(std::ostream& out) const {
    std::string report;
    appendFalsenessReport(report);
    out << report;
}

std::string Composition::falsenessReport() const {
    std::string report;
    appendFalsenessReport(report);
    return report;
}

int Composition::musicScore(int n, MusicTable& table, bool useTrial) const {
    if (n == 0) {
        long long total = 0;
        for (const auto& lead : leads_) total += lead->musicScore(partEnd_, table, false);
        return static_cast<int>(std::clamp<long long>(total, -2000000000LL, 2000000000LL));
    }
    return valid(n) ? leads_[static_cast<std::size_t>(n - 1)]->musicScore(partEnd_, table, useTrial) : 0;
}

Plan Composition::plan() const {
    std::vector<PlannedLead> leads;
    leads.reserve(leads_.size());
    for (const auto& lead : leads_) leads.push_back({lead->code(), lead->call()});
    return Plan(std::move(leads));
}

void Composition::save(std::ostream& out) const {
    if (!composer_.empty()) out << composerLine(composer_) << '\n';
    for (const auto& lead : leads_) out << lead->writeLine();
}

void Composition::exportText(std::ostream& out) const {
    for (const auto& lead : leads_) out << lead->leadHead().toSymbols() << ' ' << lead->writeLine();
    if (!leads_.empty()) out << leads_.back()->nextLeadHead().toSymbols() << '\n';
}

void Composition::writeMicroSirilLine(std::ostream& out, const Lead& lead, bool printing) const {
    if (lead.committed() == nullptr) return;
    if (printing) {
        const char call = lead.callSymbol() == 0 ? ' ' : lead.callSymbol();
        out << ",\"" << lead.code().letter() << ' ';
        if (!lead.name().empty())
            out << lead.name();
        else if (lead.notation().size() > 2)
            out << std::string_view(lead.notation()).substr(2);
        out << "\",\"" << call << "@ \\\"";
        return;
    }
    const std::string notation = lead.committed()->notationText();
    // The lead-end change after its first place, which the "+1" writes.
    out << std::string_view(notation).substr(1) << ",+" << leadEndChangeOf(lead.call(), lead.code().group());
}

void Composition::exportMicroSiril(std::ostream& out) const {
    const long long parts = partCount();
    const std::size_t n = leads_.size();
    out << "8 bells\npeal = ppart";
    if (parts > 1) {
        out << ", ";
        if (parts > 2) out << parts - 1;
        out << "part,\"\",\" " << parts << "-part\"";
    }
    out << "\nppart = \"" << parts * leadLength_ * static_cast<long long>(n) << " Quarnel Major\",\" @ \\\",\n";
    auto list = [&](char letter) {
        for (std::size_t k = 1; k <= n; ++k) {
            if (k > 1) {
                out << ',';
                if ((k - 1) % 10 == 0) out << '\n';
            }
            out << letter << k;
        }
    };
    list('p');
    out << "\npart = ";
    list('m');
    for (std::size_t k = 1; k <= n; ++k) {
        out << "\np" << k << "=m" << k;
        writeMicroSirilLine(out, *leads_[k - 1], true);
        out << "\nm" << k << "=";
        writeMicroSirilLine(out, *leads_[k - 1], false);
    }
}

}  // namespace quarnel
