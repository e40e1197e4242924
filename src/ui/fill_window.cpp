#include "ui/fill_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "composition/composition.h"
#include "methods/method_library.h"
#include "session/composer_session.h"
#include "ringing/model_error.h"
#include "session/fill_choices.h"
#include "session/fill_preview.h"
#include "ui/display_window.h"
#include "ui/fill_options_panel.h"

namespace quarnel {

FillWindow::FillWindow(ComposerSession& session, const MethodLibrary& library, QWidget* parent)
    : QDialog(parent), session_(session), library_(library) {
    setWindowTitle(tr("Fill"));
    setModal(true);
    auto* form = new QFormLayout;
    bestMusic_ = new QLabel(QStringLiteral("-"), this);
    speed_ = new QLabel(QStringLiteral("0"), this);
    elapsed_ = new QLabel(QStringLiteral("0.0 s"), this);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("fillStatus"));
    status_->setWordWrap(true);
    form->addRow(tr("Best music"), bestMusic_);
    form->addRow(tr("Nodes/s"), speed_);
    form->addRow(tr("Elapsed"), elapsed_);
    methods_ = new QPlainTextEdit(this);
    methods_->setReadOnly(true);
    options_ = new FillOptionsPanel(this);
    options_->hide();
    start_ = new QPushButton(tr("Start"), this);
    start_->setObjectName(QStringLiteral("fillStart"));
    start_->hide();
    quiet_ = new QLabel(this);
    quiet_->setObjectName(QStringLiteral("fillQuiet"));
    stop_ = new QPushButton(tr("Stop"), this);
    take_ = new QPushButton(tr("Take"), this);
    leave_ = new QPushButton(tr("Leave"), this);
    take_->setEnabled(false);
    leave_->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addStretch();
    buttons->addWidget(take_);
    buttons->addWidget(leave_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(options_);
    layout->addLayout(form);
    layout->addWidget(quiet_);
    layout->addWidget(status_);
    layout->addWidget(methods_);
    layout->addLayout(buttons);
    connect(start_, &QPushButton::clicked, this, &FillWindow::start);
    connect(stop_, &QPushButton::clicked, this, &FillWindow::stop);
    connect(take_, &QPushButton::clicked, this, &FillWindow::take);
    connect(leave_, &QPushButton::clicked, this, &FillWindow::leave);
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &FillWindow::poll);
}

FillWindow::~FillWindow() {
    runner_.stop();
    runner_.wait();
    restoreDisplay();
}

QString FillWindow::cutNote() const {
    const fill::FillProblem* p = runner_.problem();
    if (p == nullptr || p->cutCodes().empty()) return QString();
    return tr("\nCandidates: the first %1 generator methods only, for lead-head codes %2")
        .arg(fill::FillOptions::DefaultGeneratorLimit)
        .arg(QString::fromStdString(p->cutCodes()));
}

bool FillWindow::prepare() {
    const Composition* c = session_.composition();
    if (c == nullptr) return false;
    options_->setMethodNames(methodNamesOfPlan(*c, library_));
    options_->show();
    start_->show();
    start_->setDefault(true);
    stop_->setEnabled(false);
    return true;
}

bool FillWindow::start() {
    const Composition* c = session_.composition();
    if (c == nullptr) return false;
    if (runner_.running()) return false;
    const fill::FillOptions options = fillOptionsOf(session_.fields(), options_->choices());
    try {
        if (!runner_.start(*c, library_, session_.musicTable(), options)) return false;
    } catch (const ModelError& e) {
        // Choices no fill can keep: the last fill, if any, stays to take.
        status_->setText(QString::fromStdString(e.what()));
        return false;
    }
    noFillText_ = fill::noTrueFillText(options.constraints);
    // A search started again after one ended: the last one's fill and its
    // preview go.
    restoreDisplay();
    result_.reset();
    methods_->clear();
    bestMusic_->setText(QStringLiteral("-"));
    take_->setEnabled(false);
    options_->setEnabled(false);
    start_->setEnabled(false);
    stop_->setEnabled(true);
    // While it runs the window is only stopped; Take and Leave come back
    // when it ends.
    leave_->setEnabled(false);
    lastBest_ = 0;
    lastGain_ = 0;
    status_->setText(tr("Searching") + cutNote());
    placeClearOfDisplay();
    timer_->start();
    return true;
}

void FillWindow::placeClearOfDisplay() {
    const QScreen* screen = display_ ? display_->screen() : nullptr;
    if (screen == nullptr) return;
    adjustSize();
    const QRect shown(display_->mapToGlobal(QPoint(0, 0)), display_->size());
    const QRect area = screen->availableGeometry();
    const QSize size = frameGeometry().size();
    QPoint at;
    if (shown.right() + size.width() <= area.right())
        at = QPoint(shown.right() + 1, shown.top());
    else if (shown.left() - size.width() >= area.left())
        at = QPoint(shown.left() - size.width(), shown.top());
    else
        return;  // no room beside it: the window stays centred on the dialog
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    move(at);
}

