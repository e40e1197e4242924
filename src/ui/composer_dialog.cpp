#include "ui/composer_dialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QClipboard>
#include <QCompleter>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSessionManager>
#include <QStringListModel>
#include <QUndoCommand>
#include <QUndoStack>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QToolButton>

#include "methods/library_location.h"
#include "methods/method_library.h"
#include "ringing/call.h"
#include "ringing/lead_head_code.h"
#include "ui/analysis_window.h"
#include "ui/course_view_window.h"
#include "ui/diagram_window.h"
#include "ui/compose_window.h"
#include "ui/fill_window.h"
#include "ui/display_window.h"
#include "ui/sheet_printing.h"

namespace quarnel {
namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

// The status text keeps its carriage returns; the control wants line feeds.
QString statusLines(const std::string& s) { return QString::fromStdString(s).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QIcon applicationIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(176, 128, 32));
    p.setPen(QPen(QColor(96, 64, 0), 2));
    QPainterPath bell;
    bell.moveTo(6, 26);
    bell.cubicTo(8, 20, 8, 6, 16, 5);
    bell.cubicTo(24, 6, 24, 20, 26, 26);
    bell.closeSubpath();
    p.drawPath(bell);
    p.drawEllipse(QPointF(16, 28), 2.5, 2.5);
    return QIcon(pixmap);
}

// One change to the composition on the undo stack. It has been made when
// it is pushed, so the first redo does nothing.
class CompositionCommand : public QUndoCommand {
public:
    CompositionCommand(ComposerSession& session, CompositionChange change)
        : QUndoCommand(QString::fromStdString(change.label)), session_(session), change_(std::move(change)) {}

    void undo() override {
        if (change_.kind == CompositionChange::Kind::Load)
            session_.restoreLoad(change_.loadBefore);
        else
            session_.restoreMethods(change_.methodsBefore);
    }
    void redo() override {
        if (!done_) {
            done_ = true;
            return;
        }
        if (change_.kind == CompositionChange::Kind::Load)
            session_.restoreLoad(change_.loadAfter);
        else
            session_.restoreMethods(change_.methodsAfter);
    }

private:
    ComposerSession& session_;
    CompositionChange change_;
    bool done_ = false;
};

}  // namespace

ComposerDialog::ComposerDialog(QWidget* parent, Prompts* prompts, const std::string& libraryFolder)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      prompts_(prompts) {
    if (prompts_ == nullptr) {
        ownPrompts_ = std::make_unique<QtPrompts>();
        prompts_ = ownPrompts_.get();
    }
    setWindowTitle(QStringLiteral("Quarnel Composing Aid (Multi-Part)"));
    setWindowIcon(applicationIcon());
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    const QFontMetrics metrics(font());
    // Dialog units: a quarter of the average character width across, an
    // eighth of the character height down.
    baseX_ = std::max(1, (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2);
    baseY_ = std::max(1, metrics.height());

    // The libraries are read before the dialog shows; a missing file is skipped.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // Without a library in the working folder, the one installed with the
    // program is read; the status at start says which.
    MethodLibrary& library = MethodLibrary::instance();
    std::string libraryStatus;
    if (library.size() == 0) {
        const LibraryLocation location = programLibrary(libraryFolder, QCoreApplication::applicationFilePath().toStdString().c_str());
        readLibraryFiles(library, location.folder);
        libraryStatus = "Method library: " + std::to_string(library.size()) + " methods from " + location.describe() + "\r\n";
    }
    QApplication::restoreOverrideCursor();

    session_ = std::make_unique<ComposerSession>(static_cast<SessionView&>(*this), library);
    session_->fields().statusText = libraryStatus;
    undoStack_ = new QUndoStack(this);
    buildControls();
    buildCommands();
    explainControls();
    setTabOrder();
    installFillCommand();
    installComposeCommand();
    writeControlsNow();
    viewComposition();
    installAnalysisCommand();
    buildPlanCommands();
    buildPaperCommands();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &ComposerDialog::commitData);
    methodName_->setFocus();
}

