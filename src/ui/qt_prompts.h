#pragma once
// The dialog's questions to the composer: file dialogs and message boxes.
// The dialog asks through this interface so that tests can answer instead.
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace quarnel {

class Prompts {
public:
    virtual ~Prompts() = default;
    virtual std::optional<std::string> chooseFile(QWidget* parent, bool save, std::string_view defaultExtension,
                                                  const std::string& initialName) = 0;
    virtual void showMessage(QWidget* parent, const std::string& text) = 0;
    virtual bool confirm(QWidget* parent, const std::string& text) = 0;
};

// The standard file dialogs (ask before overwriting) and message boxes.
class QtPrompts : public Prompts {
public:
    std::optional<std::string> chooseFile(QWidget* parent, bool save, std::string_view defaultExtension,
                                          const std::string& initialName) override;
    void showMessage(QWidget* parent, const std::string& text) override;
    bool confirm(QWidget* parent, const std::string& text) override;
};

}  // namespace quarnel
