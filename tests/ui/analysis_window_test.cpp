// The analysis window driven from the dialog, headless: opened by its
// shortcut, it follows Load, Music and the candidate.
#include <QAction>
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
    std::optional<std::string> chooseFile(QWidget*, bool, std::string_view, const std::string&, std::string_view) override {
        if (files.empty()) return std::nullopt;
        std::string f = files.front();
        files.pop_front();
        return f;
    }
    void showMessage(QWidget*, const std::string&, MessageKind) override {}
    bool confirm(QWidget*, const std::string&) override { return false; }
    SaveChoice askSaveChanges(QWidget*, const std::string&) override { return SaveChoice::Discard; }
};

}  // namespace

class AnalysisWindowTest : public QObject {
    Q_OBJECT

private slots:
    void followsTheDialogsCommands() {
        const std::string data = QUARNEL_REPO_DATA;
        QVERIFY2(readLibraryFiles(MethodLibrary::instance(), QUARNEL_TEST_DATA "/starter") == 3, "method library missing: " QUARNEL_TEST_DATA "/starter");
        FilePrompts prompts;
        ComposerDialog dialog(nullptr, &prompts);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        AnalysisWindow* window = dialog.analysisWindow();
        QVERIFY(!window->isVisible());
        QTest::keyClick(&dialog, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(window->isVisible());

        auto click = [&](int id) { QTest::mouseClick(dialog.findChild<QPushButton*>(QString::number(id)), Qt::LeftButton); };
        // After each command the table shows what the session's page says.
        auto shown = [&] {
            const AnalysisPage page = analysisPage(dialog.session());
            QTableWidget* table = window->countsTable();
            if (table->rowCount() != static_cast<int>(page.counts.size())) return false;
            for (int r = 0; r < table->rowCount(); ++r)
                for (int c = 0; c < 4; ++c)
                    if (table->item(r, c)->text().toStdString() != page.counts[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])
                        return false;
            return window->workText().toStdString().rfind(page.work.empty() ? "" : page.work.front(), 0) == 0;
        };
        prompts.files = {data + "/quarnel.txt", data + "/major.mus"};
        click(1000);  // Load
        QVERIFY(window->workText().startsWith(QStringLiteral("ATW: ")));
        click(1035);  // Music
        QCOMPARE(window->countsTable()->rowCount(), 17);
        QVERIFY(shown());
        const QString before = window->countsTable()->item(0, 3)->text();
        click(1007);  // Next: the candidate's column follows
        QVERIFY(dialog.session().candidate() != nullptr);
        QVERIFY(shown());
        click(1026);  // Clear
        QVERIFY(shown());
        QCOMPARE(window->countsTable()->item(0, 3)->text(), before);
    }
};

QTEST_MAIN(AnalysisWindowTest)
#include "analysis_window_test.moc"