void ComposerDialog::installFillCommand() {
    auto* action = new QAction(tr("Fill"), this);
    action->setObjectName(QStringLiteral("fill"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    action->setToolTip(tr("Search every empty lead for a true set of methods with the most music"));
    addAction(action);
    if (commandsMenu() != nullptr) commandsMenu()->addAction(action);
    connect(action, &QAction::triggered, this, &ComposerDialog::fill);
}

void ComposerDialog::fill() {
    if (busy() || session_->composition() == nullptr) return;
    readControls(session_->fields());
    if (session_->refuseFalsePlan()) {
        writeControlsNow();
        return;
    }
    // The fill is previewed in the lead list: the course view gives way to
    // it while the Fill window is open.
    const bool course = courseViewChosen_;
    if (course) showCourseView(false);
    FillWindow window(*session_, MethodLibrary::instance(), this);
    window.showFillIn(display_);
    const bool prepared = window.prepare();
    if (prepared) window.exec();
    if (course) showCourseView(true);
    if (!prepared) return;
    writeControlsNow();
    if (analysis_ != nullptr) analysis_->refresh();
}

void ComposerDialog::installComposeCommand() {
    auto* action = new QAction(tr("Compose..."), this);
    action->setObjectName(QStringLiteral("composeAction"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    action->setToolTip(tr("Search the calling and the methods together for the best true compositions"));
    addAction(action);
    if (commandsMenu() != nullptr) commandsMenu()->addAction(action);
    connect(action, &QAction::triggered, this, &ComposerDialog::compose);
}

void ComposerDialog::compose() {
    if (busy()) return;
    readControls(session_->fields());
    // The composition chosen is previewed in the lead list: the course view
    // gives way to it while the Compose window is open.
    const bool course = courseViewChosen_;
    if (course) showCourseView(false);
    if (compose_ == nullptr) {
        compose_ = new ComposeWindow(*session_, MethodLibrary::instance(), this);
        compose_->showPreviewIn(display_);
    }
    compose_->exec();
    if (course) showCourseView(true);
    writeControlsNow();
    updateTitle();
    if (analysis_ != nullptr) analysis_->refresh();
}

ComposerDialog::~ComposerDialog() {
    // The Compose window stops its search and lets go of the display before
    // the session goes.
    delete compose_;
    compose_ = nullptr;
    // The stack's commands refer to the session, and its signals to the
    // dialog: it goes first.
    undoStack_->disconnect(this);
    delete undoStack_;
    undoStack_ = nullptr;
    session_.reset();
}

QRect ComposerDialog::dialogRect(int x, int y, int width, int height) const {
    return QRect(x * baseX_ / 4, y * baseY_ / 8, width * baseX_ / 4, height * baseY_ / 8);
}

void ComposerDialog::buildControls() {
    // The window grows with the composition: the display takes the room.
    setMinimumSize(dialogRect(0, 0, 145 + 120, 230).size());
    resize(dialogRect(0, 0, 522, 359).size());
    setSizeGripEnabled(true);
    auto place = [this](QWidget* w, int id, int x, int y, int width, int height) {
        if (id != 0) w->setObjectName(QString::number(id));
        w->setGeometry(dialogRect(x, y, width, height));
        return w;
    };
    auto button = [&](int id, const char* caption, int x, int y, int width, int height, void (ComposerDialog::*slot)()) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setAutoDefault(false);
        place(b, id, x, y, width, height);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto edit = [&](int id, int x, int y, int width, int height, bool readOnly, bool right) {
        auto* e = new QLineEdit(this);
        e->setReadOnly(readOnly);
        if (right) e->setAlignment(Qt::AlignRight);
        place(e, id, x, y, width, height);
        return e;
    };
    auto check = [&](int id, const char* caption, int x, int y, int width, int height) {
        auto* c = new QCheckBox(QString::fromLatin1(caption), this);
        place(c, id, x, y, width, height);
        return c;
    };
    auto label = [&](const char* caption, int x, int y, int width, int height) {
        place(new QLabel(QString::fromLatin1(caption), this), 0, x, y, width, height);
    };

    button(1000, "Load", 1, 0, 26, 14, &ComposerDialog::load);
    button(1001, "Save", 27, 0, 26, 14, &ComposerDialog::save);
    button(1019, "Export", 53, 0, 26, 14, &ComposerDialog::exportText);
    button(1027, "MicroSiril", 79, 0, 36, 14, &ComposerDialog::microSiril);
    button(1020, "Quit", 115, 0, 26, 14, &ComposerDialog::quit);

    leadNumber_ = edit(1005, 1, 20, 30, 14, true, false);
    leadNumber_->installEventFilter(this);
    // The up-down control sits at the right of its buddy: up steps towards
    // lead 1, down towards the last lead, wrapping at the ends.
    upDown_ = new QWidget(this);
    const QRect buddy = dialogRect(1, 20, 30, 14);
    const QRect arrows = dialogRect(1, 21, 11, 14);
    upDown_->setObjectName(QStringLiteral("1022"));
    upDown_->setGeometry(buddy.right() - arrows.width() + 1, buddy.top(), arrows.width(), buddy.height());
    auto arrow = [&](const char* name, Qt::ArrowType type, int top, int height, int towardsLast) {
        auto* b = new QToolButton(upDown_);
        b->setObjectName(QString::fromLatin1(name));
        b->setArrowType(type);
        b->setAutoRepeat(true);
        b->setGeometry(0, top, arrows.width(), height);
        connect(b, &QToolButton::clicked, this, [this, towardsLast] { stepLead(towardsLast); });
    };
    const int half = buddy.height() / 2;
    arrow("up", Qt::UpArrow, 0, half, -1);
    arrow("down", Qt::DownArrow, half, buddy.height() - half, 1);

    leadHeadCode_ = edit(1006, 31, 20, 21, 14, true, false);
    methodName_ = edit(1003, 56, 20, 88, 14, false, false);
    connect(methodName_, &QLineEdit::textEdited, this, [this] { command(&ComposerSession::nameChanged); });
    // Library names complete as they are typed, whatever the case, S, D and TB alike.
    QStringList names;
    for (const auto& entry : MethodLibrary::instance().byName()) names << QString::fromStdString(entry.first);
    completer_ = new QCompleter(new QStringListModel(names, this), this);
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    completer_->setFilterMode(Qt::MatchStartsWith);
    methodName_->setCompleter(completer_);
    connect(completer_, qOverload<const QString&>(&QCompleter::activated), this, [this](const QString& name) {
        if (methodName_->text() != name) methodName_->setText(name);
        command(&ComposerSession::applyName);
    });
    placeNotation_ = edit(1004, 1, 39, 144, 14, true, false);

    button(1007, "Next", 1, 57, 26, 14, &ComposerDialog::next);
    button(1025, "Different", 31, 57, 34, 14, &ComposerDialog::different);
    button(1026, "Clear", 69, 57, 42, 14, &ComposerDialog::clear);
    button(1018, "OK", 115, 57, 26, 14, &ComposerDialog::ok);
    button(1035, "Music", 1, 74, 21, 14, &ComposerDialog::music);
    leadMusic_ = edit(1036, 24, 74, 47, 14, true, true);
    button(1037, "Match", 72, 74, 24, 14, &ComposerDialog::match);
    candidateMusic_ = edit(1038, 97, 74, 47, 14, true, true);

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    place(options, 0, 0, 90, 144, 92);
    options->lower();
    named_ = check(1011, "Named", 6, 101, 39, 10);
    rightPlace_ = check(1010, "Right place", 6, 112, 52, 10);
    symmetricSections_ = check(1015, "Symmetric Sections", 6, 123, 76, 10);
    twoPlaces_ = check(1016, "Two Places", 6, 134, 53, 10);
    surprise_ = check(1032, "Surprise", 6, 145, 41, 10);
    delight_ = check(1033, "Delight", 6, 156, 37, 10);
    trebleBob_ = check(1034, "Treble Bob", 6, 167, 50, 10);
    label("Max falseness", 63, 103, 46, 8);
    maxFalseness_ = edit(1024, 115, 102, 22, 14, false, false);
    maxFalseness_->setValidator(new QIntValidator(maxFalseness_));

    auto* view = new QGroupBox(QStringLiteral("View"), this);
    place(view, 0, 84, 118, 60, 38);
    viewCompositionButton_ = new QRadioButton(QStringLiteral("Composition"), this);
    place(viewCompositionButton_, 1028, 87, 129, 53, 10);
    viewMethodsButton_ = new QRadioButton(QStringLiteral("Methods"), this);
    place(viewMethodsButton_, 1029, 87, 141, 43, 10);
    auto* group = new QButtonGroup(this);
    group->addButton(viewCompositionButton_, 0);
    group->addButton(viewMethodsButton_, 1);
    connect(viewCompositionButton_, &QRadioButton::clicked, this, &ComposerDialog::viewComposition);
    connect(viewMethodsButton_, &QRadioButton::clicked, this, &ComposerDialog::viewMethods);

    label("Total", 59, 168, 17, 8);
    totalMusic_ = edit(1039, 79, 166, 62, 14, true, true);
    status_ = new QPlainTextEdit(this);
    status_->setReadOnly(true);
    place(status_, 1023, 0, 185, 143, 172);

    // The drawing windows take the places of their placeholders.
    display_ = new DisplayWindow(this, dialogRect(145, 0, 377, 358), QStringLiteral("Display"), 1017);
    upper_ = new DiagramWindow(this, dialogRect(145, 0, 377, 179), QStringLiteral("Display"), 1030);
    lower_ = new DiagramWindow(this, dialogRect(145, 179, 377, 179), QStringLiteral("Display"), 1031);
    upper_->setPrompts(prompts_);
    lower_->setPrompts(prompts_);
    upper_->setCaption(QStringLiteral("Committed method"));
    lower_->setCaption(QStringLiteral("Candidate"));
    connect(display_, &DisplayWindow::leadClicked, this, &ComposerDialog::makeCurrent);
    courseView_ = new CourseViewWindow(this);
    courseView_->setGeometry(display_->geometry());
    courseView_->hide();
    connect(courseView_, &CourseViewWindow::leadClicked, this, &ComposerDialog::makeCurrent);
}

QAction* ComposerDialog::addCommand(const char* name, const QString& text, const QList<QKeySequence>& keys, const QString& tip,
                                    bool inMenu, std::function<void()> run) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcuts(keys);
    // The tip names every key of the command, the one shown in the menu first.
    QStringList names;
    for (const QKeySequence& key : keys) names << key.toString(QKeySequence::NativeText);
    action->setToolTip(keys.isEmpty() ? tip : tip + QStringLiteral(" (") + names.join(QStringLiteral(", ")) + QStringLiteral(")"));
    action->setStatusTip(action->toolTip());
    connect(action, &QAction::triggered, this, [this, run = std::move(run)] {
        if (!busy()) run();
    });
    addAction(action);
    if (inMenu) commandsMenu_->addAction(action);
    return action;
}

QAction* ComposerDialog::commandAction(const QString& name) const { return findChild<QAction*>(name); }

// The plan commands: the More menu shows each with its key. The one-letter
// keys (P, B, -, S, Insert, Delete, Shift and a code letter) work wherever
// the focus is not in a field being typed in (a field takes its own
// letters, Delete and Insert); Ctrl+Shift and the letter (N for a new lead
// and Delete) work while typing too, as no field takes them, and the menu
// shows them with the one-letter key in its text. (Ctrl+Shift+Insert is a
// field's paste under X11.)
void ComposerDialog::buildPlanCommands() {
    const auto typing = [](Qt::Key key) { return QKeySequence(Qt::CTRL | Qt::SHIFT | key); };
    commandsMenu_->addSeparator();
    addCommand("newAction", QStringLiteral("New..."), {QKeySequence(QKeySequence::New)},
               QStringLiteral("A new composition: empty, or a plain course of the method you name"), true, [this] { newComposition(); });
    addCommand("plainAction", QStringLiteral("Plain lead end (P)"), {typing(Qt::Key_P), QKeySequence(Qt::Key_P)},
               QStringLiteral("The current lead ends plain"), true, [this] { plainLead(); });
    addCommand("bobAction", QStringLiteral("Bob (B or -)"), {typing(Qt::Key_B), QKeySequence(Qt::Key_B), QKeySequence(Qt::Key_Minus)},
               QStringLiteral("A bob at the current lead's lead end"), true, [this] { bob(); });
    addCommand("singleAction", QStringLiteral("Single (S)"), {typing(Qt::Key_S), QKeySequence(Qt::Key_S)},
               QStringLiteral("A single at the current lead's lead end"), true, [this] { single(); });
    addCommand("insertLeadAction", QStringLiteral("Insert lead after (Insert)"), {typing(Qt::Key_N), QKeySequence(Qt::Key_Insert)},
               QStringLiteral("A lead after the current one: its code, plain, no method"), true, [this] { insertLead(); });
    addCommand("deleteLeadAction", QStringLiteral("Delete lead (Delete)"), {typing(Qt::Key_Delete), QKeySequence(Qt::Key_Delete)},
               QStringLiteral("Delete the current lead"), true, [this] { deleteLead(); });
    addCommand("setCodeAction", QStringLiteral("Set code... (Ctrl+K)"), {typing(Qt::Key_K), QKeySequence(Qt::CTRL | Qt::Key_K)},
               QStringLiteral("The current lead's lead-head code, a letter A to M (or Shift and the letter)"), true,
               [this] { askCode(); });
    for (const LeadHeadCode code : AllLeadHeadCodes) {
        const QString name = QStringLiteral("code") + QChar::fromLatin1(code.letter()) + QStringLiteral("Action");
        addCommand(qPrintable(name), QStringLiteral("Code ") + QChar::fromLatin1(code.letter()),
                   {QKeySequence(Qt::SHIFT | static_cast<Qt::Key>(Qt::Key_A + (code.letter() - 'A')))},
                   QStringLiteral("The current lead takes code ") + QChar::fromLatin1(code.letter()), false,
                   [this, letter = code.letter()] { setCode(letter); });
    }
    addCommand("putInAction", QStringLiteral("Put in with its code"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I)},
               QStringLiteral("The candidate goes into the current lead with its own lead-head code; the later lead heads move"), true,
               [this] { putInWithItsCode(); });
    QAction* course = addCommand("courseViewAction", QStringLiteral("Course view"), {QKeySequence(Qt::CTRL | Qt::Key_L)},
                                 QStringLiteral("Show the composition as a course layout instead of the lead list"), true,
                                 [this] { showCourseView(!courseViewChosen_); });
    course->setCheckable(true);
    QAction* musicColumn = addCommand("musicColumnAction", QStringLiteral("Music column"), {typing(Qt::Key_M)},
                                      QStringLiteral("Each lead's music score beside it in the lead list"), true,
                                      [this] { showMusicColumn(!display_->musicColumn()); });
    musicColumn->setCheckable(true);
    // The display's own menu (a right click) has the two views' toggles too.
    display_->addAction(course);
    display_->addAction(musicColumn);
    display_->setContextMenuPolicy(Qt::ActionsContextMenu);
    courseView_->addAction(course);
    courseView_->setContextMenuPolicy(Qt::ActionsContextMenu);
    addCommand("callingAction", QStringLiteral("Calling..."), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)},
               QStringLiteral("Edit the composition as a course layout or lead list"), true, [this] { editCalling(); });
    addCommand("pasteAction", QStringLiteral("Paste composition"), {QKeySequence(QKeySequence::Paste)},
               QStringLiteral("A published composition on the clipboard becomes the composition"), true, [this] { pasteCalling(); });
    addCommand("goToLeadAction", QStringLiteral("Go to lead..."), {QKeySequence(Qt::CTRL | Qt::Key_G)},
               QStringLiteral("Make a lead of the number you type the current lead"), true, [this] { goToLead(); });
    addCommand("openAction", QStringLiteral("Open..."), {QKeySequence(QKeySequence::Open)}, QStringLiteral("Load a composition file"),
               false, [this] { load(); });
    addCommand("saveAction", QStringLiteral("Save..."), {QKeySequence(QKeySequence::Save)}, QStringLiteral("Save the composition"),
               false, [this] { save(); });
    commandsButton_->setToolTip(QStringLiteral("More commands: Undo, Redo, New, calls, leads, codes, Go to lead"));
    // Undo reaches the composition from a field with nothing of its own to undo.
    for (QLineEdit* edit : {methodName_, leadNumber_, maxFalseness_}) edit->installEventFilter(this);
}

