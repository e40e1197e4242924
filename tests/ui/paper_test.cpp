// The composition sheet and blue lines from the desktop program, headless:
// Export PDF and Print of the More menu, Save as and Copy of a diagram's
// context menu, with file dialogs and messages answered by a script.
#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <map>
#include <pugixml.hpp>

#include "composition/layout_text.h"
#include "methods/method_library.h"
#include "session/blue_line.h"
#include "scripted_prompts.h"
#include "ui/composer_dialog.h"
#include "ui/diagram_window.h"
#include "ui/page_writer.h"
#include "ui/sheet_printing.h"

using namespace quarnel;

namespace {


// What a tool of poppler-utils prints about a PDF.
QString poppler(const char* tool, const QString& pdf) {
    QProcess p;
    p.start(QString::fromLatin1(tool), tool == QLatin1String("pdftotext") ? QStringList{QStringLiteral("-layout"), pdf, QStringLiteral("-")}
                                                                          : QStringList{pdf});
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Runs of blanks made one, so that a fixed-width line compares however a
// PDF reader spaces it.
QString squeezed(QString text) { return text.replace(QRegularExpression(QStringLiteral("[ \t]+")), QStringLiteral(" ")).trimmed(); }

}  // namespace

class PaperTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<ComposerDialog> dialog;
    std::unique_ptr<QTemporaryDir> folder;

