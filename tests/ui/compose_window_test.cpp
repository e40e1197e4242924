#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>
#include <sstream>

#include "composition/composition.h"
#include "methods/method_library.h"
#include "session/composer_session.h"
#include "session/headless_view.h"
#include "ui/composer_dialog.h"
#include "ui/compose_window.h"
#include "ui/display_window.h"
#include "ui/fill_options_panel.h"

namespace quarnel {
namespace {

// Every question answered Discard; messages kept.
class QuietPrompts : public Prompts {
public:
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::optional<std::string> chooseFile(QWidget*, bool, std::string_view, const std::string&, std::string_view) override {
        return std::nullopt;
    }
    void showMessage(QWidget*, const std::string& text, MessageKind) override { messages.push_back(text); }
    bool confirm(QWidget*, const std::string&) override { return false; }
    SaveChoice askSaveChanges(QWidget*, const std::string& question) override {
        questions.push_back(question);
        return SaveChoice::Discard;
    }
};

void tick(ComposeWindow& window, const QStringList& names) {
    QListWidget* list = window.optionsPanel()->methodList();
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(names.contains(list->item(i)->text()) ? Qt::Checked : Qt::Unchecked);
}

}  // namespace

class ComposeWindowTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void theInputsReachTheEnginesOptions();
    void inputsThatCannotBeComposedShowWhyAndStartNothing();
    void aRunListsCompositionsAndUseIsOneChangeThatCtrlZTakesBack();
    void moreMenuComposeOpensTheWindow();

private:
    std::ostringstream messages_;
    const MethodLibrary* library_ = nullptr;
};

void ComposeWindowTest::initTestCase() {
    // The dialogs of these tests read the standard methods into the
    // program's library; the windows of their own share it.
    MethodLibrary& library = MethodLibrary::instance();
    if (library.size() == 0) QCOMPARE(readLibraryFiles(library, QUARNEL_TEST_DATA "/methods-standard"), 3);
    library_ = &library;
}

void ComposeWindowTest::theInputsReachTheEnginesOptions() {
    struct Case {
        QStringList methods;
        QString length, parts;
        int calls, splice;  // the boxes' rows: bobs / bobs and singles, every lead / only at calls
        bool tenors;
        int count, maxMethods;
        // What the engine's problem reads of them.
        int minLeads, maxLeads, parts_;
        bool singles;
        compose::Splice spliceRead;
    };
    const Case cases[] = {
        {{"Cambridge S", "Yorkshire S", "Bristol S"}, "448-512", "1", 0, 1, false, 3, 0, 14, 16, 1, false, compose::Splice::AtCalls},
        {{"Cambridge S", "Yorkshire S"}, " qp ", "12435678", 1, 0, true, 5, 2, 20, 20, 2, true, compose::Splice::EveryLead},
    };
    HeadlessView view(messages_);
    ComposerSession session(view, *library_);
    for (const Case& c : cases) {
        ComposeWindow window(session, *library_);
        tick(window, c.methods);
        window.lengthField()->setText(c.length);
        window.partsField()->setText(c.parts);
        window.callsBox()->setCurrentIndex(c.calls);
        window.spliceBox()->setCurrentIndex(c.splice);
        window.tenorsTogetherBox()->setChecked(c.tenors);
        window.countBox()->setValue(c.count);
        window.optionsPanel()->maxMethodsBox()->setValue(c.maxMethods);
        window.startButton()->click();
        QVERIFY2(window.problem() != nullptr, qPrintable(window.statusLabel()->text()));
        const compose::ComposeProblem& p = *window.problem();
        QStringList read;
        for (int m = 0; m < p.methodCount(); ++m) read << QString::fromStdString(p.methodName(m));
        read.sort();
        QStringList asked = c.methods;
        asked.sort();
        QCOMPARE(read, asked);
        QCOMPARE(p.minLeads(), c.minLeads);
        QCOMPARE(p.maxLeads(), c.maxLeads);
        QCOMPARE(p.parts(), c.parts_);
        QCOMPARE(std::find(p.calls().begin(), p.calls().end(), Call::Single) != p.calls().end(), c.singles);
        QCOMPARE(p.splice(), c.spliceRead);
        QCOMPARE(p.tenorsTogether(), c.tenors);
        QCOMPARE(p.count(), c.count);
        if (c.maxMethods > 0) QCOMPARE(p.constraints().maxMethods, c.maxMethods);
        window.stopButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!window.searching() && window.startButton()->isEnabled(), 5000);
    }
}

