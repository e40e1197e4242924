#include "ui/compose_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "composition/composition.h"
#include "methods/method_library.h"
#include "ringing/model_error.h"
#include "session/composer_session.h"
#include "ui/display_window.h"
#include "ui/fill_options_panel.h"

namespace quarnel {

ComposeWindow::ComposeWindow(ComposerSession& session, const MethodLibrary& library, QWidget* parent)
    : QDialog(parent), session_(session), library_(library) {
    setWindowTitle(tr("Compose"));
    setModal(true);
    setSizeGripEnabled(true);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    inputs_ = buildInputs();
    scroll->setWidget(inputs_);
    // As wide as the inputs need: only the height scrolls.
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setMinimumWidth(inputs_->minimumSizeHint().width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                            2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    panes_ = new QSplitter(Qt::Horizontal, this);
    panes_->setChildrenCollapsible(false);
    panes_->addWidget(scroll);
    panes_->addWidget(buildResults());
    panes_->setStretchFactor(0, 0);
    panes_->setStretchFactor(1, 1);

    start_ = new QPushButton(tr("Start"), this);
    start_->setObjectName(QStringLiteral("composeStart"));
    start_->setToolTip(tr("Search for compositions of these inputs"));
    stop_ = new QPushButton(tr("Stop"), this);
    stop_->setToolTip(tr("End the search; the compositions found stay listed"));
    stop_->setEnabled(false);
    use_ = new QPushButton(tr("Use"), this);
    use_->setToolTip(tr("Make the chosen composition the composition (Ctrl+Z in the dialog takes it back)"));
    use_->setEnabled(false);
    close_ = new QPushButton(tr("Close"), this);
    close_->setToolTip(tr("Close the window, stopping a search; its inputs and list stay for next time"));
    start_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addStretch();
    buttons->addWidget(use_);
    buttons->addWidget(close_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panes_, 1);
    layout->addLayout(buttons);

    connect(start_, &QPushButton::clicked, this, &ComposeWindow::start);
    connect(stop_, &QPushButton::clicked, this, &ComposeWindow::stop);
    connect(use_, &QPushButton::clicked, this, &ComposeWindow::use);
    connect(close_, &QPushButton::clicked, this, &ComposeWindow::reject);
    connect(list_, &QListWidget::currentRowChanged, this, &ComposeWindow::choose);
    connect(list_, &QListWidget::itemActivated, this, [this] { use(); });
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, &ComposeWindow::poll);
}

ComposeWindow::~ComposeWindow() {
    runner_.stop();
    runner_.wait();
    restoreDisplay(shownLead_);
}

QWidget* ComposeWindow::buildInputs() {
    auto* inputs = new QWidget(this);
    length_ = new QLineEdit(QStringLiteral("qp"), inputs);
    length_->setObjectName(QStringLiteral("composeLength"));
    length_->setToolTip(tr("The changes: qp (1250-1300), peal (5000-5200), MIN-MAX or a number"));
    parts_ = new QLineEdit(QStringLiteral("1"), inputs);
    parts_->setObjectName(QStringLiteral("composeParts"));
    parts_->setToolTip(tr("A number of parts (every part end of that order with the treble, 7 and 8 home is tried), "
                          "or a part end such as 12435678"));
    calls_ = new QComboBox(inputs);
    calls_->addItem(tr("Bobs"));
    calls_->addItem(tr("Bobs, singles"));
    calls_->setToolTip(tr("The calls: 14 bobs, or 14 bobs and 1234 singles"));
    splice_ = new QComboBox(inputs);
    splice_->addItem(tr("Every lead"));
    splice_->addItem(tr("At calls"));
    splice_->setToolTip(tr("Where the method may change: at every lead end, or only at a lead end with a call"));
    tenors_ = new QCheckBox(tr("Tenors together"), inputs);
    tenors_->setChecked(true);
    tenors_->setToolTip(tr("Every lead head has the 7 coursing after the 8, so the course heads have the tenors home"));
    count_ = new QSpinBox(inputs);
    count_->setRange(1, 1000);
    count_->setValue(10);
    count_->setToolTip(tr("How many of the best compositions to keep"));
    onePerCalling_ = new QCheckBox(tr("O&ne per calling"), inputs);
    onePerCalling_->setObjectName(QStringLiteral("composeOnePerCalling"));
    onePerCalling_->setToolTip(tr("Keep only the best methods of each calling, so that the compositions listed differ in their calls"));
    // Two inputs a row, so that the methods to tick start high up.
    auto* form = new QGridLayout;
    const auto pair = [&](int row, int column, const QString& label, QWidget* field) {
        auto* name = new QLabel(label, inputs);
        name->setBuddy(field);
        form->addWidget(name, row, column * 2);
        form->addWidget(field, row, column * 2 + 1);
    };
    pair(0, 0, tr("&Length"), length_);
    pair(0, 1, tr("&Parts"), parts_);
    pair(1, 0, tr("&Calls"), calls_);
    pair(1, 1, tr("&Splice"), splice_);
    form->addWidget(tenors_, 2, 0, 1, 2);
    pair(2, 1, tr("C&ompositions"), count_);
    form->addWidget(onePerCalling_, 3, 2, 1, 2);
    form->setColumnStretch(1, 1);
    form->setColumnStretch(3, 1);

    ticked_ = new QLabel(inputs);
    ticked_->setObjectName(QStringLiteral("composeTicked"));
    ticked_->setWordWrap(true);
    options_ = new FillOptionsPanel(inputs);
    options_->offerRefill(false);
    options_->setMethodNames(libraryMethodNames(library_));
    connect(options_->methodList(), &QListWidget::itemChanged, this, &ComposeWindow::showTicked);
    showTicked();

    auto* layout = new QVBoxLayout(inputs);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(form);
    layout->addWidget(ticked_);
    layout->addWidget(options_, 1);
    return inputs;
}

QWidget* ComposeWindow::buildResults() {
    auto* results = new QWidget(this);
    nodes_ = new QLabel(QStringLiteral("0"), results);
    found_ = new QLabel(QStringLiteral("0"), results);
    bestMusic_ = new QLabel(QStringLiteral("-"), results);
    elapsed_ = new QLabel(QStringLiteral("0.0 s"), results);
    // Two rows of two, so that the list keeps the height.
    auto* progress = new QGridLayout;
    progress->addWidget(new QLabel(tr("Nodes"), results), 0, 0);
    progress->addWidget(nodes_, 0, 1);
    progress->addWidget(new QLabel(tr("Elapsed"), results), 0, 2);
    progress->addWidget(elapsed_, 0, 3);
    progress->addWidget(new QLabel(tr("Found"), results), 1, 0);
    progress->addWidget(found_, 1, 1);
    progress->addWidget(new QLabel(tr("Best music"), results), 1, 2);
    progress->addWidget(bestMusic_, 1, 3);
    progress->setColumnStretch(1, 1);
    progress->setColumnStretch(3, 1);
    status_ = new QLabel(results);
    status_->setObjectName(QStringLiteral("composeStatus"));
    status_->setWordWrap(true);
    status_->hide();
    list_ = new QListWidget(results);
    list_->setObjectName(QStringLiteral("composeList"));
    list_->setToolTip(tr("The compositions found, best first; choose one to see it in the display window"));
    list_->setMinimumHeight(fontMetrics().height() * 4);
    // A line wraps rather than hiding its calling past the window's edge.
    list_->setWordWrap(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setAlternatingRowColors(true);
    auto* layout = new QVBoxLayout(results);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(progress);
    layout->addWidget(status_);
    layout->addWidget(list_, 1);
    return results;
}

void ComposeWindow::say(const QString& text) {
    status_->setText(text);
    status_->setVisible(!text.isEmpty());
}

void ComposeWindow::showTicked() {
    QStringList names;
    const QListWidget* list = options_->methodList();
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked) names << list->item(i)->text();
    if (names.isEmpty())
        ticked_->setText(tr("None ticked: the named methods of the dialog's classes"));
    else
        ticked_->setText((names.size() == 1 ? tr("1 method: ") : tr("%1 methods: ").arg(names.size())) +
                         names.join(QStringLiteral(", ")));
}

ComposeChoices ComposeWindow::choices() const {
    ComposeChoices c;
    const FillChoices panel = options_->choices();
    c.constraints = panel.constraints;
    c.timeLimitSeconds = panel.timeLimitSeconds;
    c.length = length_->text().toStdString();
    c.parts = parts_->text().toStdString();
    c.calls = calls_->currentIndex() == 1 ? compose::CallSet::BobsAndSingles : compose::CallSet::Bobs;
    c.splice = splice_->currentIndex() == 1 ? compose::Splice::AtCalls : compose::Splice::EveryLead;
    c.tenorsTogether = tenors_->isChecked();
    c.count = count_->value();
    c.onePerCalling = onePerCalling_->isChecked();
    return c;
}

void ComposeWindow::setInputsEnabled(bool enabled) {
    inputs_->setEnabled(enabled);
    start_->setEnabled(enabled);
    stop_->setEnabled(!enabled);
}

bool ComposeWindow::start() {
    if (runner_.running()) return false;
    std::string why;
    const std::optional<compose::ComposeOptions> options = composeOptionsOf(session_.fields(), choices(), why);
    if (!options) {
        say(QString::fromStdString(why));
        return false;
    }
    // The tables are built here before the search starts: a peal of many
    // methods takes a moment.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool started = false;
    try {
        started = runner_.start(library_, session_.musicTable(), *options);
    } catch (const ModelError& e) {
        QApplication::restoreOverrideCursor();
        say(QString::fromStdString(e.what()));
        return false;
    }
    QApplication::restoreOverrideCursor();
    if (!started) return false;
    restoreDisplay(shownLead_);
    chosen_.clear();
    use_->setEnabled(false);
    showCompositions({});
    setInputsEnabled(false);
    QString text = tr("Composing");
    if (session_.musicTable() == nullptr) text += tr(" (no music file loaded: every composition has music 0)");
    say(text);
    poll();
    timer_->start();
    return true;
}

void ComposeWindow::stop() { runner_.stop(); }

void ComposeWindow::poll() {
    const compose::ComposeProgress p = runner_.progress();
    nodes_->setText(tr("%1 (%2/s)").arg(p.nodes).arg(p.nodesPerSecond, 0, 'f', 0));
    found_->setText(QString::number(p.found));
    bestMusic_->setText(p.haveComposition ? QString::number(p.bestMusic) : QStringLiteral("-"));
    elapsed_->setText(QString::number(p.elapsedSeconds, 'f', 1) + QStringLiteral(" s"));
    if (!runner_.running()) {
        finish();
        return;
    }
    showCompositions(runner_.compositions());
}

void ComposeWindow::finish() {
    timer_->stop();
    const std::optional<compose::ComposeResult> result = runner_.wait();
    setInputsEnabled(true);
    if (!result) return;
    showCompositions(result->compositions);
    found_->setText(QString::number(result->found));
    nodes_->setText(QString::number(result->nodes));
    elapsed_->setText(QString::number(result->elapsedSeconds, 'f', 1) + QStringLiteral(" s"));
    if (!result->compositions.empty()) bestMusic_->setText(QString::number(result->compositions.front().music));
    switch (result->status) {
    case compose::ComposeStatus::Complete:
        ended_ = tr("Searched to the end: no composition of these inputs is better than those listed");
        break;
    case compose::ComposeStatus::LimitReached:
        ended_ = tr("The best compositions found before the search stopped");
        break;
    case compose::ComposeStatus::NoComposition:
        ended_ = tr("Searched to the end: no true composition keeps these inputs");
        break;
    case compose::ComposeStatus::NoneWithinLimits:
        ended_ = tr("No composition found before the search stopped");
        break;
    }
    say(ended_ + (!result->compositions.empty() && chosen_.empty() ? tr("; choose one to see it") : QString()));
}

void ComposeWindow::showCompositions(const std::vector<compose::FoundComposition>& found) {
    const bool same = std::equal(found.begin(), found.end(), listed_.begin(), listed_.end(),
                                 [](const auto& a, const auto& b) { return a.fileText == b.fileText; });
    if (same) return;
    listed_ = found;
    const QSignalBlocker quiet(list_);
    list_->clear();
    int chosenRow = -1;
    for (std::size_t i = 0; i < listed_.size(); ++i) {
        const compose::FoundComposition& f = listed_[i];
        auto* item = new QListWidgetItem(QString::number(i + 1) + QStringLiteral(". ") + QString::fromStdString(composedLine(f)), list_);
        QString tip;
        for (const auto& [name, changes] : f.methods)
            tip += QString::fromStdString(name) + QStringLiteral(" ") + QString::number(changes) + QStringLiteral("\n");
        tip += tr("%1 bobs, %2 singles a part").arg(f.bobs).arg(f.singles);
        item->setToolTip(tip);
        if (f.fileText == chosen_) chosenRow = static_cast<int>(i);
    }
    // The composition shown stays shown (and Use takes it) even when better
    // ones push it off the list.
    list_->setCurrentRow(chosenRow);
    if (!chosen_.empty() && chosenRow < 0)
        say(tr("The composition shown has left the list for better ones; Use still takes it"));
}

void ComposeWindow::choose(int row) {
    if (row < 0 || row >= static_cast<int>(listed_.size())) return;
    const std::string& text = listed_[static_cast<std::size_t>(row)].fileText;
    std::unique_ptr<Composition> shown = composedComposition(text, library_);
    if (!shown) {
        say(tr("This composition does not read back: it cannot be shown or used"));
        return;
    }
    chosen_ = text;
    use_->setEnabled(true);
    if (!runner_.running()) say(ended_ + tr("; number %1 is shown in the display window").arg(row + 1));
    if (!display_) {
        preview_ = std::move(shown);
        return;
    }
    if (!preview_) {
        shownLead_ = display_->currentLead();
        hideDisplayAfter_ = display_->isHidden();
    }
    display_->setCurrentLead(0);
    display_->setCaption(tr("Compose preview: %1").arg(QString::fromStdString(composedLine(listed_[static_cast<std::size_t>(row)]))));
    display_->setComposition(shown.get());
    // The old copy goes only once the display no longer shows it.
    preview_ = std::move(shown);
    if (display_->isHidden()) {
        display_->show();
        display_->raise();
    }
}

void ComposeWindow::restoreDisplay(int lead) {
    if (!preview_) return;
    if (display_) {
        display_->setComposition(session_.composition());
        display_->setCaption(QString());
        display_->setCurrentLead(lead);
        if (hideDisplayAfter_) display_->hide();
    }
    preview_.reset();
}

void ComposeWindow::use() {
    if (chosen_.empty()) return;
    // Asks about unsaved changes first; the preview stays while it asks.
    if (!session_.useComposition(chosen_)) return;
    hideDisplayAfter_ = false;
    restoreDisplay(session_.fields().leadNumber);
    chosen_.clear();
    use_->setEnabled(false);
    list_->setCurrentRow(-1);
    accept();
}

void ComposeWindow::placeClearOfDisplay() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    // The window manager's frame, or before it has framed the window a
    // title bar's height.
    QSize frame = frameGeometry().size() - geometry().size();
    if (frame.isEmpty()) frame = QSize(0, style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const bool displayShown = display_ && display_->isVisible();
    const QRect shown = displayShown ? QRect(display_->mapToGlobal(QPoint(0, 0)), display_->size()) : QRect();
    if (!sized_) {
        sized_ = true;
        const QSize wanted = sizeHint() + frame;
        const bool room = !displayShown || shown.right() + wanted.width() <= area.right() ||
                          shown.left() - wanted.width() >= area.left();
        if (room) {
            resize(sizeHint().boundedTo(area.size() - frame));
        } else {
            // No room beside the display: the inputs above the list, as
            // tall as the screen, leaving the display's first third
            // (its first column of leads) in view when the inputs allow.
            atScreenEdge_ = true;
            panes_->setOrientation(Qt::Vertical);
            layout()->invalidate();
            layout()->activate();
            const int keep = shown.left() + shown.width() / 3;
            const int width = std::min(area.width(), std::max(minimumSizeHint().width() + frame.width(), area.right() + 1 - keep));
            resize(QSize(width, area.height()) - frame);
            // The inputs take a little more than half, once the layout has
            // given the panes the window's height.
            QTimer::singleShot(0, this, [this] {
                const int height = panes_->height();
                panes_->setSizes({height * 11 / 20, height * 9 / 20});
            });
        }
    }
    const QSize size = geometry().size() + frame;
    QPoint at;
    if (atScreenEdge_)
        at = QPoint(area.right() + 1 - size.width(), area.top());
    else if (!displayShown)
        return;
    else if (shown.right() + size.width() <= area.right())
        at = QPoint(shown.right() + 1, shown.top());
    else if (shown.left() - size.width() >= area.left())
        at = QPoint(shown.left() - size.width(), shown.top());
    else
        return;
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - size.width())));
    at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height())));
    move(at);
}

void ComposeWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    placeClearOfDisplay();
}

void ComposeWindow::done(int result) {
    // Closing ends a search; what it found stays listed for next time.
    runner_.stop();
    if (timer_->isActive()) {
        runner_.wait();
        finish();
    }
    restoreDisplay(shownLead_);
    chosen_.clear();
    use_->setEnabled(false);
    {
        const QSignalBlocker quiet(list_);
        list_->setCurrentRow(-1);
    }
    QDialog::done(result);
}

}  // namespace quarnel
