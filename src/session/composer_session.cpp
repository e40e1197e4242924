#include "session/composer_session.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "composition/layout_reader.h"
#include "composition/layout_text.h"
#include "composition/plan_edit.h"
#include "fill/fill.h"
#include "ringing/lead_head_code.h"
#include "ringing/model_error.h"
#include "ringing/notation_forms.h"
#include "session/sheet.h"

namespace quarnel {

namespace {

// The letter the dialog shows for a lead's code: "*" past the last lead.
char codeLetter(std::optional<LeadHeadCode> code) { return code ? code->letter() : '*'; }

}  // namespace

std::string falsePlanSummary(const Composition& composition) {
    if (!composition.planIsFalse()) return std::string();
    std::string text = "The plan is false: ";
    const auto& repeats = composition.planRepeats();
    // The first three, so that a status or a question stays readable.
    const std::size_t shown = std::min<std::size_t>(repeats.size(), 3);
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) text += "; ";
        text += repeats[i].describe(composition.partCount());
    }
    if (repeats.size() > shown) text += "; and " + std::to_string(repeats.size() - shown) + " more";
    return text;
}

std::string deleteLeadQuestion(int lead) { return "Delete lead " + std::to_string(lead) + "?"; }

ComposerSession::ComposerSession(SessionView& view, const MethodLibrary& library)
    : ComposerSession(view, library, std::make_unique<MajorMethodGenerator>(), nullptr) {}

ComposerSession::ComposerSession(SessionView& view, const MethodLibrary& library, MethodGenerator& generator)
    : ComposerSession(view, library, nullptr, &generator) {}

ComposerSession::ComposerSession(SessionView& view, const MethodLibrary& library, std::unique_ptr<MethodGenerator> own,
                                 MethodGenerator* given)
    : view_(view), library_(library), ownGenerator_(std::move(own)), generator_(given != nullptr ? *given : *ownGenerator_) {
    fields_.statusText.reserve(256);
    fields_.placeNotationText.reserve(64);
    fields_.methodName.reserve(64);
}

ComposerSession::~ComposerSession() {
    view_.showCandidate(nullptr);
    view_.showCommittedMethod(nullptr);
    view_.showComposition(nullptr);
}

std::string ComposerSession::falsePlanReason() const {
    return composition_ ? falsePlanSummary(*composition_) : std::string();
}

bool ComposerSession::refuseFalsePlan() {
    if (!composition_ || !composition_->planIsFalse()) return false;
    fields_.statusText = falsePlanReason() + "\r\n";
    view_.writeControls(fields_);
    return true;
}

void ComposerSession::composeStatus() {
    std::string& status = fields_.statusText;
    status.clear();
    const std::string& notation = fields_.placeNotationText;
    const char code = fields_.leadHeadCodeText.empty() ? '\0' : fields_.leadHeadCodeText[0];
    if (composition_ && composition_->planIsFalse()) status += falsePlanReason() + "\r\n";
    if (const int lead = fields_.leadNumber; lead >= 1 && static_cast<std::size_t>(lead) <= held_.size() &&
                                             !held_[static_cast<std::size_t>(lead - 1)].empty())
        status += "Held aside until true here again: " + held_[static_cast<std::size_t>(lead - 1)] + "\r\n";
    if (notation.empty()) {
        status += "No place notation available\r\n";
    } else if (notation[0] == static_cast<char>(code | 0x60)) {
        status += "Lead-head match\r\n";
        if (composition_) composition_->appendFalsenessReport(status);
    } else {
        status += "Incompatible lead-head order\r\n";
    }
}

void ComposerSession::releaseCandidate() {
    // The composition and the lower diagram only borrow the candidate.
    if (composition_) composition_->releaseTrial();
    view_.showCandidate(nullptr);
    candidate_.reset();
}

void ComposerSession::rebuildCandidate() { rebuildCandidate(nullptr); }

void ComposerSession::rebuildCandidate(const Change* const* generated) {
    // With a composition, refreshFromModel composes the status again for the
    // new candidate; while a search runs nothing shows it in between.
    if (!searching_ || !composition_) composeStatus();
    releaseCandidate();
    const std::string& text = fields_.placeNotationText;
    if (!text.empty()) {
        // The generator's changes make the method its text reads as, unless
        // the text is taken for a library name.
        if (generated != nullptr && library_.notationOf(text).empty())
            candidate_.emplace(text[0], generated, library_);
        else
            candidate_.emplace(text, library_);
    }
    view_.showCandidate(candidate());
    view_.writeControls(fields_);
    refreshFromModel();
}

