#include "ui/analysis_window.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>

#include "session/analysis_page.h"

namespace quarnel {
namespace {

QString joined(const std::vector<std::string>& lines) {
    QStringList list;
    for (const auto& l : lines) list << QString::fromStdString(l);
    return list.join(QLatin1Char('\n'));
}

}  // namespace

AnalysisWindow::AnalysisWindow(QWidget* parent, const ComposerSession& session)
    : QWidget(parent, Qt::Window), session_(session) {
    setObjectName(QStringLiteral("analysis"));
    setWindowTitle(QStringLiteral("Analysis"));
    auto* layout = new QVBoxLayout(this);
    note_ = new QLabel(this);
    counts_ = new QTableWidget(this);
    counts_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    counts_->verticalHeader()->hide();
    work_ = new QPlainTextEdit(this);
    balance_ = new QPlainTextEdit(this);
    for (QPlainTextEdit* text : {work_, balance_}) {
        text->setReadOnly(true);
        text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    }
    layout->addWidget(note_);
    layout->addWidget(counts_, 3);
    layout->addWidget(new QLabel(QStringLiteral("All the work"), this));
    layout->addWidget(work_, 2);
    layout->addWidget(new QLabel(QStringLiteral("Method balance"), this));
    layout->addWidget(balance_, 2);
    resize(560, 640);
}

void AnalysisWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
}

void AnalysisWindow::refresh() {
    if (!isVisible()) return;
    const AnalysisPage page = analysisPage(session_);
    note_->setText(QString::fromStdString(page.note));
    note_->setVisible(!page.note.empty());
    counts_->clear();
    counts_->setColumnCount(static_cast<int>(page.columns.size()));
    counts_->setRowCount(static_cast<int>(page.counts.size()));
    QStringList headings;
    for (const auto& c : page.columns) headings << QString::fromStdString(c);
    counts_->setHorizontalHeaderLabels(headings);
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int r = 0; r < static_cast<int>(page.counts.size()); ++r)
        for (int c = 0; c < static_cast<int>(page.counts[static_cast<std::size_t>(r)].size()); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(page.counts[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]));
            if (c > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            counts_->setItem(r, c, item);
        }
    for (int c = 0; c < static_cast<int>(page.columnWidths.size()); ++c)
        counts_->setColumnWidth(c, (page.columnWidths[static_cast<std::size_t>(c)] + 3) * charWidth);
    work_->setPlainText(joined(page.work));
    balance_->setPlainText(joined(page.balance));
}

QString AnalysisWindow::workText() const { return work_->toPlainText(); }
QString AnalysisWindow::balanceText() const { return balance_->toPlainText(); }

}  // namespace quarnel
