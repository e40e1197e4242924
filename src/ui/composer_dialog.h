#pragma once
// The composer's one dialog: a thin form over the ComposerSession. Two
// places touch the controls (readControls and writeControls); every slot
// reads the controls, runs one session command and writes them back. Each
// control carries its dialog id as its object name.
#include <QDialog>
#include <QElapsedTimer>
#include <functional>
#include <memory>

#include "session/composer_session.h"
#include "session/session_view.h"
#include "ui/qt_prompts.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QCompleter;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSessionManager;
class QToolButton;
class QUndoStack;

namespace quarnel {

class AnalysisWindow;
class ComposeWindow;
class DiagramWindow;
class CourseViewWindow;
class DisplayWindow;

class ComposerDialog : public QDialog, private SessionView {
    Q_OBJECT
public:
    // Reads the method libraries "S8", "D8" and "T8" from the folder (the
    // working directory when empty); prompts default to the standard dialogs.
    explicit ComposerDialog(QWidget* parent = nullptr, Prompts* prompts = nullptr, const std::string& libraryFolder = "");
    ~ComposerDialog() override;

    ComposerSession& session() { return *session_; }
    // How many candidates the last search tried.
    long lastSearchCandidates() const { return lastSearchCandidates_; }
    DisplayWindow* displayWindow() const { return display_; }
    CourseViewWindow* courseView() const { return courseView_; }
    DiagramWindow* upperDiagram() const { return upper_; }
    DiagramWindow* lowerDiagram() const { return lower_; }
    AnalysisWindow* analysisWindow() const { return analysis_; }
    // The Compose window, once Compose... has opened it.
    ComposeWindow* composeWindow() const { return compose_; }
    // Shows the analysis window (Ctrl+Shift+A); the command menu offers it too.
    QAction* analysisAction() const { return analysisAction_; }
    // Pixels of a rectangle given in dialog units.
    QRect dialogRect(int x, int y, int width, int height) const;

    // The small command menu beside the options ("More"): Undo, Redo and
    // the commands that open windows of their own.
    QMenu* commandsMenu() const { return commandsMenu_; }
    QUndoStack* undoStack() const { return undoStack_; }
    // Opens a composition at start (quarnel FILE), with the load report.
    void openAtStart(const std::string& path);
    // At start: the working folder's major.mus, when it has one.
    void loadMusicAtStart();
    // An action of the More menu or the dialog's keys by its object name
    // ("bobAction"), or none.
    QAction* commandAction(const QString& name) const;
    // Fits the dialog into a screen area of this size: the status text and
    // the right-hand pane give up what does not fit, the controls never.
    void fitToScreen(const QSize& available);
    // The file name and a mark for unsaved changes in the window title.
    void updateTitle();

    // Ends the dialog like Quit, after the question about unsaved changes.
    void reject() override;

public slots:
    void load();
    void save();
    void exportText();
    void microSiril();
    void quit();
    void next();
    void different();
    void match();
    void clear();
    void ok();
    void music();
    void viewComposition();
    void viewMethods();
    void stepLead(int towardsLast);
    void undo();
    void redo();
    // Fill: searches every empty lead in a window of its own.
    void fill();
    // Compose...: searches the calling and the methods together in a window
    // of its own, which keeps its inputs and list between openings.
    void compose();
    // The plan edits on the current lead, and New, Go to lead and the lead
    // a click on the display chose.
    void newComposition();
    void plainLead();
    void bob();
    void single();
    void insertLead();
    void deleteLead();
    void setCode(char letter);
    void askCode();
    void putInWithItsCode();
    void goToLead();
    void makeCurrent(int lead);
    // The composition view shows the course view instead of the lead list
    // (Ctrl+L, and in the More menu); the choice stays for the session.
    void showCourseView(bool on);
    // The lead list shows each lead's music score (Ctrl+Shift+M, and in
    // the More menu and the display's own menu); off at start.
    void showMusicColumn(bool on);
    // Calling...: the present layout in a text box; Apply makes it the
    // composition, an error names its line and the text stays open.
    void editCalling();
    // Ctrl+V: a published composition on the clipboard becomes the composition.
    void pasteCalling();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // SessionView.
    void readControls(DialogFields& fields) override;
    void writeControls(const DialogFields& fields) override;
    std::optional<std::string> chooseFile(FileDialog kind, std::string_view defaultExtension, const std::string& initialName,
                                          std::string_view title) override;
    void showMessage(const std::string& text, MessageKind kind) override;
    SaveChoice askSaveChanges(const std::string& question) override;
    void compositionChanged() override;
    void recordChange(const CompositionChange& change) override;
    bool confirm(const std::string& text) override;
    void beginWait() override;
    void endWait() override;
    void showComposition(const Composition* composition) override;
    void showCurrentLead(int lead) override;
    void showCommittedMethod(const Method* method) override;
    void showCandidate(const Method* method) override;
    void setLeadRange(int low, int high) override;
    bool searchStep() override;