// On paper: the composition sheet as a PDF file or on the printer, built by
// the session and put on paper by ui/sheet_printing.
void ComposerDialog::buildPaperCommands() {
    commandsMenu_->addSeparator();
    addCommand("exportPdfAction", QStringLiteral("Export PDF..."), {},
               QStringLiteral("The composition sheet as a PDF file: layout, figures, music and blue lines"), true,
               [this] { exportSheetPdf(*session_); });
    addCommand("printAction", QStringLiteral("Print..."), {QKeySequence(QKeySequence::Print)},
               QStringLiteral("Print the composition sheet (the print dialog also offers a PDF file)"), true,
               [this] { printSheet(*session_, *prompts_, this); });
}

void ComposerDialog::planCommand(const std::function<void()>& run) {
    if (busy()) return;
    validationShown_ = false;
    readControls(session_->fields());
    run();
    writeControlsNow();
    if (analysis_ != nullptr) analysis_->refresh();
}

void ComposerDialog::newComposition() {
    if (busy()) return;
    // The question about unsaved changes comes first, before the name.
    bool settled = false;
    planCommand([&] { settled = session_->confirmDiscardChanges(); });
    updateTitle();
    if (!settled) return;
    const auto method = prompts_->askText(this, "New composition", "A plain course of the method (empty: no leads):", "");
    if (!method) return;
    planCommand([&] { session_->newComposition(*method, true); });
    updateTitle();
}