void ComposeWindowTest::inputsThatCannotBeComposedShowWhyAndStartNothing() {
    struct Case {
        QString length, parts;
        QString said;  // how the status line begins
    };
    const Case cases[] = {
        {"qpx", "1", "Length: the length \"qpx\" is no length"},
        {"1300-1250", "1", "Length: the length \"1300-1250\" falls"},
        {"", "1", "Length: "},
        {"qp", "two", "Parts: \"two\" is no number of parts"},
        {"qp", "16", "Parts: 16 is no number of parts"},
        // Read, but refused by the engine as it builds its tables.
        {"qp", "7", "No part end of 7 parts"},
        {"320", "1", "No calling of these methods comes round"},
    };
    HeadlessView view(messages_);
    ComposerSession session(view, *library_);
    ComposeWindow window(session, *library_);
    tick(window, {"Cambridge S", "Yorkshire S"});
    for (const Case& c : cases) {
        window.lengthField()->setText(c.length);
        window.partsField()->setText(c.parts);
        window.startButton()->click();
        const QString status = window.statusLabel()->text();
        QVERIFY2(status.startsWith(c.said), qPrintable(c.length + " / " + c.parts + ": " + status));
        QVERIFY(window.problem() == nullptr);
        QVERIFY(!window.searching());
        QVERIFY(window.startButton()->isEnabled());
        QVERIFY(!window.stopButton()->isEnabled());
    }
}

void ComposeWindowTest::aRunListsCompositionsAndUseIsOneChangeThatCtrlZTakesBack() {
    QuietPrompts prompts;
    ComposerDialog dialog(nullptr, &prompts, QUARNEL_TEST_DATA "/methods-standard");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    ComposerSession& session = dialog.session();
    QVERIFY(session.loadMusicFile(QUARNEL_TEST_DATA "/major-classic.mus"));
    QVERIFY(session.loadFile(QUARNEL_TEST_DATA "/two_leads_three_parts.txt"));
    QVERIFY(session.setCall(Call::Single));  // an unsaved change: Use asks first
    const std::string before = session.saveText();
    const int undoable = dialog.undoStack()->count();
    DisplayWindow* display = dialog.displayWindow();

    ComposeWindow window(session, *library_, &dialog);
    window.showPreviewIn(display);
    tick(window, {"Cambridge S", "Yorkshire S"});
    window.lengthField()->setText(QStringLiteral("448-512"));
    window.countBox()->setValue(4);
    QVERIFY(window.start());
    QTRY_VERIFY_WITH_TIMEOUT(!window.searching() && window.startButton()->isEnabled(), 10000);
    QVERIFY(window.statusLabel()->text().startsWith(QStringLiteral("Searched to the end")));
    const int listed = window.compositionList()->count();
    QVERIFY(listed >= 2 && listed <= 4);
    QCOMPARE(static_cast<int>(window.listed().size()), listed);
    for (int i = 0; i < listed; ++i) {
        const compose::FoundComposition& f = window.listed()[static_cast<std::size_t>(i)];
        const QString line = window.compositionList()->item(i)->text();
        QVERIFY2(line.contains(QString::number(f.length) + QStringLiteral(" changes")) &&
                     line.contains(QStringLiteral("music ") + QString::number(f.music)) &&
                     line.contains(QString::fromStdString(f.calling)),
                 qPrintable(line));
    }

    // Choosing shows the composition in the display, on a copy; the
    // session's composition stays as it was.
    QVERIFY(!window.useButton()->isEnabled());
    window.compositionList()->setCurrentRow(1);
    QVERIFY(window.preview() != nullptr);
    QCOMPARE(display->composition(), window.preview());
    QVERIFY(display->caption().startsWith(QStringLiteral("Compose preview")));
    QCOMPARE(session.saveText(), before);
    QVERIFY(window.useButton()->isEnabled());

    const compose::FoundComposition chosen = window.listed()[1];
    window.useButton()->click();
    QCOMPARE(prompts.questions.size(), std::size_t{1});
    QCOMPARE(session.saveText(), chosen.fileText);
    // The session scores it as the engine did.
    QVERIFY(chosen.music > 0);
    QCOMPARE(static_cast<long long>(session.fields().totalMusic), chosen.music);
    QCOMPARE(display->composition(), session.composition());
    QVERIFY(display->caption().isEmpty());
    QVERIFY(window.preview() == nullptr);
    QVERIFY(!window.isVisible());
    QCOMPARE(dialog.undoStack()->count(), undoable + 1);
    QCOMPARE(dialog.undoStack()->undoText(), QStringLiteral("Compose"));

    QTest::keyClick(display, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(session.saveText(), before);
    QCOMPARE(display->composition(), session.composition());
}

void ComposeWindowTest::moreMenuComposeOpensTheWindow() {
    QuietPrompts prompts;
    ComposerDialog dialog(nullptr, &prompts, QUARNEL_TEST_DATA "/methods-standard");
    QAction* action = dialog.commandAction(QStringLiteral("composeAction"));
    QVERIFY(action != nullptr);
    QVERIFY(dialog.commandsMenu()->actions().contains(action));
    QString opened;
    QTimer::singleShot(0, &dialog, [&] {
        if (auto* w = qobject_cast<ComposeWindow*>(QApplication::activeModalWidget())) {
            opened = w->windowTitle();
            w->reject();
        }
    });
    action->trigger();
    QCOMPARE(opened, QStringLiteral("Compose"));
    QVERIFY(dialog.composeWindow() != nullptr && !dialog.composeWindow()->isVisible());
}

}  // namespace quarnel

QTEST_MAIN(quarnel::ComposeWindowTest)
#include "compose_window_test.moc"
