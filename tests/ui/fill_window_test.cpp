#include <QLabel>
#include <QPushButton>
#include <QCheckBox>
#include <QListWidget>
#include <QSpinBox>
#include <QtTest>
#include <algorithm>
#include <fstream>
#include <sstream>

#include "composition/composition.h"
#include "methods/method_library.h"
#include "session/composer_session.h"
#include "session/headless_view.h"
#include "ui/display_window.h"
#include "ui/fill_options_panel.h"
#include "ui/fill_window.h"

namespace quarnel {

class FillWindowTest : public QObject {
    Q_OBJECT
private slots:
    void aFinishedFillIsTakenIntoEveryLead();
    void stopEndsTheSearchWithTheBestFillSoFar();
    void theDisplayShowsTheFillUntilItIsTakenOrLeft();
    void theOptionsChosenBeforeStartReachTheEngine();
    void afterARunEndsTheOptionsChangeAndStartRunsAgain();

private:
    std::ostringstream messages_;
};

void FillWindowTest::aFinishedFillIsTakenIntoEveryLead() {
    MethodLibrary library;
    QVERIFY2(readLibraryFiles(library, QUARNEL_TEST_DATA "/methods-standard") == 3, "method library missing: " QUARNEL_TEST_DATA "/methods-standard");
    HeadlessView view(messages_);
    ComposerSession session(view, library);
    QVERIFY(session.loadMusicFile(QUARNEL_TEST_DATA "/major-classic.mus"));
    // The plan of two_leads_three_parts.txt, its leads empty.
    const std::string path = QDir::temp().filePath(QStringLiteral("quarnel-fill-two-leads.txt")).toStdString();
    {
        std::ofstream plan(path);
        plan << "B-\nC \n";
    }
    QVERIFY(session.loadFile(path));
    QVERIFY(session.composition()->committedMethodAt(1) == nullptr);
    FillWindow window(session, library);
    QVERIFY(window.start());
    QTRY_VERIFY_WITH_TIMEOUT(window.takeButton()->isEnabled(), 10000);
    QCOMPARE(window.result()->methods.size(), std::size_t{2});
    QVERIFY(!window.stopButton()->isEnabled());
    QCOMPARE(window.result()->status, fill::FillStatus::Optimal);
    QVERIFY(window.findChild<QLabel*>(QStringLiteral("fillStatus"))->text().startsWith(QStringLiteral("Best fill found: no true fill has more music")));
    window.takeButton()->click();
    for (int n = 1; n <= static_cast<int>(session.composition()->leadCount()); ++n)
        QVERIFY(session.composition()->committedMethodAt(n) != nullptr);
    QCOMPARE(static_cast<long long>(session.fields().totalMusic), window.result()->music);

    // Every lead has its method now: a second Fill has nothing to take.
    FillWindow again(session, library);
    QVERIFY(again.start());
    QTRY_VERIFY_WITH_TIMEOUT(again.leaveButton()->isEnabled() && !again.searching(), 10000);
    QVERIFY(again.result().has_value() && again.result()->methods.empty());
    QVERIFY(!again.takeButton()->isEnabled());
}

void FillWindowTest::stopEndsTheSearchWithTheBestFillSoFar() {
    MethodLibrary library;
    QVERIFY2(readLibraryFiles(library, QUARNEL_REPO_DATA) == 3, "method library missing: " QUARNEL_REPO_DATA);
    HeadlessView view(messages_);
    ComposerSession session(view, library);
    QVERIFY(session.loadMusicFile(QUARNEL_TEST_DATA "/major-classic.mus"));
    // Thirty-five empty B leads of five parts: far too many to search out.
    const std::string path = QDir::temp().filePath(QStringLiteral("quarnel-fill-plan.txt")).toStdString();
    {
        std::ofstream plan(path);
        for (const char call : std::string(" - s- -s -  -  -      -     --     ")) plan << 'B' << call << "\n";
    }
    QVERIFY(session.loadFile(path));
    FillWindow window(session, library);
    QVERIFY(window.start());
    QTest::qWait(300);
    QVERIFY(window.searching());
    window.stopButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(window.leaveButton()->isEnabled(), 2000);
    QCOMPARE(window.result()->status, fill::FillStatus::LimitReached);
    QVERIFY(window.findChild<QLabel*>(QStringLiteral("fillStatus"))->text().startsWith(QStringLiteral("Best fill so far")));
    QVERIFY(window.takeButton()->isEnabled());
    window.leaveButton()->click();
    QVERIFY(session.composition()->committedMethodAt(1) == nullptr);
}

void FillWindowTest::theDisplayShowsTheFillUntilItIsTakenOrLeft() {
    MethodLibrary library;
    QVERIFY2(readLibraryFiles(library, QUARNEL_TEST_DATA "/methods-standard") == 3, "method library missing: " QUARNEL_TEST_DATA "/methods-standard");
    HeadlessView view(messages_);
    ComposerSession session(view, library);
    QVERIFY(session.loadMusicFile(QUARNEL_TEST_DATA "/major-classic.mus"));
    const std::string path = QDir::temp().filePath(QStringLiteral("quarnel-fill-preview.txt")).toStdString();
    {
        std::ofstream plan(path);
        plan << "B-\nC \n";
    }
    QVERIFY(session.loadFile(path));
    QWidget dialog;
    DisplayWindow display(&dialog, QRect(0, 0, 400, 300), QStringLiteral("Display"), 1017);
    display.setComposition(session.composition());
    display.setCurrentLead(2);
    enum class End { Leave, Escape, Take };
    const auto check = [&](End end) {
        const bool take = end == End::Take;
        const std::string before = session.saveText();
        FillWindow window(session, library);
        window.showFillIn(&display);
        QVERIFY(window.start());
        QTRY_VERIFY_WITH_TIMEOUT(window.takeButton()->isEnabled(), 10000);
        QVERIFY(window.preview() != nullptr);
        QCOMPARE(display.composition(), window.preview());
        QCOMPARE(display.caption(), QStringLiteral("Fill preview"));
        for (const auto& [lead, notation] : window.result()->methods)
            QCOMPARE(display.composition()->committedMethodAt(lead)->notationText(), notation);
        QCOMPARE(session.saveText(), before);
        if (end == End::Escape)
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            (take ? window.takeButton() : window.leaveButton())->click();
        QCOMPARE(display.composition(), session.composition());
        QVERIFY(display.caption().isEmpty());
        QCOMPARE(display.currentLead(), 2);
        QVERIFY(window.preview() == nullptr);
        for (const auto& [lead, notation] : window.result()->methods)
            QCOMPARE(session.composition()->committedMethodAt(lead) != nullptr, take);
    };
    check(End::Leave);
    check(End::Escape);
    check(End::Take);
}

void FillWindowTest::theOptionsChosenBeforeStartReachTheEngine() {
    MethodLibrary library;
    QVERIFY2(readLibraryFiles(library, QUARNEL_TEST_DATA "/methods-standard") == 3, "method library missing: " QUARNEL_TEST_DATA "/methods-standard");
    HeadlessView view(messages_);
    ComposerSession session(view, library);
    QVERIFY(session.loadMusicFile(QUARNEL_TEST_DATA "/major-classic.mus"));
    // Two empty B leads: left free, their best fill rings two methods.
    const std::string path = QDir::temp().filePath(QStringLiteral("quarnel-fill-options.txt")).toStdString();
    {
        std::ofstream plan(path);
        plan << "B-\nB \n";
    }
    QVERIFY(session.loadFile(path));
    FillWindow window(session, library);
    QVERIFY(window.prepare());
    QVERIFY(!window.stopButton()->isEnabled());
    FillOptionsPanel* panel = window.optionsPanel();
    QVERIFY(panel->methodList()->count() > 8);
    panel->standardEightButton()->click();
    int ticked = 0;
    for (int i = 0; i < panel->methodList()->count(); ++i) ticked += panel->methodList()->item(i)->checkState() == Qt::Checked;
    QCOMPARE(ticked, 5);  // Cambridge, Lincolnshire, Pudsey, Superlative and Yorkshire: code B
    panel->maxMethodsBox()->setValue(1);
    window.startButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(window.takeButton()->isEnabled(), 10000);
    QCOMPARE(window.result()->status, fill::FillStatus::Optimal);
    QCOMPARE(window.result()->methods.size(), std::size_t{2});
    const std::string& one = window.result()->methods[0].second;
    QCOMPARE(window.result()->methods[1].second, one);
    const std::string name = library.nameOf(one);
    QVERIFY2(std::find(standardEight().begin(), standardEight().end(), name) != standardEight().end(), name.c_str());

    // Choices no fill can keep are refused in the status line, and the
    // search does not start.
    FillWindow refused(session, library);
    QVERIFY(refused.prepare());
    refused.optionsPanel()->maxMethodsBox()->setValue(2);
    refused.optionsPanel()->minMethodsBox()->setValue(3);
    QVERIFY(!refused.start());
    QCOMPARE(refused.findChild<QLabel*>(QStringLiteral("fillStatus"))->text(),
             QStringLiteral("Contradictory constraints: at least 3 methods but at most 2"));
    QVERIFY(!refused.searching());
}

void FillWindowTest::afterARunEndsTheOptionsChangeAndStartRunsAgain() {
    MethodLibrary library;
    QVERIFY2(readLibraryFiles(library, QUARNEL_REPO_DATA) == 3, "method library missing: " QUARNEL_REPO_DATA);
    HeadlessView view(messages_);
    ComposerSession session(view, library);
    QVERIFY(session.loadMusicFile(QUARNEL_TEST_DATA "/major-classic.mus"));
    // Two empty B leads and thirty-five.
    const std::string two = QDir::temp().filePath(QStringLiteral("quarnel-fill-again-two.txt")).toStdString();
    std::ofstream(two) << "B-\nB \n";
    const std::string many = QDir::temp().filePath(QStringLiteral("quarnel-fill-again-many.txt")).toStdString();
    {
        std::ofstream plan(many);
        for (const char call : std::string(" - s- -s -  -  -      -     --     ")) plan << 'B' << call << "\n";
    }
    QWidget dialog;
    DisplayWindow display(&dialog, QRect(0, 0, 400, 300), QStringLiteral("Display"), 1017);
    const struct {
        const char* how;
        const std::string& plan;
        bool stop;
    } ends[] = {{"searched out", two, false}, {"stopped", many, true}};
    for (const auto& end : ends) {
        QVERIFY(session.loadFile(end.plan));
        display.setComposition(session.composition());
        FillWindow window(session, library);
        window.showFillIn(&display);
        QVERIFY(window.prepare());
        FillOptionsPanel* panel = window.optionsPanel();
        // The standard eight search two leads out at once; the whole
        // library keeps thirty-five searching.
        if (!end.stop) panel->standardEightButton()->click();
        QVERIFY(window.start());
        // While it runs the options and Leave wait.
        QVERIFY2(!panel->isEnabled() && !window.startButton()->isEnabled(), end.how);
        if (end.stop) {
            QTest::qWait(200);
            QVERIFY2(window.searching(), end.how);
            QVERIFY2(!window.leaveButton()->isEnabled(), end.how);
            window.stopButton()->click();
        }
        QTRY_VERIFY_WITH_TIMEOUT(window.leaveButton()->isEnabled() && !window.searching(), 10000);
        QVERIFY2(window.takeButton()->isEnabled() && window.preview() != nullptr, end.how);
        // The options are the composer's again: one method this time.
        QVERIFY2(panel->isEnabled() && window.startButton()->isEnabled(), end.how);
        panel->maxMethodsBox()->setValue(1);
        window.startButton()->click();
        QVERIFY2(window.searching() || window.result().has_value() == false, end.how);
        QVERIFY2(!window.takeButton()->isEnabled() && window.preview() == nullptr, end.how);
        QCOMPARE(display.composition(), session.composition());
        if (end.stop) {
            QTest::qWait(200);
            window.stopButton()->click();
        }
        QTRY_VERIFY_WITH_TIMEOUT(window.leaveButton()->isEnabled() && !window.searching(), 10000);
        QVERIFY2(window.result().has_value(), end.how);
        if (window.result()->methods.empty()) {
            // Stopped before a one-method fill was found: nothing to take.
            QVERIFY2(end.stop && !window.takeButton()->isEnabled(), end.how);
        } else {
            for (const auto& [lead, notation] : window.result()->methods)
                QCOMPARE(notation, window.result()->methods.front().second);
            QVERIFY2(window.takeButton()->isEnabled(), end.how);
        }
        QVERIFY2(panel->isEnabled(), end.how);
        window.leaveButton()->click();
    }
}

}  // namespace quarnel

QTEST_MAIN(quarnel::FillWindowTest)
#include "fill_window_test.moc"