void ComposerDialog::plainLead() { planCommand([this] { session_->setCall(Call::Plain); }); }
void ComposerDialog::bob() { planCommand([this] { session_->setCall(Call::Bob); }); }
void ComposerDialog::single() { planCommand([this] { session_->setCall(Call::Single); }); }
void ComposerDialog::insertLead() { planCommand([this] { session_->insertLead(); }); }
void ComposerDialog::deleteLead() { planCommand([this] { session_->deleteLead(); }); }
void ComposerDialog::setCode(char letter) { planCommand([this, letter] { session_->setCode(letter); }); }
void ComposerDialog::putInWithItsCode() { planCommand([this] { session_->putInWithItsCode(); }); }

void ComposerDialog::askCode() {
    if (busy() || session_->composition() == nullptr) return;
    const auto letter = prompts_->askText(this, "Set code", "Lead-head code of the current lead (A to M):", session_->fields().leadHeadCodeText);
    if (letter && letter->size() == 1) setCode((*letter)[0]);
}

void ComposerDialog::goToLead() {
    if (busy() || session_->composition() == nullptr) return;
    const auto text = prompts_->askText(this, "Go to lead", "Lead number (1 to " + std::to_string(leadLow_) + "):",
                                        std::to_string(session_->fields().leadNumber));
    if (!text) return;
    bool number = false;
    const int lead = QString::fromStdString(*text).trimmed().toInt(&number);
    if (number) makeCurrent(lead);
}

