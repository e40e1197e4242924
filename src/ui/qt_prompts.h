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

private:
    QString lastFolder_;
};

}  // namespace quarnel