    std::string file(const char* name) const { return QDir(folder->path()).filePath(QLatin1String(name)).toStdString(); }
    QStringList filesLeft() const { return QDir(folder->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }
    void loadSample() {
        prompts->files.push_back(std::string(QUARNEL_REPO_DATA "/quarnel.txt"));
        dialog->commandAction(QStringLiteral("openAction"))->trigger();
        QVERIFY(dialog->session().composition() != nullptr);
    }
    void trigger(const char* action) { dialog->commandAction(QLatin1String(action))->trigger(); }
    // The lines the sheet sets in the fixed face: the course layout (or lead
    // list) under its title, without "Contains".
    QStringList layoutLines() const {
        QStringList lines;
        const std::string text = layoutText(*dialog->session().composition(), MethodLibrary::instance(), false);
        for (const QString& line : QString::fromStdString(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (!line.startsWith(QStringLiteral("Contains"))) lines << squeezed(line);
        return lines;
    }

private slots:
    void initTestCase() {
        MethodLibrary::instance().clear();
        QVERIFY(readLibraryFiles(MethodLibrary::instance(), QUARNEL_TEST_DATA "/starter") == 3);
    }

    void init() {
        folder = std::make_unique<QTemporaryDir>();
        prompts = std::make_unique<ScriptedPrompts>();
        prompts->unscriptedSaveChoice = Prompts::SaveChoice::Discard;
        dialog = std::make_unique<ComposerDialog>(nullptr, prompts.get());
    }

    void cleanup() {
        dialog.reset();
        folder.reset();
    }

    void theMoreMenuOffersExportPdfAndPrintOnCtrlP() {
        const QList<QAction*> menu = dialog->commandsMenu()->actions();
        QVERIFY(menu.contains(dialog->commandAction(QStringLiteral("exportPdfAction"))));
        QAction* print = dialog->commandAction(QStringLiteral("printAction"));
        QVERIFY(menu.contains(print));
        QCOMPARE(print->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    }

    void exportPdfWritesTheSheetWithTitleAndEveryCourseLine() {
        loadSample();
        prompts->files.push_back(file("sheet.pdf"));
        trigger("exportPdfAction");
        QCOMPARE(prompts->messages, std::vector<std::string>{});
        // Offered beside the composition, then in the folder last written to.
        QCOMPARE(prompts->offered.back(), std::string(QUARNEL_REPO_DATA "/quarnel.pdf"));
        QCOMPARE(prompts->extensions.back(), std::string("pdf"));
        const QString text = squeezed(poppler("pdftotext", QString::fromStdString(file("sheet.pdf"))));
        const QStringList lines = layoutLines();
        QVERIFY(lines.size() > 2);
        for (const QString& line : lines) QVERIFY2(text.contains(line), qPrintable(line + QStringLiteral(" not in:\n") + text));
        trigger("exportPdfAction");
        QCOMPARE(prompts->offered.back(), file("quarnel.pdf"));
        QCOMPARE(filesLeft(), QStringList{QStringLiteral("sheet.pdf")});
    }

    void anUnwritableTargetLeavesNoFileAndSaysSo() {
        loadSample();
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("taken.pdf")));
        const std::string targets[] = {file("missing/sheet.pdf"), file("taken.pdf")};
        for (const std::string& target : targets) {
            prompts->messages.clear();
            prompts->files.push_back(target);
            trigger("exportPdfAction");
            QCOMPARE(prompts->messages, std::vector<std::string>{"Cannot write \"" + target + "\". The file was not saved."});
            QCOMPARE(prompts->kinds.back(), Prompts::MessageKind::Error);
            // The next offer is still beside the composition.
            trigger("exportPdfAction");
            QCOMPARE(prompts->offered.back(), std::string(QUARNEL_REPO_DATA "/quarnel.pdf"));
        }
        // A diagram's Save as to a missing folder, likewise.
        prompts->messages.clear();
        prompts->files.push_back(file("missing/line.png"));
        dialog->upperDiagram()->action(QStringLiteral("savePngAction"))->trigger();
        QCOMPARE(prompts->messages, std::vector<std::string>{"Cannot write \"" + file("missing/line.png") + "\". The file was not saved."});
        QCOMPARE(filesLeft(), QStringList{QStringLiteral("taken.pdf")});
        QVERIFY(QDir(QString::fromStdString(file("taken.pdf"))).isEmpty());
    }

    void withoutACompositionExportAndPrintSaySoAndOpenNoDialog() {
        trigger("exportPdfAction");
        trigger("printAction");  // a print dialog here would wait for ever
        QCOMPARE(prompts->messages, (std::vector<std::string>{"No composition loaded: load one, or make one with New",
                                                              "No composition loaded: load one, or make one with New"}));
        QVERIFY(prompts->offered.empty());
        QVERIFY(filesLeft().isEmpty());
        for (const char* name : {"saveSvgAction", "savePngAction", "savePdfAction", "copyAction"})
            QVERIFY2(!dialog->upperDiagram()->action(QLatin1String(name))->isEnabled(), name);
    }

    void printingPutsTheSheetOnThePrintersPaper() {
        loadSample();
        const struct {
            QPageSize::PageSizeId size;
            PaperSize paper;  // of the sheet's pages
        } papers[] = {{QPageSize::A4, A4}, {QPageSize::Letter, Letter}};
        for (const auto& paper : papers) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(file("printed.pdf")));
            printer.setPageSize(QPageSize(paper.size));
            QVERIFY(printSheetOn(dialog->session(), printer, *prompts, dialog.get()));
            const QString pdf = QString::fromStdString(file("printed.pdf"));
            const QString text = squeezed(poppler("pdftotext", pdf));
            for (const QString& line : layoutLines()) QVERIFY2(text.contains(line), qPrintable(line));
            // pdfinfo's "Page size: 612 x 792 pts", to the point.
            const QString info = poppler("pdfinfo", pdf);
            const QRegularExpressionMatch size =
                QRegularExpression(QStringLiteral("Page size: +([0-9.]+) x ([0-9.]+) pts")).match(info);
            QVERIFY2(size.hasMatch(), qPrintable(info));
            QVERIFY(qAbs(size.captured(1).toDouble() - paper.paper.width) < 1);
            QVERIFY(qAbs(size.captured(2).toDouble() - paper.paper.height) < 1);
        }
        QVERIFY(prompts->messages.empty());
        // Pages from .. to, as the print dialog sets them.
        QPrinter range(QPrinter::HighResolution);
        range.setOutputFormat(QPrinter::PdfFormat);
        range.setOutputFileName(QString::fromStdString(file("printed.pdf")));
        range.setPrintRange(QPrinter::PageRange);
        range.setFromTo(2, 2);
        QVERIFY(printSheetOn(dialog->session(), range, *prompts, dialog.get()));
        QVERIFY(poppler("pdfinfo", range.outputFileName()).contains(QRegularExpression(QStringLiteral("Pages: +1\n"))));
        QVERIFY(!squeezed(poppler("pdftotext", range.outputFileName())).contains(layoutLines().front()));
        // A printer writing into a missing folder prints nothing and says so.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(file("missing/printed.pdf")));
        QVERIFY(!printSheetOn(dialog->session(), printer, *prompts, dialog.get()));
        QCOMPARE(prompts->messages, std::vector<std::string>{"Cannot write \"" + file("missing/printed.pdf") + "\". The file was not saved."});
        QCOMPARE(filesLeft(), QStringList{QStringLiteral("printed.pdf")});
    }