void ComposerDialog::editCalling() {
    if (busy()) return;
    std::string text = session_->callingText();
    for (;;) {
        const auto edited = prompts_->editText(this, "Calling", text);
        if (!edited) return;
        text = *edited;
        std::string why;
        bool applied = false;
        planCommand([&] { applied = session_->applyCalling(text, "Calling", why); });
        if (applied || why.empty()) return;
        showMessage("The calling does not read: " + why, MessageKind::Warning);
    }
}

void ComposerDialog::pasteCalling() {
    if (busy()) return;
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    std::string why;
    bool applied = false;
    planCommand([&] { applied = session_->applyCalling(text, "Paste", why); });
    if (!applied && !why.empty()) showMessage("The clipboard holds no composition that reads: " + why, MessageKind::Warning);
}

void ComposerDialog::showCourseView(bool on) {
    courseViewChosen_ = on;
    if (QAction* action = commandAction(QStringLiteral("courseViewAction"))) action->setChecked(on);
    if (session_->fields().viewChoice == 0) viewComposition();
}

void ComposerDialog::showMusicColumn(bool on) {
    display_->setMusicColumn(on);
    if (QAction* action = commandAction(QStringLiteral("musicColumnAction"))) action->setChecked(on);
}

void ComposerDialog::showDisplayExtras() {
    display_->setHeldMethods(session_->heldMethods());
    display_->setMusicTable(session_->musicTable());
}

void ComposerDialog::makeCurrent(int lead) {
    if (busy()) return;
    leadNumber_->setText(QString::number(std::clamp(lead, leadHigh_, leadLow_)));
    command(&ComposerSession::leadChanged);
}

void ComposerDialog::loadMusicAtStart() {
    if (QFileInfo::exists(QStringLiteral("major.mus"))) {
        session_->loadMusicFile("major.mus");
        showDisplayExtras();
        writeControlsNow();
    }
}

void ComposerDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layoutPane();
}

// The controls keep their places; the status text takes the height and the
// display (or the two diagrams) the rest of the room.
void ComposerDialog::layoutPane() {
    if (status_ == nullptr || display_ == nullptr) return;
    // What the window has more (or less) than the dialog's own size goes to
    // the pane and, in height, to the status text.
    const QSize full = dialogRect(0, 0, 522, 359).size();
    const int wider = width() - full.width();
    const int taller = height() - full.height();
    const auto grown = [&](QRect r, int across, int down) { return QRect(r.x(), r.y(), r.width() + across, r.height() + down); };
    status_->setGeometry(grown(dialogRect(0, 185, 143, 172), 0, taller));
    display_->setGeometry(grown(dialogRect(145, 0, 377, 358), wider, taller));
    if (courseView_ != nullptr) courseView_->setGeometry(display_->geometry());
    upper_->setGeometry(grown(dialogRect(145, 0, 377, 179), wider, taller / 2));
    lower_->setGeometry(grown(dialogRect(145, 179, 377, 179), wider, taller - taller / 2).translated(0, taller / 2));
}

void ComposerDialog::buildCommands() {
    // In the free space of the options, left of the View group.
    commandsButton_ = new QToolButton(this);
    commandsButton_->setObjectName(QStringLiteral("commandsButton"));
    commandsButton_->setText(QStringLiteral("More"));
    commandsButton_->setToolTip(QStringLiteral("More commands: Undo, Redo"));
    commandsButton_->setPopupMode(QToolButton::InstantPopup);
    commandsButton_->setGeometry(dialogRect(52, 146, 28, 14));
    commandsMenu_ = new QMenu(commandsButton_);
    commandsMenu_->setObjectName(QStringLiteral("commandsMenu"));
    commandsButton_->setMenu(commandsMenu_);

    undoAction_ = new QAction(QStringLiteral("Undo"), this);
    undoAction_->setObjectName(QStringLiteral("undoAction"));
    undoAction_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    redoAction_ = new QAction(QStringLiteral("Redo"), this);
    redoAction_->setObjectName(QStringLiteral("redoAction"));
    redoAction_->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    auto follow = [this] {
        undoAction_->setEnabled(undoStack_->canUndo());
        redoAction_->setEnabled(undoStack_->canRedo());
        undoAction_->setText(undoStack_->canUndo() ? QStringLiteral("Undo ") + undoStack_->undoText() : QStringLiteral("Undo"));
        redoAction_->setText(undoStack_->canRedo() ? QStringLiteral("Redo ") + undoStack_->redoText() : QStringLiteral("Redo"));
    };
    connect(undoStack_, &QUndoStack::indexChanged, this, follow);
    follow();
    connect(undoAction_, &QAction::triggered, this, &ComposerDialog::undo);
    connect(redoAction_, &QAction::triggered, this, &ComposerDialog::redo);
    commandsMenu_->addAction(undoAction_);
    commandsMenu_->addAction(redoAction_);
    addAction(undoAction_);
    addAction(redoAction_);

    auto* quitAction = new QAction(QStringLiteral("Quit"), this);
    quitAction->setObjectName(QStringLiteral("quitAction"));
    quitAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(quitAction, &QAction::triggered, this, &ComposerDialog::quit);
    addAction(quitAction);
}

