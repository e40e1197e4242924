#pragma once
// The composition being worked on: one part, written as a list of leads, rung
// again and again until rounds comes back. Each lead has its lead-head code
// (which fixes its lead-end row), its call at the lead end and the method
// committed to it; a candidate method may be tried on one lead at a time.
// Lead numbers count from 1; lead 0 stands for the whole composition in
// music and for the lead heads and lead ends in falseness. Operations given
// a lead number outside 1 to leadCount() return a neutral value.
//
// The composition owns its part end (the row after the last lead of the
// part), fixed when it is read: every key it holds is a key under that part
// end, and two compositions of different part ends can be worked on at once.
//
// The register (falseRows) always holds every lead head and lead end and
// every row of every committed method, each row once over all parts: a
// composition is true exactly while committing never fails.
#include <array>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "composition/falseness.h"
#include "composition/plan.h"
#include "methods/method_library.h"
#include "methods/name_matching.h"
#include "ringing/call.h"
#include "ringing/lead_head_code.h"
#include "ringing/method.h"
#include "ringing/part_end.h"
#include "ringing/row.h"

namespace quarnel {

class Composition;
class MusicTable;

// What reading does with a plan whose lead heads or lead ends repeat (within
// the part or across parts): refuse it ("Attempt to insert false row"), or
// read it as a false plan, each repeat recorded and each row registered once.
enum class PlanRepeats { Refuse, Record };

// A lead head or lead end of a false plan that another lead (or the same
// lead in another part) rings too: lead's row is otherLead's in part.
struct PlanRepeat {
    int lead = 0;
    bool leadEnd = false;  // the lead end repeats (otherwise the lead head)
    Row row;
    int otherLead = 0;
    bool otherLeadEnd = false;
    int part = 1;  // from 1: the part of the other lead's row
    // "Lead 7's lead head 15738264 is lead 3's in part 2" (", in part N"
    // only with more than one part; "lead end" for lead ends).
    std::string describe(int partCount) const;
};

class Lead {
public:
    // Builds the lead of a composition-file line that starts at the running
    // row, and steps the running row on to the next lead head. Throws
    // ModelError "Bad lead end group" for a code with no lead-end row.
    Lead(std::string_view line, Row& running, int halfLength, const MethodLibrary& library);

    LeadHeadCode code() const { return code_; }
    Call call() const { return callOfSymbol(callSymbol_); }
    // The second character of the line as written ("-" bob, "s" single,
    // anything else plain), or 0 for a line of the code alone: Save writes a
    // plain lead back with the character its line had.
    char callSymbol() const { return callSymbol_; }
    const Row& leadHead() const { return leadHead_; }
    const Row& leadEnd() const { return leadEnd_; }
    Row nextLeadHead() const;
    const Method* committed() const { return committed_.get(); }
    const Method* trial() const { return trial_; }
    const std::string& name() const { return name_; }
    const std::string& notation() const { return notation_; }

    // The composition-file line with its line end.
    std::string writeLine() const;
    // The lead head (with its leading blank), a space and the file line.
    std::string displayLine() const;

    bool trialMatches() const;

private:
    friend class Composition;
    friend std::unique_ptr<Composition> readComposition(std::istream& in, int halfLength, const MethodLibrary& library,
                                                        PlanRepeats repeats);
    enum KeyArray { CommittedFirst = 0, CommittedSecond = 1, TrialFirst = 2, TrialSecond = 3 };

    void attach(Composition& composition, int number);
    bool tryMethod(Composition& composition, const Method* method);
    void setMethod(Composition& composition, int number, bool commit);
    void collectFalseness(Composition& composition, int number) const;
    int musicScore(const PartEnd& partEnd, MusicTable& table, bool useTrial) const;