    void buildControls();
    void buildCommands();
    void explainControls();
    void setTabOrder();
    void commitData(QSessionManager& manager);
    bool mayClose();
    // The Fill command: an action with its shortcut, Ctrl+Shift+F.
    void installFillCommand();
    void installComposeCommand();
    void writeControlsNow();
    bool busy() const;
    bool searchingNow() const;
    void runSearch(bool different, bool match);
    void command(void (ComposerSession::*run)());
    void installAnalysisCommand();
    void buildPlanCommands();
    // Export PDF... and Print... (Ctrl+P) in the More menu.
    void buildPaperCommands();
    // An action with its keys (the first shown in the menu), its tip, and,
    // when inMenu, a place in the More menu.
    QAction* addCommand(const char* name, const QString& text, const QList<QKeySequence>& keys, const QString& tip, bool inMenu,
                        std::function<void()> run);
    // A plan edit of the session on what the controls show now.
    void planCommand(const std::function<void()>& run);
    // The display's held methods and music table from the session.
    void showDisplayExtras();
    // The right-hand pane and the status text in the room the window has.
    void layoutPane();

    std::unique_ptr<QtPrompts> ownPrompts_;
    Prompts* prompts_;
    std::unique_ptr<ComposerSession> session_;
    int baseX_ = 6;
    int baseY_ = 13;

    QLineEdit* leadNumber_ = nullptr;  // 1005
    QWidget* upDown_ = nullptr;        // 1022
    QLineEdit* leadHeadCode_ = nullptr;
    QLineEdit* methodName_ = nullptr;
    QLineEdit* placeNotation_ = nullptr;
    QLineEdit* leadMusic_ = nullptr;
    QLineEdit* candidateMusic_ = nullptr;
    QLineEdit* totalMusic_ = nullptr;
    QLineEdit* maxFalseness_ = nullptr;
    QPlainTextEdit* status_ = nullptr;
    QCheckBox* named_ = nullptr;
    QCheckBox* rightPlace_ = nullptr;
    QCheckBox* symmetricSections_ = nullptr;
    QCheckBox* twoPlaces_ = nullptr;
    QCheckBox* surprise_ = nullptr;
    QCheckBox* delight_ = nullptr;
    QCheckBox* trebleBob_ = nullptr;
    QRadioButton* viewCompositionButton_ = nullptr;
    QRadioButton* viewMethodsButton_ = nullptr;
    DisplayWindow* display_ = nullptr;
    CourseViewWindow* courseView_ = nullptr;
    bool courseViewChosen_ = false;
    DiagramWindow* upper_ = nullptr;
    DiagramWindow* lower_ = nullptr;
    AnalysisWindow* analysis_ = nullptr;
    ComposeWindow* compose_ = nullptr;
    QAction* analysisAction_ = nullptr;

    int leadLow_ = 1;   // the last lead: where the down arrow leads
    int leadHigh_ = 1;  // lead 1: where the up arrow leads
    bool writing_ = false;
    long lastSearchCandidates_ = 0;

    // While a search runs the controls and windows are brought up to date at
    // the screen's pace, not at every candidate.
    QElapsedTimer frame_;
    bool controlsStale_ = false;
    bool interruptRequested_ = false;
    // The running rate of a long search, shown after half a second.
    QElapsedTimer searchClock_;
    qint64 rateShownAt_ = 0;
    long searchSteps_ = 0;
    QString searchRate_;
    // One validation message for one command.
    bool validationShown_ = false;
    bool closing_ = false;

    QToolButton* commandsButton_ = nullptr;
    QMenu* commandsMenu_ = nullptr;
    QUndoStack* undoStack_ = nullptr;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    QCompleter* completer_ = nullptr;
    const Method* pendingUpper_ = nullptr;
    const Method* pendingLower_ = nullptr;
};

}  // namespace quarnel