void ComposerDialog::explainControls() {
    auto tip = [this](const char* id, const char* text) {
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(id))) w->setToolTip(QString::fromLatin1(text));
    };
    auto hint = [](QLineEdit* e, const char* text) { e->setPlaceholderText(QString::fromLatin1(text)); };
    hint(leadNumber_, "Lead");
    hint(leadHeadCode_, "Code");
    hint(methodName_, "Method name");
    hint(placeNotation_, "Place notation of the candidate");
    hint(leadMusic_, "Lead music");
    hint(candidateMusic_, "Candidate");
    hint(totalMusic_, "Total");
    status_->setPlaceholderText(QStringLiteral("Whether the candidate fits the lead, and which leads it is false against"));
    tip("1000", "Load a composition file (Ctrl+Z undoes it)");
    tip("1001", "Save the composition");
    tip("1019", "Export the lead heads as a text listing");
    tip("1027", "Export an input file for MicroSiril");
    tip("1020", "Quit Quarnel (Ctrl+Q); asks first when there are unsaved changes");
    tip("1005", "The current lead; the arrows (or Up and Down) step through the leads");
    tip("1022", "Up: towards lead 1; down: towards the last lead");
    tip("1006", "The lead-head code of the current lead");
    tip("1003", "Type a library method name, e.g. \"Cambridge\" or \"cambridge s\"; Enter applies it");
    tip("1004", "The candidate's place notation: the lead-head code letter, \"&\" and the half lead");
    tip("1007", "Find the next candidate that is true enough (Escape stops a search)");
    tip("1025", "Find a candidate that differs further back than Next would go");
    tip("1026", "Clear the candidate; the next search starts from the beginning");
    tip("1018", "Make the candidate the lead's method (asks before clearing leads it clashes with)");
    tip("1035", "Load a music file for scoring");
    tip("1036", "Music of the current lead with its present method");
    tip("1037", "Find a candidate with at least the lead's present music");
    tip("1038", "Music of the current lead with the candidate");
    tip("1011", "Only candidates with a library name");
    tip("1010", "The generator makes right-place methods only");
    tip("1015", "The generator makes methods with symmetric sections only");
    tip("1016", "The generator allows two places in a change");
    tip("1032", "Allow Surprise methods");
    tip("1033", "Allow Delight methods");
    tip("1034", "Allow Treble Bob methods");
    tip("1024", "The largest falseness a candidate may have: 1 for each lead it clashes with, 100 for lead heads and lead ends");
    tip("1028", "Show the composition, the current lead and the leads the candidate clashes with");
    tip("1029", "Show the line diagrams of the committed method and the candidate");
    tip("1039", "Music of the whole composition");
    tip("1023", "Whether the candidate fits the lead, and which leads it is false against");
}

