#pragma once
// The analysis window: a top-level window beside the dialog with the music
// counts of the composition, the current lead and the candidate, which bells
// miss which starts of each method, and the method balance. It shows the
// session's state; the text comes from analysisPage and is worked out only
// while the window is visible.
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QTableWidget;

namespace quarnel {

class ComposerSession;

class AnalysisWindow : public QWidget {
    Q_OBJECT
public:
    AnalysisWindow(QWidget* parent, const ComposerSession& session);

    // Brings the figures up to date (nothing while the window is hidden).
    void refresh();

    QTableWidget* countsTable() const { return counts_; }
    QString workText() const;
    QString balanceText() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    const ComposerSession& session_;
    QLabel* note_ = nullptr;
    QTableWidget* counts_ = nullptr;
    QPlainTextEdit* work_ = nullptr;
    QPlainTextEdit* balance_ = nullptr;
};

}  // namespace quarnel
