#pragma once
// Prompts for the desktop's tests: answers the questions from a script and
// records what was asked, offered and shown.
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/qt_prompts.h"

namespace quarnel {

// Answers the dialog's questions from a script and records what it was asked.
class ScriptedPrompts : public Prompts {
public:
    std::deque<std::optional<std::string>> files;
    std::deque<bool> answers;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<std::string> offered;
    std::vector<std::string> extensions;

    std::deque<SaveChoice> saveChoices;
    // The answer to the unsaved-changes question once the script has run out.
    SaveChoice unscriptedSaveChoice = SaveChoice::Cancel;
    std::vector<std::string> titles;
    std::vector<MessageKind> kinds;

    std::optional<std::string> chooseFile(QWidget*, bool, std::string_view extension, const std::string& initial,
                                          std::string_view title) override {
        offered.push_back(initial);
        extensions.emplace_back(extension);
        titles.emplace_back(title);
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    void showMessage(QWidget*, const std::string& text, MessageKind kind) override {
        messages.push_back(text);
        kinds.push_back(kind);
    }
    SaveChoice askSaveChanges(QWidget*, const std::string& question) override {
        questions.push_back(question);
        if (saveChoices.empty()) return unscriptedSaveChoice;
        const SaveChoice c = saveChoices.front();
        saveChoices.pop_front();
        return c;
    }
    std::deque<std::optional<std::string>> edits;
    std::vector<std::string> editedTexts;  // what each text box opened with
    std::optional<std::string> editText(QWidget*, const std::string&, const std::string& text) override {
        editedTexts.push_back(text);
        if (edits.empty()) return std::nullopt;
        auto t = edits.front();
        edits.pop_front();
        return t;
    }
    std::deque<std::optional<std::string>> texts;
    std::optional<std::string> askText(QWidget*, const std::string& title, const std::string&, const std::string&) override {
        titles.push_back(title);
        if (texts.empty()) return std::nullopt;
        auto t = texts.front();
        texts.pop_front();
        return t;
    }
    bool confirm(QWidget*, const std::string& text) override {
        questions.push_back(text);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace quarnel
