// The analysis window driven from the dialog, headless: opened by its
// shortcut, and following Load, Music, OK and the candidate.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <deque>

#include "methods/method_library.h"
#include "session/analysis_page.h"
#include "ui/analysis_window.h"
#include "ui/composer_dialog.h"

using namespace quarnel;

namespace {

// Answers file dialogs from a list, everything else with no.
class FilePrompts : public Prompts {
public:
    std::deque<std::string> files;
    std::optional<std::string> chooseFile(QWidget*, bool, std::string_view, const std::string&) override {
        if (files.empty()) return std::nullopt;
        std::string f = files.front();
        files.pop_front();
        return f;
    }
    void showMessage(QWidget*, const std::string&) override {}
    bool confirm(QWidget*, const std::string&) override { return false; }
};

}  // namespace

class AnalysisWindowTest : public QObject {
    Q_OBJECT

    FilePrompts prompts;
    std::unique_ptr<ComposerDialog> dialog;
    const std::string data = QUARNEL_REPO_DATA;

    void click(int id) { QTest::mouseClick(dialog->findChild<QPushButton*>(QString::number(id)), Qt::LeftButton); }

    // The table shows what the page says, cell by cell.
    void compareWithPage() {
        const AnalysisPage page = analysisPage(dialog->session());
        QTableWidget* table = dialog->analysisWindow()->countsTable();
        QCOMPARE(table->rowCount(), static_cast<int>(page.counts.size()));
        for (int r = 0; r < table->rowCount(); ++r)
            for (int c = 0; c < 4; ++c)
                QCOMPARE(table->item(r, c)->text().toStdString(), page.counts[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
        QCOMPARE(dialog->analysisWindow()->balanceText().split(QLatin1Char('\n')).size(), static_cast<qsizetype>(page.balance.size()));
    }

private slots:
    void initTestCase() {
        MethodLibrary::instance().clear();
        readLibraryFiles(MethodLibrary::instance(), data);
    }

    void init() {
        dialog = std::make_unique<ComposerDialog>(nullptr, &prompts);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    void cleanup() { dialog.reset(); }

    void opensFromItsShortcut() {
        QVERIFY(dialog->analysisWindow() != nullptr);
        QVERIFY(!dialog->analysisWindow()->isVisible());
        QCOMPARE(dialog->analysisAction()->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
        QTest::keyClick(dialog.get(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(dialog->analysisWindow()->isVisible());
        QCOMPARE(dialog->analysisWindow()->countsTable()->rowCount(), 0);  // nothing loaded yet
    }

    void followsLoadMusicAndTheCandidate() {
        dialog->analysisAction()->trigger();
        prompts.files = {data + "/quarnel.txt", data + "/major.mus"};
        click(1000);
        QVERIFY(dialog->analysisWindow()->workText().startsWith(QStringLiteral("ATW: ")));
        click(1035);
        QCOMPARE(dialog->analysisWindow()->countsTable()->rowCount(), 17);
        QCOMPARE(dialog->analysisWindow()->countsTable()->item(0, 0)->text(), QStringLiteral("4-bell runs (front)"));
        compareWithPage();
        click(1007);  // Next: a candidate for lead 1
        QVERIFY(dialog->session().candidate() != nullptr);
        compareWithPage();
        click(1026);  // Clear
        compareWithPage();
    }
};

QTEST_MAIN(AnalysisWindowTest)
#include "analysis_window_test.moc"