void FillWindow::poll() {
    const fill::FillProgress p = runner_.progress();
    bestMusic_->setText(QString::fromStdString(bestMusicText(p.haveFill, p.bestMusic, p.haveBound, p.bound)));
    speed_->setText(QString::number(p.nodesPerSecond, 'f', 0));
    elapsed_->setText(QString::number(p.elapsedSeconds, 'f', 1) + QStringLiteral(" s"));
    // How long the best music has stood still, so the composer knows when
    // to stop: shown after ten seconds without a gain.
    if (p.haveFill && (p.bestScore != lastBest_ || lastGain_ == 0)) {
        lastBest_ = p.bestScore;
        lastGain_ = p.elapsedSeconds;
    }
    const double still = p.elapsedSeconds - lastGain_;
    quiet_->setText(p.haveFill && still >= 10 ? tr("No better fill for %1 s").arg(static_cast<int>(still)) : QString());
    if (!runner_.running()) finish();
}

void FillWindow::finish() {
    timer_->stop();
    quiet_->clear();
    result_ = runner_.wait();
    stop_->setEnabled(false);
    leave_->setEnabled(true);
    // The options are the composer's again: change them and Start again.
    options_->setEnabled(true);
    start_->setEnabled(true);
    if (!result_) return;
    if (runner_.problem() && runner_.problem()->leadCount() == 0) {
        status_->setText(tr("Every lead has a method: nothing to fill"));
        return;
    }
    switch (runner_.problem() ? fill::reportedStatus(*runner_.problem(), *result_) : result_->status) {
    case fill::FillStatus::Optimal: status_->setText(tr("Best fill found: no true fill has more music")); break;
    case fill::FillStatus::LimitReached: status_->setText(tr("Best fill so far: the search did not finish")); break;
    case fill::FillStatus::NoTrueFill: status_->setText(QString::fromStdString(noFillText_)); break;
    case fill::FillStatus::NoFillWithinLimits: status_->setText(tr("No fill found within the limits")); break;
    case fill::FillStatus::ImpossibleLead:
        status_->setText(tr("Lead %1 has no candidate").arg(result_->impossibleLead));
        break;
    }
    status_->setText(status_->text() + cutNote());
    QString text;
    for (const auto& [lead, notation] : result_->methods) {
        const std::string& name = library_.nameOf(notation);
        text += QString::number(lead) + QStringLiteral("  ") + QString::fromStdString(name.empty() ? notation : name) +
                QStringLiteral("\n");
    }
    methods_->setPlainText(text);
    if (result_->status == fill::FillStatus::Optimal || result_->status == fill::FillStatus::LimitReached) {
        bestMusic_->setText(
            QString::fromStdString(bestMusicText(true, result_->music, result_->haveBound, result_->bound)));
        take_->setEnabled(true);
        take_->setDefault(true);
        showPreview();
    }
}

void FillWindow::showPreview() {
    const Composition* live = session_.composition();
    if (!display_ || live == nullptr || !result_) return;
    preview_ = previewComposition(*live, library_, *result_);
    if (!preview_) return;
    // No candidate is tried on the copy: no lead is marked as the current one.
    shownLead_ = display_->currentLead();
    display_->setCurrentLead(0);
    display_->setCaption(tr("Fill preview"));
    display_->setComposition(preview_.get());
    // With the methods in view the list is hidden: it shows over them until
    // the window closes.
    hideDisplayAfter_ = display_->isHidden();
    if (hideDisplayAfter_) {
        display_->show();
        display_->raise();
    }
    status_->setText(status_->text() + QStringLiteral("\n") +
                     tr("Showing the fill in the display window; Take keeps it, Leave restores the composition"));
}

void FillWindow::restoreDisplay() {
    if (!preview_) return;
    if (display_) {
        display_->setComposition(session_.composition());
        display_->setCaption(QString());
        display_->setCurrentLead(shownLead_);
        if (hideDisplayAfter_) display_->hide();
    }
    preview_.reset();
}

void FillWindow::stop() { runner_.stop(); }

void FillWindow::take() {
    if (!result_ || !take_->isEnabled()) return;
    restoreDisplay();
    session_.takeFill(result_->methods);
    accept();
}

void FillWindow::leave() { QDialog::reject(); }

void FillWindow::reject() {
    // While the search runs the window can only be stopped.
    if (runner_.running()) {
        stop();
        return;
    }
    QDialog::reject();
}

void FillWindow::done(int result) {
    restoreDisplay();
    QDialog::done(result);
}

}  // namespace quarnel