void ComposerDialog::setTabOrder() {
    // Read-only fields take a click (to copy from) but no Tab stop; the lead
    // number with its arrows is one stop.
    for (QLineEdit* e : {leadHeadCode_, placeNotation_, leadMusic_, candidateMusic_, totalMusic_}) e->setFocusPolicy(Qt::ClickFocus);
    status_->setFocusPolicy(Qt::ClickFocus);
    for (auto* arrow : upDown_->findChildren<QToolButton*>()) arrow->setFocusPolicy(Qt::NoFocus);
    leadNumber_->setFocusPolicy(Qt::StrongFocus);
    const QList<QWidget*> order = {
        findChild<QWidget*>(QStringLiteral("1000")), findChild<QWidget*>(QStringLiteral("1001")),
        findChild<QWidget*>(QStringLiteral("1019")), findChild<QWidget*>(QStringLiteral("1027")),
        findChild<QWidget*>(QStringLiteral("1020")), leadNumber_, methodName_,
        findChild<QWidget*>(QStringLiteral("1007")), findChild<QWidget*>(QStringLiteral("1025")),
        findChild<QWidget*>(QStringLiteral("1026")), findChild<QWidget*>(QStringLiteral("1018")),
        findChild<QWidget*>(QStringLiteral("1035")), findChild<QWidget*>(QStringLiteral("1037")),
        named_, maxFalseness_, rightPlace_, symmetricSections_, twoPlaces_, viewCompositionButton_,
        viewMethodsButton_, surprise_, commandsButton_, delight_, trebleBob_};
    for (int i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

void ComposerDialog::fitToScreen(const QSize& available) {
    // Room for the window frame and title bar.
    const QSize room(available.width() - 16, available.height() - 40);
    const QSize full = dialogRect(0, 0, 522, 359).size();
    if (full.width() <= room.width() && full.height() <= room.height()) return;
    const int height = std::max(dialogRect(0, 0, 0, 230).height(), std::min(full.height(), room.height()));
    const int paneLeft = dialogRect(145, 0, 0, 0).x();
    const int width = std::max(paneLeft + dialogRect(0, 0, 120, 0).width(), std::min(full.width(), room.width()));
    resize(width, height);
    layoutPane();
}

bool ComposerDialog::busy() const { return writing_ || searchingNow(); }

// The session may be gone already while the dialog is taken down.
bool ComposerDialog::searchingNow() const { return session_ && session_->searching(); }

// ---- the two places that touch the controls ----

void ComposerDialog::readControls(DialogFields& f) {
    // While a search runs the fields are the truth: the controls lag behind.
    if (searchingNow()) return;
    f.methodName = methodName_->text().toStdString();
    f.namedOnly = named_->isChecked();
    f.leadHeadCodeText = leadHeadCode_->text().toStdString();
    f.twoPlaces = twoPlaces_->isChecked();
    f.rightPlace = rightPlace_->isChecked();
    f.symmetricSections = symmetricSections_->isChecked();
    bool number = false;
    // One message for one bad entry, however often a command reads.
    auto refuse = [this] {
        if (!validationShown_) showMessage("Please enter an integer.", MessageKind::Error);
        validationShown_ = true;
    };
    const int lead = leadNumber_->text().toInt(&number);
    if (!number) {
        refuse();
        return;
    }
    f.leadNumber = lead;
    const int maximum = maxFalseness_->text().toInt(&number);
    if (!number) {
        refuse();
        return;
    }
    f.maxFalseness = maximum;
    f.viewChoice = viewMethodsButton_->isChecked() ? 1 : 0;
    f.allowSurprise = surprise_->isChecked();
    f.allowDelight = delight_->isChecked();
    f.allowTrebleBob = trebleBob_->isChecked();
}

void ComposerDialog::writeControls(const DialogFields&) {
    if (searchingNow()) {
        controlsStale_ = true;
        return;
    }
    writeControlsNow();
}

void ComposerDialog::writeControlsNow() {
    const DialogFields& f = session_->fields();
    writing_ = true;
    auto set = [](QLineEdit* e, const QString& value) {
        if (e->text() != value) e->setText(value);
    };
    set(methodName_, text(f.methodName));
    named_->setChecked(f.namedOnly);
    set(leadHeadCode_, text(f.leadHeadCodeText));
    twoPlaces_->setChecked(f.twoPlaces);
    rightPlace_->setChecked(f.rightPlace);
    symmetricSections_->setChecked(f.symmetricSections);
    set(leadNumber_, QString::number(f.leadNumber));
    set(maxFalseness_, QString::number(f.maxFalseness));
    (f.viewChoice == 1 ? viewMethodsButton_ : viewCompositionButton_)->setChecked(true);
    surprise_->setChecked(f.allowSurprise);
    delight_->setChecked(f.allowDelight);
    trebleBob_->setChecked(f.allowTrebleBob);
    set(placeNotation_, text(f.placeNotationText));
    set(leadMusic_, QString::number(f.leadMusic));
    set(candidateMusic_, QString::number(f.candidateMusic));
    set(totalMusic_, QString::number(f.totalMusic));
    const QString status = searchingNow() ? statusLines(f.statusText) + searchRate_ : statusLines(f.statusText);
    if (status_->toPlainText() != status) status_->setPlainText(status);
    writing_ = false;
    controlsStale_ = false;
}

// ---- SessionView ----

std::optional<std::string> ComposerDialog::chooseFile(FileDialog kind, std::string_view defaultExtension,
                                                      const std::string& initialName, std::string_view title) {
    return prompts_->chooseFile(this, kind == FileDialog::Save, defaultExtension, initialName, title);
}

void ComposerDialog::showMessage(const std::string& message, MessageKind kind) { prompts_->showMessage(this, message, kind); }

SessionView::SaveChoice ComposerDialog::askSaveChanges(const std::string& question) {
    return prompts_->askSaveChanges(this, question);
}

void ComposerDialog::compositionChanged() {
    updateTitle();
    showDisplayExtras();
}

void ComposerDialog::recordChange(const CompositionChange& change) {
    undoStack_->push(new CompositionCommand(*session_, change));
}

void ComposerDialog::updateTitle() {
    const QString caption = QStringLiteral("Quarnel Composing Aid (Multi-Part)");
    if (!session_ || session_->composition() == nullptr) {
        setWindowTitle(caption);
        setWindowModified(false);
        return;
    }
    const QString file = QFileInfo(QString::fromStdString(session_->compositionFileName())).fileName();
    setWindowTitle(file + QStringLiteral("[*] - ") + caption);
    setWindowModified(session_->hasUnsavedChanges());
}
bool ComposerDialog::confirm(const std::string& question) { return prompts_->confirm(this, question); }
void ComposerDialog::beginWait() { QApplication::setOverrideCursor(Qt::WaitCursor); }
void ComposerDialog::endWait() { QApplication::restoreOverrideCursor(); }

void ComposerDialog::showComposition(const Composition* composition) {
    display_->setComposition(composition);
    if (composition != nullptr) showDisplayExtras();
    courseView_->setComposition(composition);
}

// The list is redrawn when control returns to the event loop, and during a
// search at every frame (searchStep): at most once every 16 ms either way.
void ComposerDialog::showCurrentLead(int lead) {
    display_->setCurrentLead(lead);
    courseView_->setCurrentLead(lead);
}

void ComposerDialog::showCommittedMethod(const Method* method) {
    pendingUpper_ = method;
    if (!searchingNow() || method == nullptr) upper_->showMethod(method);
}

void ComposerDialog::showCandidate(const Method* method) {
    pendingLower_ = method;
    if (!searchingNow() || method == nullptr) lower_->showMethod(method);
}

void ComposerDialog::setLeadRange(int low, int high) {
    leadLow_ = std::max(1, low);
    leadHigh_ = std::max(1, high);
}

bool ComposerDialog::searchStep() {
    ++searchSteps_;
    // At most one frame of drawing every 16 ms; in between only a clock read.
    if (frame_.elapsed() >= 16) {
        if (controlsStale_) {
            writing_ = true;
            writeControlsNow();
        }
        // After half a second, and then four times a second, how far it has got.
        const qint64 ran = searchClock_.elapsed();
        if (ran >= 500 && ran - rateShownAt_ >= 250) {
            rateShownAt_ = ran;
            const long rate = static_cast<long>(searchSteps_ * 1000 / std::max<qint64>(1, ran));
            searchRate_ = QStringLiteral("Searching: %1 candidates tried, %2 a second (Escape stops)\n").arg(searchSteps_).arg(rate);
            writing_ = true;
            writeControlsNow();
        }
        upper_->showMethod(pendingUpper_);
        lower_->showMethod(pendingLower_);
        display_->repaint();
        if (courseView_->isVisible()) courseView_->repaint();
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        frame_.restart();
    }
    return interruptRequested_;
}

// ---- commands ----

// Every command first reads the controls, so that what the composer set
// (an option ticked, a maximum typed) is what the command works with.
void ComposerDialog::runSearch(bool different, bool matchMusic) {
    if (busy()) return;
    validationShown_ = false;
    readControls(session_->fields());
    interruptRequested_ = false;
    if (!frame_.isValid()) frame_.start();
    searchClock_.start();
    rateShownAt_ = 0;
    searchSteps_ = 0;
    searchRate_.clear();
    lastSearchCandidates_ = session_->searchCandidates(different, matchMusic);
    upper_->showMethod(pendingUpper_);
    lower_->showMethod(pendingLower_);
    writeControlsNow();
    if (analysis_ != nullptr) analysis_->refresh();
}

void ComposerDialog::next() { runSearch(false, false); }
void ComposerDialog::different() { runSearch(true, false); }
void ComposerDialog::match() { runSearch(false, true); }

// A command of the session: not while a search runs, and always on what the
// controls show now.
void ComposerDialog::command(void (ComposerSession::*run)()) {
    if (busy()) return;
    validationShown_ = false;
    readControls(session_->fields());
    (session_.get()->*run)();
    if (analysis_ != nullptr) analysis_->refresh();
}

// The analysis window, opened by an action of its own; the dialog's layout
// stays as it is.
void ComposerDialog::installAnalysisCommand() {
    analysis_ = new AnalysisWindow(this, *session_);
    analysisAction_ = new QAction(QStringLiteral("Analysis"), this);
    analysisAction_->setObjectName(QStringLiteral("analysisAction"));
    analysisAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    analysisAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(analysisAction_);
    commandsMenu()->addAction(analysisAction_);
    connect(analysisAction_, &QAction::triggered, this, [this] {
        analysis_->show();
        analysis_->raise();
        analysis_->refresh();
    });
}

void ComposerDialog::clear() { command(&ComposerSession::clear); }
void ComposerDialog::ok() { command(&ComposerSession::ok); }
void ComposerDialog::load() { command(&ComposerSession::load); }
void ComposerDialog::save() { command(&ComposerSession::save); }
void ComposerDialog::exportText() { command(&ComposerSession::exportText); }
void ComposerDialog::microSiril() { command(&ComposerSession::exportMicroSiril); }
void ComposerDialog::music() {
    command(&ComposerSession::music);
    showDisplayExtras();
}

void ComposerDialog::quit() {
    if (searchingNow()) {
        interruptRequested_ = true;
        return;
    }
    if (!mayClose()) return;
    closing_ = true;
    accept();
}

// Unsaved changes are saved or given up, or the closing is cancelled.
bool ComposerDialog::mayClose() {
    if (busy()) return false;
    return session_->confirmDiscardChanges();
}

void ComposerDialog::commitData(QSessionManager& manager) {
    if (!session_->hasUnsavedChanges()) return;
    if (!manager.allowsInteraction()) return;
    const bool mayEnd = mayClose();
    manager.release();
    if (!mayEnd) manager.cancel();
}

void ComposerDialog::undo() {
    if (!busy()) undoStack_->undo();
}

void ComposerDialog::redo() {
    if (!busy()) undoStack_->redo();
}

void ComposerDialog::openAtStart(const std::string& path) {
    session_->loadFile(path);
    // What was loaded at start is not a change to undo.
    undoStack_->clear();
    updateTitle();
}

void ComposerDialog::viewComposition() {
    upper_->hide();
    lower_->hide();
    display_->setVisible(!courseViewChosen_ || courseView_ == nullptr);
    if (courseView_ != nullptr) courseView_->setVisible(courseViewChosen_);
    session_->fields().viewChoice = 0;
    if (!viewCompositionButton_->isChecked()) viewCompositionButton_->setChecked(true);
}

void ComposerDialog::viewMethods() {
    upper_->show();
    lower_->show();
    display_->hide();
    if (courseView_ != nullptr) courseView_->hide();
    session_->fields().viewChoice = 1;
    if (!viewMethodsButton_->isChecked()) viewMethodsButton_->setChecked(true);
}

void ComposerDialog::stepLead(int towardsLast) {
    if (busy()) return;
    const int last = leadLow_;
    int lead = session_->fields().leadNumber;
    bool number = false;
    const int shown = leadNumber_->text().toInt(&number);
    if (number) lead = shown;
    lead += towardsLast;
    if (lead > last) lead = leadHigh_;
    if (lead < leadHigh_) lead = last;
    leadNumber_->setText(QString::number(lead));
    command(&ComposerSession::leadChanged);
}

void ComposerDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        // Escape stops a running search and does nothing else: it never
        // closes the dialog, so one meant for a search that has just ended
        // loses nothing.
        if (searchingNow()) interruptRequested_ = true;
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // Enter presses the focused button, applies the name, takes the
        // number; it never closes the dialog.
        if (busy()) return;
        QWidget* focus = focusWidget();
        if (auto* button = qobject_cast<QAbstractButton*>(focus)) {
            button->click();
        } else if (focus == methodName_) {
            command(&ComposerSession::applyName);
        } else if (focus == maxFalseness_ || focus == leadNumber_) {
            command(&ComposerSession::refreshFromModel);
        }
        return;
    }
    default:
        QDialog::keyPressEvent(event);
    }
}

void ComposerDialog::closeEvent(QCloseEvent* event) {
    if (searchingNow()) {
        interruptRequested_ = true;
        event->ignore();
        return;
    }
    // Asks through reject(), as the close button does.
    QDialog::closeEvent(event);
}

void ComposerDialog::reject() {
    // The window's close button and the window system end the dialog
    // through here: the same question as Quit.
    if (searchingNow()) {
        interruptRequested_ = true;
        return;
    }
    if (!closing_ && !mayClose()) return;
    closing_ = true;
    QDialog::reject();
}

bool ComposerDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // A field with no text edit to undo (or redo) leaves Ctrl+Z (and
        // Ctrl+Shift+Z) to the composition's undo; otherwise it takes them.
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool undoKey = key->matches(QKeySequence::Undo) || key->keyCombination() == undoAction_->shortcut()[0];
            const bool redoKey = key->matches(QKeySequence::Redo) || key->keyCombination() == redoAction_->shortcut()[0];
            if ((undoKey && !edit->isUndoAvailable()) || (redoKey && !edit->isRedoAvailable())) return true;
        }
    }
    if (watched == leadNumber_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up) {
            stepLead(-1);
            return true;
        }
        if (key->key() == Qt::Key_Down) {
            stepLead(1);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quarnel