void ComposerSession::refreshFromModel() {
    if (!composition_) return;
    view_.readControls(fields_);
    const int lead = fields_.leadNumber;
    fields_.leadHeadCodeText.assign(1, codeLetter(composition_->codeAt(lead)));
    view_.showCommittedMethod(composition_->committedMethodAt(lead));
    composition_->tryMethodAt(lead, candidate());
    composeStatus();
    view_.showCurrentLead(lead);
    if (music_) {
        fields_.leadMusic = composition_->musicScore(lead, *music_, false);
        fields_.candidateMusic = composition_->musicScore(lead, *music_, true);
    }
    view_.writeControls(fields_);
}

void ComposerSession::leadChanged() {
    view_.readControls(fields_);
    // An unnamed candidate is not carried to another lead; a named one is.
    // The candidate itself goes with the text, so that the lead is never
    // tried (nor OK given) a method the place-notation field does not show.
    if (fields_.methodName.empty()) {
        fields_.placeNotationText.clear();
        rebuildCandidate();
    } else {
        refreshFromModel();
    }
}

void ComposerSession::nameChanged() {
    view_.readControls(fields_);
    fields_.placeNotationText = library_.notationOf(fields_.methodName);
    std::string note;
    if (fields_.placeNotationText.empty() && !fields_.methodName.empty()) {
        // Place notation typed or pasted as ringers write it is the candidate.
        // The field keeps what was typed while it is being typed (a half-typed
        // lead-end change may already read as another method); Enter shows
        // the library's name for it (applyName).
        const NotationReading typed = readNotation(fields_.methodName);
        if (typed.ok()) {
            fields_.placeNotationText = typed.text;
        } else {
            // What a ringer types: case, spaces and the class word do not count.
            const std::vector<std::string> matches = names_.find(library_, fields_.methodName);
            if (matches.size() == 1) fields_.placeNotationText = library_.notationOf(matches.front());
            note = matches.empty() && looksLikeNotation(fields_.methodName) ? typed.reason
                                                                             : nameMatchNote(fields_.methodName, matches);
        }
    }
    rebuildCandidate();
    if (!note.empty()) {
        fields_.statusText += note + "\r\n";
        view_.writeControls(fields_);
    }
}

void ComposerSession::applyName() {
    nameChanged();
    const std::string& name = library_.nameOf(fields_.placeNotationText);
    if (!name.empty() && name != fields_.methodName) {
        fields_.methodName = name;
        view_.writeControls(fields_);
    }
}

void ComposerSession::clear() {
    fields_.placeNotationText.clear();
    fields_.methodName.clear();
    rebuildCandidate();
}

bool ComposerSession::keepSearching(bool match, bool needName) const {
    if (fields_.placeNotationText.empty()) return false;
    return composition_->falsenessScore() > fields_.maxFalseness || (needName && fields_.methodName.empty()) ||
           (match && fields_.candidateMusic < fields_.leadMusic);
}

SearchResult ComposerSession::search(bool different, bool match) {
    if (!composition_ || searching_) return {};
    view_.readControls(fields_);
    if (refuseFalsePlan()) return {0, SearchEnd::Failed, falsePlanReason()};
    const char code = fields_.leadHeadCodeText.empty() ? '\0' : fields_.leadHeadCodeText[0];
    if (!LeadHeadCode::fromEitherCase(code)) {
        // No lead of the composition has this code (a lead number past the
        // last lead): there is nothing to search for.
        fields_.statusText = "Bad lead end group\r\n";
        view_.writeControls(fields_);
        return {0, SearchEnd::BadLeadEndGroup, "Bad lead end group"};
    }
    view_.beginWait();
    searching_ = true;
    searchStopped_ = false;
    SearchResult result;
    long& tried = result.tried;
    const bool named = fields_.namedOnly && !different && !fields_.rightPlace && !fields_.symmetricSections && !fields_.twoPlaces;
    try {
        tried = named ? searchNamed(match) : searchGenerated(different, match);
    } catch (const ModelError& e) {
        fields_.statusText = std::string(e.what()) + "\r\n";
        result.end = SearchEnd::Failed;
        result.failure = e.what();
    }
    searching_ = false;
    view_.endWait();
    // How the search ended, after what the last candidate shows.
    if (searchStopped_)
        fields_.statusText += "Search stopped after " + std::to_string(tried) + (tried == 1 ? " candidate\r\n" : " candidates\r\n");
    else if (fields_.placeNotationText.empty())
        fields_.statusText += "No further candidate\r\n";
    view_.writeControls(fields_);
    view_.showCurrentLead(fields_.leadNumber);
    return result;
}