    char callSymbol_ = 0;
    Row leadHead_;
    LeadHeadCode code_;
    std::unique_ptr<Method> committed_;
    const Method* trial_ = nullptr;
    int halfLength_ = 16;
    std::array<std::array<RowKey, MaxHalfLength>, 4> rowKeys_{};
    // The rowIndex of every key of rowKeys_, and of the lead head and lead end.
    std::array<std::array<std::uint16_t, MaxHalfLength>, 4> rowIndexes_{};
    std::uint16_t leadHeadIndex_ = 0;
    std::uint16_t leadEndIndex_ = 0;
    Row leadEnd_;
    std::string name_;
    std::string notation_;
    const MethodLibrary* library_;
    RowKey leadHeadKey_{};
    RowKey leadEndKey_{};
    bool trialGenerated_ = false;
    // The lead head and lead end are in the register already (read with
    // PlanRepeats::Record, where they go in before any method).
    bool endsRegistered_ = false;
    // The first row position at which the trial rings a row of its own lead
    // twice; 0 when it rings none twice.
    int trialRepeat_ = 0;
    // The line of the composition file the lead was read from (from 1).
    int line_ = 0;
    // The music of the committed method (musicScore without the trial) as
    // last scored, with the table's id it was scored with (the part end is
    // the composition's, which never changes); table 0 when there is none to
    // reuse. Forgotten whenever the committed method changes.
    mutable int committedMusic_ = 0;
    mutable std::uint64_t committedMusicTable_ = 0;
};

class Composition {
public:
    Composition(const Composition&) = delete;
    Composition& operator=(const Composition&) = delete;
    ~Composition();

    // Reads a composition file. Throws ModelError ("Attempt to insert false
    // row", "Bad lead end group") when it cannot be read. The part end is
    // the row the last lead leads to.
    // With PlanRepeats::Record, a plan whose lead heads or lead ends repeat
    // is read as a false plan (planRepeats) instead.
    friend std::unique_ptr<Composition> readComposition(std::istream& in, int halfLength, const MethodLibrary& library,
                                                        PlanRepeats repeats);
    // The lead heads and lead ends of a false plan that repeat, in lead
    // order; empty for a true plan.
    const std::vector<PlanRepeat>& planRepeats() const { return planRepeats_; }
    bool planIsFalse() const { return !planRepeats_.empty(); }
    // The composer its file names ("Composed by A. B. Smith" or "Composer:
    // A. B. Smith", see composition/composer_line.h); empty when it names
    // none. Save writes the line back above the leads.
    const std::string& composer() const { return composer_; }
    // Whether lead n's lead head or lead end repeats, or repeats one of its.
    bool leadInFalsePlan(int n) const;

    std::size_t leadCount() const { return leads_.size(); }
    const PartEnd& partEnd() const { return partEnd_; }
    int partCount() const { return partEnd_.count(); }
    int leadLength() const { return leadLength_; }
    const Lead* leadAt(int n) const { return valid(n) ? leads_[static_cast<std::size_t>(n - 1)].get() : nullptr; }
    std::optional<LeadHeadCode> codeAt(int n) const { return valid(n) ? std::optional(leadAt(n)->code()) : std::nullopt; }
    std::optional<Call> callAt(int n) const { return valid(n) ? std::optional(leadAt(n)->call()) : std::nullopt; }
    // The codes and calls of the leads, with the lead heads and part end they make.
    Plan plan() const;
    const Method* committedMethodAt(int n) const { return valid(n) ? leadAt(n)->committed() : nullptr; }
    std::string displayLine(int n) const { return valid(n) ? leadAt(n)->displayLine() : std::string(); }
    bool trialMatchesAt(int n) const { return valid(n) && leadAt(n)->trialMatches(); }

    // Makes the method (not owned; may be none) the trial of lead n and
    // records which leads it is false against. A trial that rings a row of
    // its own lead twice is recorded as false against lead n itself.
    void tryMethodAt(int n, const Method* method);
    // Removes lead n's committed method and, with commit, commits its trial;
    // a commit that clashes leaves the lead without a method and the register
    // as it was apart from that removal.
    void setMethodAt(int n, bool commit);
    // Takes the trial method away from the lead that last had one (its owner
    // is about to release it); the falseness figures stay as they are.
    void releaseTrial();

