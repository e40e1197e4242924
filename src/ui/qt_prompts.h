#pragma once
// The dialog's questions to the composer: file dialogs and message boxes.
// The dialog asks through this interface so that tests can answer instead.
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "session/session_view.h"

class QWidget;

namespace quarnel {

class Prompts {
public:
    using MessageKind = SessionView::MessageKind;
    using SaveChoice = SessionView::SaveChoice;

    virtual ~Prompts() = default;
    virtual std::optional<std::string> chooseFile(QWidget* parent, bool save, std::string_view defaultExtension,
                                                  const std::string& initialName, std::string_view title) = 0;
    virtual void showMessage(QWidget* parent, const std::string& text, MessageKind kind) = 0;
    virtual bool confirm(QWidget* parent, const std::string& text) = 0;
    virtual SaveChoice askSaveChanges(QWidget* parent, const std::string& question) = 0;
    // A line of text (a method for New, a lead number, a code letter), or
    // nothing when the composer cancels.
    virtual std::optional<std::string> askText(QWidget* parent, const std::string& title, const std::string& label,
                                               const std::string& initial) {
        (void)parent, (void)title, (void)label, (void)initial;
        return std::nullopt;
    }
    // A text of many lines to edit (the calling), or nothing when cancelled.
    virtual std::optional<std::string> editText(QWidget* parent, const std::string& title, const std::string& text) {
        (void)parent, (void)title, (void)text;
        return std::nullopt;
    }
};

// The standard file dialogs (ask before overwriting, a filter for the
// extension, the folder last used) and message boxes.
class QtPrompts : public Prompts {
public:
    std::optional<std::string> chooseFile(QWidget* parent, bool save, std::string_view defaultExtension,
                                          const std::string& initialName, std::string_view title) override;
    void showMessage(QWidget* parent, const std::string& text, MessageKind kind) override;
    bool confirm(QWidget* parent, const std::string& text) override;
    SaveChoice askSaveChanges(QWidget* parent, const std::string& question) override;
    std::optional<std::string> askText(QWidget* parent, const std::string& title, const std::string& label,
                                       const std::string& initial) override;
    // A box of the text with Apply and Cancel.
    std::optional<std::string> editText(QWidget* parent, const std::string& title, const std::string& text) override;

private:
    QString lastFolder_;
};

}  // namespace quarnel