long ComposerSession::searchGenerated(bool different, bool match) {
    GeneratorOptions options;
    options.rightPlace = fields_.rightPlace;
    options.symmetricSections = fields_.symmetricSections;
    options.twoPlaces = fields_.twoPlaces;
    options.allowSurprise = fields_.allowSurprise;
    options.allowDelight = fields_.allowDelight;
    options.allowTrebleBob = fields_.allowTrebleBob;
    const char code = fields_.leadHeadCodeText[0];
    long tried = 0;
    do {
        int start = -1;
        if (!fields_.placeNotationText.empty()) {
            // Move on the change that made the first row that is too false.
            // Never below 0 once there is a candidate: -1 would start the
            // enumeration afresh and a search could then never end.
            start = std::max(0, composition_->falsenessProfile(fields_.maxFalseness, different) - 1);
            different = false;
        }
        fields_.placeNotationText = generator_.nextMethod(code, start, options);
        fields_.methodName = library_.nameOf(fields_.placeNotationText);
        view_.writeControls(fields_);
        rebuildCandidate(generator_.halfLeadChanges());
        ++tried;
        if (view_.searchStep()) {
            searchStopped_ = true;
            break;
        }
    } while (keepSearching(match, fields_.namedOnly));
    return tried;
}

long ComposerSession::searchNamed(bool match) {
    const char code = static_cast<char>(fields_.leadHeadCodeText[0] | 0x60);
    if (fields_.placeNotationText.empty()) fields_.placeNotationText.assign(1, code);
    long tried = 0;
    do {
        fields_.placeNotationText = library_.nextNamed(fields_.placeNotationText, code, fields_.allowSurprise,
                                                       fields_.allowDelight, fields_.allowTrebleBob);
        fields_.methodName = library_.nameOf(fields_.placeNotationText);
        view_.writeControls(fields_);
        rebuildCandidate();
        ++tried;
        if (view_.searchStep()) {
            searchStopped_ = true;
            break;
        }
    } while (keepSearching(match, false));
    return tried;
}

void ComposerSession::ok() {
    if (refuseFalsePlan()) return;
    const int lead = fields_.leadNumber;
    if (composition_ && composition_->notFalseAgainst(0) && composition_->trialMatchesAt(lead) &&
        composition_->notFalseAgainst(lead)) {
        const int leads = static_cast<int>(composition_->leadCount());
        for (int i = 1; i <= leads; ++i)
            if (i != lead && !composition_->notFalseAgainst(i) && !view_.confirm(deleteLeadQuestion(i))) return;
        const MethodsSnapshot before = snapshotMethods();
        for (int i = 1; i <= leads; ++i)
            if (i != lead && !composition_->notFalseAgainst(i)) composition_->setMethodAt(i, false);
        composition_->setMethodAt(lead, true);
        dropHeldWhereCommitted();
        if (music_) fields_.totalMusic = composition_->musicScore(0, *music_, false);
        refreshFromModel();
        recordMethodsChange("OK", before);
        return;
    }
    refreshFromModel();
}

MethodsSnapshot ComposerSession::snapshotMethods() const {
    MethodsSnapshot snapshot;
    if (!composition_) return snapshot;
    const int leads = static_cast<int>(composition_->leadCount());
    snapshot.notations.reserve(static_cast<std::size_t>(leads));
    for (int i = 1; i <= leads; ++i) {
        const Method* m = composition_->committedMethodAt(i);
        snapshot.notations.push_back(m ? m->notationText() : std::string());
    }
    snapshot.held = held_;
    return snapshot;
}

void ComposerSession::recordMethodsChange(const std::string& label, const MethodsSnapshot& before) {
    CompositionChange change;
    change.kind = CompositionChange::Kind::Methods;
    change.label = label;
    change.methodsBefore = before;
    dropHeldWhereCommitted();
    change.methodsAfter = snapshotMethods();
    if (change.methodsAfter == before) return;
    view_.recordChange(change);
    view_.compositionChanged();
}

