#pragma once
// The Fill window: first, when opened with prepare, the options of the
// search (fill options panel) and Start; then it runs a fill of the loaded composition on a worker thread
// while it stays painted and answers Stop, shows the best music so far, the
// nodes searched per second and the time taken, and when the search ends
// offers "Take" (every filled lead gets its method) or "Leave" (the
// composition stays as it was). Until then the display window, when given,
// shows the composition as it would be with the best fill, on a copy: the
// loaded composition is never touched by what is shown.
#include <QDialog>
#include <QPointer>
#include <memory>
#include <optional>
#include <string>

#include "fill/fill.h"
#include "session/fill_runner.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace quarnel {

class ComposerSession;
class Composition;
class DisplayWindow;
class FillOptionsPanel;
class MethodLibrary;

class FillWindow : public QDialog {
    Q_OBJECT
public:
    FillWindow(ComposerSession& session, const MethodLibrary& library, QWidget* parent = nullptr);
    ~FillWindow() override;

    // Offers the options before Start: the methods of the plan's codes to
    // tick; false when there is no composition to fill.
    bool prepare();
    // Starts the search with the session's fields and the options panel's
    // choices; false when there is no composition to fill or the choices
    // cannot be kept (the reason is in the status line).
    bool start();
    FillOptionsPanel* optionsPanel() const { return options_; }
    QPushButton* startButton() const { return start_; }
    bool searching() const { return runner_.running(); }
    const std::optional<fill::FillResult>& result() const { return result_; }
    QPushButton* stopButton() const { return stop_; }
    QPushButton* takeButton() const { return take_; }
    QPushButton* leaveButton() const { return leave_; }
    // The display window that shows the fill before Take; it shows the
    // loaded composition again when the window closes.
    void showFillIn(DisplayWindow* display) { display_ = display; }
    // The composition shown with the fill (none while none is shown).
    const Composition* preview() const { return preview_.get(); }

public slots:
    void stop();
    void take();
    void leave();

protected:
    void reject() override;
    void done(int result) override;

private:
    void poll();
    void finish();
    // A line on generator methods left out of the search, or nothing.
    QString cutNote() const;
    void showPreview();
    // Beside the display window, so that the fill shown there stays in view.
    void placeClearOfDisplay();
    // Points the display back at the loaded composition, before the copy goes.
    void restoreDisplay();

    ComposerSession& session_;
    const MethodLibrary& library_;
    FillRunner runner_;
    std::optional<fill::FillResult> result_;
    // What to say when the search proves there is no fill: the constraints
    // of the run no fill keeps, if any.
    std::string noFillText_;
    QLabel* bestMusic_ = nullptr;
    QLabel* speed_ = nullptr;
    QLabel* elapsed_ = nullptr;
    QLabel* status_ = nullptr;
    QPlainTextEdit* methods_ = nullptr;
    FillOptionsPanel* options_ = nullptr;
    QPushButton* start_ = nullptr;
    // "no better fill for 40 s" while the best music stands still.
    QLabel* quiet_ = nullptr;
    long long lastBest_ = 0;
    double lastGain_ = 0;
    QPushButton* stop_ = nullptr;
    QPushButton* take_ = nullptr;
    QPushButton* leave_ = nullptr;
    QTimer* timer_ = nullptr;
    QPointer<DisplayWindow> display_;
    std::unique_ptr<Composition> preview_;
    int shownLead_ = 0;
    bool hideDisplayAfter_ = false;
};

}  // namespace quarnel
