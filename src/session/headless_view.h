#pragma once
// A window that is not there: for running the session's commands from the
// command line. Messages go to a stream; file dialogs and questions are
// answered no; searches are never interrupted.
#include <ostream>

#include "session/session_view.h"

namespace quarnel {

class HeadlessView : public SessionView {
public:
    explicit HeadlessView(std::ostream& messages) : messages_(messages) {}

    void readControls(DialogFields&) override {}
    void writeControls(const DialogFields&) override {}
    std::optional<std::string> chooseFile(FileDialog, std::string_view, const std::string&, std::string_view) override {
        return std::nullopt;
    }
    void showMessage(const std::string& text, MessageKind) override { messages_ << text << "\n"; }
    SaveChoice askSaveChanges(const std::string&) override { return SaveChoice::Cancel; }
    bool confirm(const std::string&) override { return false; }
    void beginWait() override {}
    void endWait() override {}
    void showComposition(const Composition*) override {}
    void showCurrentLead(int) override {}
    void showCommittedMethod(const Method*) override {}
    void showCandidate(const Method*) override {}
    void setLeadRange(int, int) override {}
    bool searchStep() override { return false; }

private:
    std::ostream& messages_;
};

}  // namespace quarnel