void ComposerSession::restoreMethods(const MethodsSnapshot& snapshot) {
    if (!composition_ || snapshot.notations.size() != composition_->leadCount() || searching_) return;
    const MethodsSnapshot present = snapshotMethods();
    const int leads = static_cast<int>(composition_->leadCount());
    composition_->releaseTrial();
    // Every lead that changes loses its method first, so that the methods
    // coming back find their rows free.
    for (int i = 1; i <= leads; ++i)
        if (present.notations[static_cast<std::size_t>(i - 1)] != snapshot.notations[static_cast<std::size_t>(i - 1)])
            composition_->setMethodAt(i, false);
    for (int i = 1; i <= leads; ++i) {
        const std::string& notation = snapshot.notations[static_cast<std::size_t>(i - 1)];
        if (notation.empty() || notation == present.notations[static_cast<std::size_t>(i - 1)]) continue;
        const MajorMethod method(notation, library_);
        composition_->tryMethodAt(i, &method);
        composition_->setMethodAt(i, true);
        composition_->releaseTrial();
    }
    held_ = snapshot.held;
    held_.resize(composition_->leadCount());
    if (music_) fields_.totalMusic = composition_->musicScore(0, *music_, false);
    refreshFromModel();
    view_.compositionChanged();
}

void ComposerSession::dropHeldWhereCommitted() {
    if (!composition_) return;
    held_.resize(composition_->leadCount());
    for (std::size_t i = 0; i < held_.size(); ++i)
        if (composition_->committedMethodAt(static_cast<int>(i + 1)) != nullptr) held_[i].clear();
}

std::string ComposerSession::notationOfText(const std::string& text) const {
    if (text.empty()) return std::string();
    // As a lead line reads its method: a library name, or place notation.
    std::string notation = library_.notationOf(text);
    if (notation.empty())
        if (NotationReading reading = readNotation(text); reading.ok()) notation = std::move(reading.text);
    return notation;
}

std::vector<std::string> ComposerSession::heldAfterRead(const Composition& composition, const std::string& working) const {
    std::vector<std::string> held(composition.leadCount());
    std::vector<std::string> methods = methodTexts(working);
    if (methods.size() != held.size()) return held;
    for (std::size_t i = 0; i < held.size(); ++i)
        if (composition.committedMethodAt(static_cast<int>(i + 1)) == nullptr && !notationOfText(methods[i]).empty())
            held[i] = std::move(methods[i]);
    return held;
}

void ComposerSession::returnHeldMethods(Composition& composition, const std::vector<std::string>& held) const {
    const int leads = static_cast<int>(std::min(held.size(), composition.leadCount()));
    for (int i = 1; i <= leads; ++i) {
        const std::string notation = notationOfText(held[static_cast<std::size_t>(i - 1)]);
        if (notation.empty() || composition.committedMethodAt(i) != nullptr) continue;
        const MajorMethod method(notation, library_);
        composition.tryMethodAt(i, &method);
        // A commit that clashes leaves the lead as it was, without a method.
        if (composition.trialMatchesAt(i) && composition.notFalseAgainst(i)) composition.setMethodAt(i, true);
        composition.releaseTrial();
    }
}

std::string ComposerSession::workingText() const { return withMethodsWhereNone(saveText(), held_); }

LoadSnapshot ComposerSession::snapshotLoad() const {
    LoadSnapshot snapshot;
    snapshot.loaded = composition_ != nullptr;
    snapshot.text = saveText();
    snapshot.held = held_;
    snapshot.fileName = compositionFileName_;
    snapshot.savedText = savedText_;
    return snapshot;
}

void ComposerSession::recordLoad(const LoadSnapshot& before, const std::string& label) {
    CompositionChange change;
    change.kind = CompositionChange::Kind::Load;
    change.label = label;
    change.loadBefore = before;
    change.loadAfter = snapshotLoad();
    if (before.loaded || change.loadAfter.loaded) view_.recordChange(change);
    view_.compositionChanged();
}

void ComposerSession::restoreLoad(const LoadSnapshot& snapshot) {
    if (searching_) return;
    releaseComposition();
    compositionFileName_ = snapshot.fileName;
    savedText_ = snapshot.savedText;
    if (snapshot.loaded) {
        std::istringstream in(snapshot.text);
        try {
            installComposition(readComposition(in, MajorMethod::HalfLength, library_, PlanRepeats::Record), snapshot.held);
        } catch (const ModelError& e) {
            view_.showMessage(std::string("Load abandoned: ") + e.describe(), SessionView::MessageKind::Error);
        }
    }
    view_.compositionChanged();
}

std::string ComposerSession::saveText() const {
    if (!composition_) return std::string();
    std::ostringstream out;
    composition_->save(out);
    return out.str();
}