    void aDiagramSavedAsSvgHasOnePathForEachLeadOfEachBellDrawn() {
        loadSample();
        DiagramWindow* diagram = dialog->upperDiagram();
        QVERIFY(diagram->method() != nullptr);
        prompts->files.push_back(file("line.svg"));
        diagram->action(QStringLiteral("saveSvgAction"))->trigger();
        QCOMPARE(prompts->messages, std::vector<std::string>{});
        QCOMPARE(prompts->offered.back(), std::string("Ipswich Surprise Major.svg"));
        pugi::xml_document svg;
        QVERIFY2(svg.load_file(file("line.svg").c_str()), "not XML");
        // Qt writes each line as a polyline in a group stroked in its colour:
        // each lead of the treble in red, of the working bell in blue, and
        // the lead ends in grey.
        std::map<std::string, std::size_t> polylines;
        for (const pugi::xpath_node& node : svg.select_nodes("//polyline"))
            ++polylines[node.node().parent().attribute("stroke").value()];
        const std::size_t leads = blueLine(*diagram->method(), "").leadOrigins.size();
        QVERIFY(leads > 1);
        QCOMPARE(polylines["#dc0000"], leads);
        QCOMPARE(polylines["#003ce6"], leads);
        QCOMPARE(polylines["#5a5a5a"], leads);
        QCOMPARE(polylines.size(), std::size_t{3});
    }

    void aDiagramSavesAPngAndAPdfAndCopiesThePictureOfItsBlueLine() {
        loadSample();
        DiagramWindow* diagram = dialog->upperDiagram();
        const struct {
            const char* action;
            const char* name;
            QByteArray start;
        } saves[] = {{"savePngAction", "line.png", QByteArray("\x89PNG")}, {"savePdfAction", "line.pdf", QByteArray("%PDF-")}};
        for (const auto& save : saves) {
            prompts->files.push_back(file(save.name));
            diagram->action(QLatin1String(save.action))->trigger();
            QFile written(QString::fromStdString(file(save.name)));
            QVERIFY2(written.open(QIODevice::ReadOnly), save.name);
            QVERIFY2(written.read(save.start.size()) == save.start, save.name);
        }
        QVERIFY(prompts->messages.empty());
        // The clipboard's picture is the PNG's.
        QGuiApplication::clipboard()->clear();
        diagram->action(QStringLiteral("copyAction"))->trigger();
        const QImage copied = QGuiApplication::clipboard()->image();
        const QImage png(QString::fromStdString(file("line.png")));
        QVERIFY(!copied.isNull());
        QCOMPARE(copied.size(), png.size());
        const Page page = blueLinePage(blueLine(*diagram->method(), ""));
        QCOMPARE(png.width(), qRound(page.width * PngDotsPerInch / 72));
    }
};

QTEST_MAIN(PaperTest)
#include "paper_test.moc"
