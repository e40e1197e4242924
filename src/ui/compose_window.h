#pragma once
// The Compose window: the inputs of a Compose (the methods to tick, with
// the constraints and time limit of Fill's panel, the length, the parts,
// the calls, where the methods change, tenors together and how many
// compositions to keep), Start and Stop, the progress at the screen's pace
// and the list of the compositions found, best first, filled while the
// search runs. Choosing one shows it in the display window, on a copy of
// its own headed "Compose preview"; Use makes it the composition through
// the session (one undoable change) and closes the window. The inputs
// scroll rather than grow, so the window fits a small or scaled screen. It
// keeps its inputs and list between openings; closing it stops a search.
#include <QDialog>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "compose/compose.h"
#include "session/compose_choices.h"
#include "session/compose_runner.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTimer;

namespace quarnel {

class ComposerSession;
class Composition;
class DisplayWindow;
class FillOptionsPanel;
class MethodLibrary;

class ComposeWindow : public QDialog {
    Q_OBJECT
public:
    ComposeWindow(ComposerSession& session, const MethodLibrary& library, QWidget* parent = nullptr);
    ~ComposeWindow() override;

    // The display window that shows the chosen composition; it shows the
    // session's composition again when the window closes.
    void showPreviewIn(DisplayWindow* display) { display_ = display; }
    // The inputs as they stand.
    ComposeChoices choices() const;
    bool searching() const { return runner_.running(); }
    // The problem of the last search started (none before).
    const compose::ComposeProblem* problem() const { return runner_.problem(); }
    // The compositions listed, best first.
    const std::vector<compose::FoundComposition>& listed() const { return listed_; }
    // The composition the display shows (none while none is chosen).
    const Composition* preview() const { return preview_.get(); }

    FillOptionsPanel* optionsPanel() const { return options_; }
    QLineEdit* lengthField() const { return length_; }
    QLineEdit* partsField() const { return parts_; }
    QComboBox* callsBox() const { return calls_; }
    QComboBox* spliceBox() const { return splice_; }
    QCheckBox* tenorsTogetherBox() const { return tenors_; }
    QSpinBox* countBox() const { return count_; }
    QPushButton* startButton() const { return start_; }
    QPushButton* stopButton() const { return stop_; }
    QPushButton* useButton() const { return use_; }
    QListWidget* compositionList() const { return list_; }
    QLabel* statusLabel() const { return status_; }

public slots:
    // Starts a search of the inputs; false when one runs, or the inputs
    // cannot be composed (the reason is in the status line).
    bool start();
    void stop();
    // The chosen composition made the session's; the window closes.
    void use();

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildInputs();
    QWidget* buildResults();
    void poll();
    void finish();
    // The list made to show the compositions, keeping the chosen one chosen.
    void showCompositions(const std::vector<compose::FoundComposition>& found);
    void choose(int row);
    void showTicked();
    // The status line, shown only when it has something to say.
    void say(const QString& text);
    void setInputsEnabled(bool enabled);
    // Points the display back at the session's composition with the lead
    // given, before the copy goes.
    void restoreDisplay(int lead);
    // Within the screen (the inputs scroll), and beside the display window
    // when there is room, so that the preview stays in view; on a small
    // screen the inputs go above the list, at the screen's edge away from
    // the display's first column.
    void placeClearOfDisplay();

    ComposerSession& session_;
    const MethodLibrary& library_;
    ComposeRunner runner_;
    FillOptionsPanel* options_ = nullptr;
    QLabel* ticked_ = nullptr;
    QLineEdit* length_ = nullptr;
    QLineEdit* parts_ = nullptr;
    QComboBox* calls_ = nullptr;
    QComboBox* splice_ = nullptr;
    QCheckBox* tenors_ = nullptr;
    QSpinBox* count_ = nullptr;
    QCheckBox* onePerCalling_ = nullptr;
    QWidget* inputs_ = nullptr;
    QSplitter* panes_ = nullptr;
    QLabel* nodes_ = nullptr;
    QLabel* found_ = nullptr;
    QLabel* bestMusic_ = nullptr;
    QLabel* elapsed_ = nullptr;
    QLabel* status_ = nullptr;
    // How the last search ended.
    QString ended_;
    QListWidget* list_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* use_ = nullptr;
    QPushButton* close_ = nullptr;
    QTimer* timer_ = nullptr;
    std::vector<compose::FoundComposition> listed_;
    // The file text of the composition chosen, shown and used.
    std::string chosen_;
    QPointer<DisplayWindow> display_;
    std::unique_ptr<Composition> preview_;
    int shownLead_ = 0;
    bool hideDisplayAfter_ = false;
    bool sized_ = false;
    bool atScreenEdge_ = false;
};

}  // namespace quarnel