bool ComposerSession::confirmDiscardChanges() {
    if (searching_) return false;
    if (!hasUnsavedChanges()) return true;
    switch (view_.askSaveChanges(kSaveChangesQuestion)) {
    case SessionView::SaveChoice::Save:
        save();
        return !hasUnsavedChanges();
    case SessionView::SaveChoice::Discard:
        return true;
    case SessionView::SaveChoice::Cancel:
        break;
    }
    return false;
}

bool ComposerSession::takeFill(const std::vector<std::pair<int, std::string>>& methods) {
    if (!composition_ || searching_ || refuseFalsePlan()) return false;
    const MethodsSnapshot before = snapshotMethods();
    releaseCandidate();
    const bool taken = fill::applyFill(*composition_, library_, methods) == 0;
    dropHeldWhereCommitted();
    if (music_) fields_.totalMusic = composition_->musicScore(0, *music_, false);
    // The fill tried its own methods: the candidate the place-notation field
    // shows is built and tried again, so that the two still agree.
    rebuildCandidate();
    recordMethodsChange("Fill", before);
    return taken;
}

void ComposerSession::releaseComposition() {
    view_.showComposition(nullptr);
    view_.showCommittedMethod(nullptr);
    composition_.reset();
    held_.clear();
}

void ComposerSession::load() {
    if (!confirmDiscardChanges()) return;
    const auto path = view_.chooseFile(SessionView::FileDialog::Open, "txt", compositionFileName_, "Open composition");
    if (!path) return;
    loadFile(*path);
}

bool ComposerSession::loadFile(const std::string& path) {
    const LoadSnapshot before = snapshotLoad();
    compositionFileName_ = path;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        view_.showMessage("Cannot open \"" + path + "\". Nothing was loaded.", SessionView::MessageKind::Error);
        return false;
    }
    std::ostringstream contents;
    contents << file.rdbuf();
    const std::string fileText = contents.str();
    std::istringstream in(fileText);
    std::unique_ptr<Composition> read;
    try {
        read = readComposition(in, MajorMethod::HalfLength, library_, PlanRepeats::Record);
        // Lead heads or lead ends that repeat: opened as a false plan only
        // when the composer says so; otherwise read as before, to be refused.
        if (read->planIsFalse() &&
            !view_.confirm(falsePlanSummary(*read) + ".\nOpen it as a false plan?")) {
            in.clear();
            in.seekg(0);
            read = readComposition(in, MajorMethod::HalfLength, library_);
        }
    } catch (const ModelError& e) {
        releaseComposition();
        savedText_.clear();
        view_.showMessage(std::string("Load abandoned: ") + e.describe(), SessionView::MessageKind::Error);
        recordLoad(before);
        return false;
    }
    if (read->leadCount() == 0) {
        // Not a composition (binary junk, a README): the present one stays.
        compositionFileName_ = before.fileName;
        view_.showMessage("Load abandoned: no lead lines in " + path, SessionView::MessageKind::Error);
        return false;
    }
    std::vector<std::string> held = heldAfterRead(*read, fileText);
    installComposition(std::move(read), std::move(held));
    // The file as it is: when leads lost their methods, Save would write
    // something else, and the composition shows as changed.
    savedText_ = composition_->loadReport().empty() ? saveText() : fileText;
    recordLoad(before);
    reportLostMethods();
    return true;
}

void ComposerSession::loadComposition(std::unique_ptr<Composition> composition) {
    const LoadSnapshot before = snapshotLoad();
    installComposition(std::move(composition));
    savedText_ = saveText();
    recordLoad(before);
}

void ComposerSession::reportLostMethods(bool held) {
    if (!composition_) return;
    const auto& report = composition_->loadReport();
    if (report.empty()) return;
    std::string text = report.size() == 1 ? "One lead lost its method:" : std::to_string(report.size()) + " leads lost their methods:";
    for (const std::string& line : report) text += "\n" + line;
    if (held)
        text += report.size() == 1 ? "\nIt is held aside and comes back when an edit makes it true in its lead again."
                                   : "\nThey are held aside, each coming back when an edit makes it true in its lead again.";
    view_.showMessage(text, SessionView::MessageKind::Warning);
}

bool ComposerSession::applyPlanEdit(const std::string& label, const std::function<std::string(std::string_view)>& edit,
                                    int lead) {
    return applyPlanText(label, edit(saveText()), methodTexts(edit(workingText())), lead);
}

