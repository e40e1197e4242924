#include "ui/sheet_printing.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "session/composer_session.h"
#include "ui/page_painter.h"
#include "ui/page_writer.h"
#include "ui/qt_prompts.h"

namespace quarnel {

PaperSize paperOf(const QPrinter& printer) {
    return printer.pageLayout().pageSize().id() == QPageSize::Letter ? Letter : A4;
}

std::string printPages(const std::vector<Page>& pages, QPrinter& printer) {
    const QString file = printer.outputFileName();
    const std::string failed = file.isEmpty() ? "Cannot print on \"" + printer.printerName().toStdString() +
                                                    "\". Nothing was printed."
                                              : "Cannot write \"" + file.toStdString() + "\". The file was not saved.";
    if (pages.empty()) return failed;
    printer.setFullPage(true);
    QPainter p;
    if (!p.begin(&printer)) return failed;
    const double scale = printer.resolution() / 72.0;
    p.scale(scale, scale);
    bool printed = true;
    for (std::size_t i = 0; i < pages.size() && printed; ++i) {
        if (i > 0) printed = printer.newPage();
        if (printed) paintPage(p, pages[i]);
    }
    printed = p.end() && printed;
    if (!printed && !file.isEmpty()) QFile::remove(file);
    return printed ? std::string() : failed;
}

bool exportSheetPdf(ComposerSession& session) {
    const std::string title = QFileInfo(QString::fromStdString(session.compositionFileName())).fileName().toStdString();
    return session.exportSheet([&title](const std::vector<Page>& pages, const std::string& path) {
        return writePaper(pages, path, PaperFormat::Pdf, title);
    });
}

bool printSheetOn(ComposerSession& session, QPrinter& printer, Prompts& prompts, QWidget* parent) {
    std::vector<Page> pages = session.sheet(paperOf(printer));
    if (pages.empty()) return false;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        // Pages from .. to, as the print dialog gives them (from 1).
        const auto count = static_cast<int>(pages.size());
        const int from = std::min(printer.fromPage(), count);
        const int to = std::clamp(printer.toPage() > 0 ? printer.toPage() : count, from, count);
        pages = std::vector<Page>(pages.begin() + (from - 1), pages.begin() + to);
    }
    const std::string failure = printPages(pages, printer);
    if (failure.empty()) return true;
    prompts.showMessage(parent, failure, Prompts::MessageKind::Error);
    return false;
}

void printSheet(ComposerSession& session, Prompts& prompts, QWidget* parent) {
    if (const std::string why = session.noSheetReason(); !why.empty()) {
        prompts.showMessage(parent, why, Prompts::MessageKind::Warning);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    const bool letter = QPrinterInfo::defaultPrinter().defaultPageSize().id() == QPageSize::Letter;
    printer.setPageSize(QPageSize(letter ? QPageSize::Letter : QPageSize::A4));
    printer.setDocName(QFileInfo(QString::fromStdString(session.compositionFileName())).completeBaseName());
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print the composition sheet"));
    // The pages the dialog may choose from: the sheet's on that paper.
    const auto pages = static_cast<int>(session.sheet(paperOf(printer)).size());
    dialog.setMinMax(1, std::max(1, pages));
    if (dialog.exec() != QDialog::Accepted) return;
    printSheetOn(session, printer, prompts, parent);
}

}  // namespace quarnel
