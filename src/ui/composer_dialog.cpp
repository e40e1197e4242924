#include "ui/composer_dialog.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
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
#include <QToolButton>

#include "methods/method_library.h"
#include "ui/diagram_window.h"
#include "ui/fill_window.h"
#include "ui/display_window.h"

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

}  // namespace

ComposerDialog::ComposerDialog(QWidget* parent, Prompts* prompts, const std::string& libraryFolder)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), prompts_(prompts) {
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
    MethodLibrary& library = MethodLibrary::instance();
    if (library.size() == 0) readLibraryFiles(library, libraryFolder);
    QApplication::restoreOverrideCursor();

    session_ = std::make_unique<ComposerSession>(static_cast<SessionView&>(*this), library);
    buildControls();
    installFillCommand();
    writeControlsNow();
    viewComposition();
}

void ComposerDialog::installFillCommand() {
    auto* action = new QAction(tr("Fill"), this);
    action->setObjectName(QStringLiteral("fill"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    addAction(action);
    connect(action, &QAction::triggered, this, &ComposerDialog::fill);
}

void ComposerDialog::fill() {
    if (busy() || session_->composition() == nullptr) return;
    readControls(session_->fields());
    FillWindow window(*session_, MethodLibrary::instance(), this);
    if (!window.start()) return;
    window.exec();
    writeControlsNow();
}

ComposerDialog::~ComposerDialog() {
    session_.reset();
}

QRect ComposerDialog::dialogRect(int x, int y, int width, int height) const {
    return QRect(x * baseX_ / 4, y * baseY_ / 8, width * baseX_ / 4, height * baseY_ / 8);
}

void ComposerDialog::buildControls() {
    setFixedSize(dialogRect(0, 0, 522, 359).size());
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
    const int lead = leadNumber_->text().toInt(&number);
    if (!number) {
        showMessage("Please enter an integer.");
        return;
    }
    f.leadNumber = lead;
    const int maximum = maxFalseness_->text().toInt(&number);
    if (!number) {
        showMessage("Please enter an integer.");
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
    const QString status = statusLines(f.statusText);
    if (status_->toPlainText() != status) status_->setPlainText(status);
    writing_ = false;
    controlsStale_ = false;
}

// ---- SessionView ----

std::optional<std::string> ComposerDialog::chooseFile(FileDialog kind, std::string_view defaultExtension,
                                                      const std::string& initialName) {
    return prompts_->chooseFile(this, kind == FileDialog::Save, defaultExtension, initialName);
}

void ComposerDialog::showMessage(const std::string& message) { prompts_->showMessage(this, message); }
bool ComposerDialog::confirm(const std::string& question) { return prompts_->confirm(this, question); }
void ComposerDialog::beginWait() { QApplication::setOverrideCursor(Qt::WaitCursor); }
void ComposerDialog::endWait() { QApplication::restoreOverrideCursor(); }

void ComposerDialog::showComposition(const Composition* composition) { display_->setComposition(composition); }

// The list is redrawn when control returns to the event loop, and during a
// search at every frame (searchStep): at most once every 16 ms either way.
void ComposerDialog::showCurrentLead(int lead) { display_->setCurrentLead(lead); }

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
    // At most one frame of drawing every 16 ms; in between only a clock read.
    if (frame_.elapsed() >= 16) {
        if (controlsStale_) {
            writing_ = true;
            writeControlsNow();
        }
        upper_->showMethod(pendingUpper_);
        lower_->showMethod(pendingLower_);
        display_->repaint();
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
    readControls(session_->fields());
    interruptRequested_ = false;
    if (!frame_.isValid()) frame_.start();
    lastSearchCandidates_ = session_->searchCandidates(different, matchMusic);
    upper_->showMethod(pendingUpper_);
    lower_->showMethod(pendingLower_);
    writeControlsNow();
}

void ComposerDialog::next() { runSearch(false, false); }
void ComposerDialog::different() { runSearch(true, false); }
void ComposerDialog::match() { runSearch(false, true); }

// A command of the session: not while a search runs, and always on what the
// controls show now.
void ComposerDialog::command(void (ComposerSession::*run)()) {
    if (busy()) return;
    readControls(session_->fields());
    (session_.get()->*run)();
}

void ComposerDialog::clear() { command(&ComposerSession::clear); }
void ComposerDialog::ok() { command(&ComposerSession::ok); }
void ComposerDialog::load() { command(&ComposerSession::load); }
void ComposerDialog::save() { command(&ComposerSession::save); }
void ComposerDialog::exportText() { command(&ComposerSession::exportText); }
void ComposerDialog::microSiril() { command(&ComposerSession::exportMicroSiril); }
void ComposerDialog::music() { command(&ComposerSession::music); }

void ComposerDialog::quit() {
    if (searchingNow()) {
        interruptRequested_ = true;
        return;
    }
    accept();
}

void ComposerDialog::viewComposition() {
    upper_->hide();
    lower_->hide();
    display_->show();
    session_->fields().viewChoice = 0;
    if (!viewCompositionButton_->isChecked()) viewCompositionButton_->setChecked(true);
}

void ComposerDialog::viewMethods() {
    upper_->show();
    lower_->show();
    display_->hide();
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
        // Escape stops a running search; otherwise it ends the dialog.
        if (searchingNow())
            interruptRequested_ = true;
        else
            reject();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!searchingNow()) accept();
        return;
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
    QDialog::closeEvent(event);
}

bool ComposerDialog::eventFilter(QObject* watched, QEvent* event) {
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