bool ComposerSession::applyPlanText(const std::string& label, const std::string& text, const std::vector<std::string>& held,
                                    int lead) {
    if (searching_) return false;
    if (composition_ && text == saveText() && withMethodsWhereNone(text, held) == workingText()) return false;
    const LoadSnapshot before = snapshotLoad();
    std::unique_ptr<Composition> read;
    try {
        std::istringstream in(text);
        read = readComposition(in, MajorMethod::HalfLength, library_, PlanRepeats::Record);
    } catch (const ModelError& e) {
        view_.showMessage(label + " not made: " + e.describe(), SessionView::MessageKind::Warning);
        return false;
    }
    // The leads' present methods first (read with the text), then the
    // methods held aside, each where it is true again.
    const std::string working = withMethodsWhereNone(text, held);
    returnHeldMethods(*read, held);
    std::vector<std::string> stillHeld = heldAfterRead(*read, working);
    const int leads = static_cast<int>(read->leadCount());
    fields_.leadNumber = std::clamp(lead, 1, std::max(1, leads));
    installComposition(std::move(read), std::move(stillHeld));
    recordLoad(before, label);
    reportLostMethods(true);
    return true;
}

bool ComposerSession::newComposition(const std::string& method, bool changesSettled) {
    if (searching_) return false;
    std::string text;
    if (!method.empty()) {
        // The method as the name field reads it: a library name, notation as
        // ringers write it, or the one library method a ringer's spelling names.
        std::string notation = library_.notationOf(method);
        if (notation.empty()) {
            if (const NotationReading typed = readNotation(method); typed.ok()) {
                notation = typed.text;
            } else {
                const std::vector<std::string> matches = names_.find(library_, method);
                if (matches.size() == 1) notation = library_.notationOf(matches.front());
            }
        }
        const std::optional<LeadHeadCode> code = notation.empty() ? std::nullopt : LeadHeadCode::fromEitherCase(notation[0]);
        if (!code) {
            view_.showMessage("New: \"" + method + "\" is no method of the library and no place notation.",
                              SessionView::MessageKind::Warning);
            return false;
        }
        const std::string& name = library_.nameOf(notation);
        text = plainCourseText(*code, name.empty() ? notation : name);
    }
    if (!changesSettled && !confirmDiscardChanges()) return false;
    const LoadSnapshot before = snapshotLoad();
    std::istringstream in(text);
    std::unique_ptr<Composition> made = readComposition(in, MajorMethod::HalfLength, library_);
    compositionFileName_ = "untitled.txt";
    savedText_.clear();
    fields_.leadNumber = 1;
    installComposition(std::move(made));
    recordLoad(before, "New");
    reportLostMethods();
    return true;
}

bool ComposerSession::useComposition(const std::string& fileText) {
    if (searching_) return false;
    std::unique_ptr<Composition> read;
    try {
        std::istringstream in(fileText);
        read = readComposition(in, MajorMethod::HalfLength, library_);
    } catch (const ModelError& e) {
        view_.showMessage("Compose: the composition was not used: " + e.describe(), SessionView::MessageKind::Error);
        return false;
    }
    if (read->leadCount() == 0) {
        view_.showMessage("Compose: the composition was not used: it has no leads", SessionView::MessageKind::Error);
        return false;
    }
    // Asked after the text has read, so that a composition that cannot be
    // used never costs the composer a save.
    if (!confirmDiscardChanges()) return false;
    const LoadSnapshot before = snapshotLoad();
    compositionFileName_ = "untitled.txt";
    savedText_.clear();
    fields_.leadNumber = 1;
    installComposition(std::move(read));
    recordLoad(before, "Compose");
    reportLostMethods();
    return true;
}

std::string ComposerSession::callingText() const {
    return composition_ ? layoutText(*composition_, library_, false) : std::string();
}

bool ComposerSession::applyCalling(const std::string& text, const std::string& label, std::string& why) {
    if (searching_) return false;
    std::string planned;
    try {
        planned = readLayout(text, library_);
    } catch (const ModelError& e) {
        why = e.describe();
        return false;
    }
    if (planLines(planned).empty()) {
        why = "no leads in the calling";
        return false;
    }
    view_.readControls(fields_);
    why.clear();
    if (composition_ && planned == saveText()) return true;
    return applyPlanText(label, planned, {}, fields_.leadNumber);
}

bool ComposerSession::setCall(Call call) {
    if (!composition_) return false;
    view_.readControls(fields_);
    const int lead = fields_.leadNumber;
    if (composition_->callAt(lead) == call) return false;
    const char* label = call == Call::Bob ? "Bob" : call == Call::Single ? "Single" : "Plain";
    return applyPlanEdit(label, [&](std::string_view text) { return withCall(text, lead, call); }, lead);
}