    bool notFalseAgainst(int lead) const { return !trialFalseness_.has(lead); }
    int falsenessScore() const;
    // The first row position (0 to 15) at which the trial's weighted
    // falseness exceeds the maximum; with back-off, the last increase before.
    int falsenessProfile(int maximum, bool backOff) const;
    // "No falseness detected" or one line a clashing lead; "\r\n" line ends.
    void writeFalsenessReport(std::ostream& out) const;
    std::string falsenessReport() const;
    // Appends the report to a text, reusing its storage.
    void appendFalsenessReport(std::string& out) const;
    const TrialFalseness& trialFalseness() const { return trialFalseness_; }

    // The music of lead n (0: the whole composition with committed methods).
    int musicScore(int n, MusicTable& table, bool useTrial) const;

    void save(std::ostream& out) const;
    void exportText(std::ostream& out) const;
    void exportMicroSiril(std::ostream& out) const;

    // The register, for the lead operations and for inspection.
    void insertRow(RowKey key, int lead) { falseRows_.insertRow(key, lead); }
    void eraseRow(RowKey key, int lead) { falseRows_.eraseRow(key, lead); }
    void eraseLeadRows(int lead) { falseRows_.eraseLeadRows(lead); }
    int ownerOf(RowKey key) const { return falseRows_.ownerOf(key); }
    const FalseRowTable& falseRows() const { return falseRows_; }

    // Why leads lost the method their file line gave them when the file was
    // read, one line a lead in lead order, e.g. "Lead 6 (As Lancashire S):
    // false against leads 2 and 5". Empty when every method was committed.
    const std::vector<std::string>& loadReport() const { return loadReport_; }

private:
    friend class Lead;
    Composition(int halfLength, const MethodLibrary& library);
    bool valid(int n) const { return n >= 1 && static_cast<std::size_t>(n) <= leads_.size(); }
    void writeMicroSirilLine(std::ostream& out, const Lead& lead, bool printing) const;

    PartEnd partEnd_;
    // Marks the rows of one trial lead, to find a row it rings twice.
    RowStamps stamps_;
    TrialFalseness trialFalseness_;
    FalseRowTable falseRows_;
    std::vector<std::unique_ptr<Lead>> leads_;
    int leadLength_ = 32;
    int halfLength_ = 16;
    const MethodLibrary* library_;
    int trialLead_ = 0;  // the lead whose trial was set last; 0 for none
    int falsenessLead_ = 0;  // the lead the falseness figures describe
    std::vector<std::string> loadReport_;
    std::vector<PlanRepeat> planRepeats_;
    std::string composer_;

    // Why a lead line's method text gives no method: the reason its place
    // notation does not read, or "not in the method library" with a
    // suggestion for a name.
    std::string noMethodReason(const std::string& text);
    // "; did you mean NAME?" when the text is no library name but names
    // exactly one method as a ringer types it; empty otherwise.
    std::string nameSuggestion(const std::string& text);
    std::unique_ptr<MethodNameIndex> names_;

    // The lead (from 1), part (from 1) and end of an earlier lead head or
    // lead end (leads before n) or of lead n's head whose key is the key.
    PlanRepeat findRepeat(int n, bool leadEnd, const Row& row, RowKey key) const;
    // Records why lead n did not keep the method text of its file line.
    void reportDroppedMethod(int n, const std::string& text, const std::string& reason);
    // The leads (0: lead heads and lead ends) that rows of lead n's trial
    // are registered under, other than n itself, as " against ..." text.
    std::string trialClashText(const Lead& lead, int n) const;
};

std::unique_ptr<Composition> readComposition(std::istream& in, int halfLength = 16,
                                             const MethodLibrary& library = MethodLibrary::instance(),
                                             PlanRepeats repeats = PlanRepeats::Refuse);

}  // namespace quarnel