bool ComposerSession::insertLead() {
    view_.readControls(fields_);
    const int leads = composition_ ? static_cast<int>(composition_->leadCount()) : 0;
    const int lead = std::min(fields_.leadNumber, leads);
    // A first lead takes the code the code field shows, or B (the code of a
    // plain course of Cambridge and Yorkshire).
    const LeadHeadCode code = LeadHeadCode::fromEitherCase(fields_.leadHeadCodeText.empty() ? '*' : fields_.leadHeadCodeText[0])
                                  .value_or(*LeadHeadCode::fromLetter('B'));
    return applyPlanEdit("Insert lead", [&](std::string_view text) { return withLeadInserted(text, lead, code); }, lead + 1);
}

bool ComposerSession::deleteLead() {
    if (!composition_) return false;
    view_.readControls(fields_);
    const int lead = fields_.leadNumber;
    if (!composition_->leadAt(lead)) return false;
    return applyPlanEdit("Delete lead", [&](std::string_view text) { return withLeadDeleted(text, lead); }, lead);
}

bool ComposerSession::setCode(char letter) {
    if (!composition_) return false;
    view_.readControls(fields_);
    const int lead = fields_.leadNumber;
    const std::optional<LeadHeadCode> code = LeadHeadCode::fromEitherCase(letter);
    if (!code || !composition_->leadAt(lead) || composition_->codeAt(lead) == code) return false;
    return applyPlanEdit(std::string("Code ") + code->letter(),
                         [&](std::string_view text) { return withCode(text, lead, *code); }, lead);
}

bool ComposerSession::putInWithItsCode() {
    if (!composition_ || searching_) return false;
    view_.readControls(fields_);
    const int lead = fields_.leadNumber;
    const Method* method = candidate();
    if (!composition_->leadAt(lead) || method == nullptr || !method->hasNotation()) {
        fields_.statusText = "No place notation available\r\n";
        view_.writeControls(fields_);
        return false;
    }
    const std::string notation = method->notationText();
    const std::optional<LeadHeadCode> code = LeadHeadCode::fromEitherCase(notation.empty() ? '*' : notation[0]);
    if (!code) return false;
    if (code == composition_->codeAt(lead)) {
        // Of the lead's own code: what OK does.
        const MethodsSnapshot before = snapshotMethods();
        ok();
        return snapshotMethods() != before;
    }
    const int leads = static_cast<int>(composition_->leadCount());
    if (!view_.confirm(codeChangeQuestion(lead, leads, *code) + "?")) return false;
    const std::string& name = library_.nameOf(notation);
    const std::string put = name.empty() ? notation : name;
    return applyPlanEdit("Put in with its code", [&](std::string_view text) { return withMethod(text, lead, *code, put); }, lead);
}

void ComposerSession::installComposition(std::unique_ptr<Composition> composition, std::vector<std::string> held) {
    releaseComposition();
    composition_ = std::move(composition);
    held_ = std::move(held);
    held_.resize(composition_->leadCount());
    dropHeldWhereCommitted();
    fields_.leadHeadCodeText.assign(1, codeLetter(composition_->codeAt(fields_.leadNumber)));
    view_.setLeadRange(static_cast<int>(composition_->leadCount()), 1);
    view_.showComposition(composition_.get());
    if (music_) fields_.totalMusic = composition_->musicScore(0, *music_, false);
    view_.writeControls(fields_);
    leadChanged();
}

bool ComposerSession::writeFile(const std::string& path, void (Composition::*writer)(std::ostream&) const) {
    // Written beside the file and put in its place only when complete, so
    // that a failed write never leaves a damaged file behind.
    const std::string temporary = path + ".quarnel-new";
    bool written = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            if (composition_) (composition_.get()->*writer)(out);
            out.flush();
            written = static_cast<bool>(out);
        }
    }
    std::error_code error;
    if (written) std::filesystem::rename(temporary, path, error);
    if (!written || error) {
        std::filesystem::remove(temporary, error);
        view_.showMessage("Cannot write \"" + path + "\". The file was not saved.", SessionView::MessageKind::Error);
        return false;
    }
    return true;
}

bool ComposerSession::saveAs(std::string_view extension, std::string& rememberedName,
                             void (Composition::*writer)(std::ostream&) const, std::string_view title) {
    const auto path = view_.chooseFile(SessionView::FileDialog::Save, extension, rememberedName, title);
    if (!path) return false;
    // The document takes the name only once the file is written: a save
    // that fails (a missing folder) leaves it as it was.
    if (!writeFile(*path, writer)) return false;
    rememberedName = *path;
    return true;
}

std::string ComposerSession::heldNotSavedReason() const {
    std::vector<std::string> held;
    for (std::size_t i = 0; i < held_.size(); ++i)
        if (!held_[i].empty()) held.push_back("lead " + std::to_string(i + 1) + "'s " + held_[i]);
    if (held.empty()) return std::string();
    std::string text;
    for (std::size_t i = 0; i < held.size(); ++i) {
        if (i > 0) text += i + 1 == held.size() ? " and " : ", ";
        text += held[i];
    }
    text[0] = 'L';
    return text + (held.size() == 1 ? " is" : " are") + " held aside and not saved";
}

void ComposerSession::save() {
    // A false plan, or methods held aside, are put to the composer first:
    // the file keeps the plan as it stands and only the methods in use.
    std::string question;
    if (composition_ && composition_->planIsFalse()) question = falsePlanReason() + ". ";
    if (const std::string held = heldNotSavedReason(); composition_ && !held.empty()) question += held + ". ";
    if (!question.empty() && !view_.confirm(question + "Save anyway?")) return;
    const std::string text = saveText();
    if (saveAs("txt", compositionFileName_, &Composition::save, "Save composition")) {
        savedText_ = text;
        view_.compositionChanged();
    }
}
void ComposerSession::exportText() { saveAs("txt", exportFileName_, &Composition::exportText, "Export lead heads"); }
void ComposerSession::exportMicroSiril() {
    saveAs("maj", microSirilFileName_, &Composition::exportMicroSiril, "Export MicroSiril file");
}

std::string ComposerSession::noSheetReason() const {
    if (!composition_) return "No composition loaded: load one, or make one with New";
    if (composition_->leadCount() == 0)
        return "No composition in " + std::filesystem::path(compositionFileName_).filename().string() + ": it has no leads";
    return std::string();
}

std::vector<Page> ComposerSession::sheet(PaperSize paper) {
    if (const std::string why = noSheetReason(); !why.empty()) {
        view_.showMessage(why, SessionView::MessageKind::Warning);
        return {};
    }
    return compositionSheet(*composition_, library_, musicTable(), {paper, ""});
}

bool ComposerSession::exportSheet(const PageFileWriter& write) {
    if (const std::string why = noSheetReason(); !why.empty()) {
        view_.showMessage(why, SessionView::MessageKind::Warning);
        return false;
    }
    // The composition's name as a PDF, in the folder of the last sheet
    // written, or else beside the composition.
    namespace fs = std::filesystem;
    const fs::path composition(compositionFileName_);
    const fs::path folder = !sheetFileName_.empty() ? fs::path(sheetFileName_).parent_path() : composition.parent_path();
    const std::string offered = (folder / composition.filename().replace_extension(".pdf")).string();
    const auto path = view_.chooseFile(SessionView::FileDialog::Save, "pdf", offered, "Export PDF");
    if (!path) return false;
    const std::string failure = write(sheet(A4), *path);
    if (!failure.empty()) {
        view_.showMessage(failure, SessionView::MessageKind::Error);
        return false;
    }
    sheetFileName_ = *path;
    return true;
}

void ComposerSession::music() {
    const auto path = view_.chooseFile(SessionView::FileDialog::Open, "mus", "major.mus", "Open music file");
    if (!path) return;
    loadMusicFile(*path);
}

bool ComposerSession::loadMusicFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        view_.showMessage("Cannot open \"" + path + "\". The music table was not changed.", SessionView::MessageKind::Error);
        return false;
    }
    std::vector<std::string> unread;
    MusicTable table = MusicTable::read(in, &unread);
    if (table.definitions().empty()) {
        // Nothing to score with: keep the table there is.
        view_.showMessage("\"" + path + "\" holds no music definitions. The music table was not changed.");
        return false;
    }
    music_.reset();
    music_.emplace(std::move(table));
    if (composition_) fields_.totalMusic = composition_->musicScore(0, *music_, false);
    refreshFromModel();
    if (!unread.empty()) {
        // Loaded all the same, as Load does with the methods it drops.
        std::string text = "\"" + path + "\": " + (unread.size() == 1 ? std::string("one part was not read:")
                                                                       : std::to_string(unread.size()) + " parts were not read:");
        for (const std::string& line : unread) text += "\n" + line;
        view_.showMessage(text, SessionView::MessageKind::Warning);
    }
    return true;
}

}  // namespace quarnel
