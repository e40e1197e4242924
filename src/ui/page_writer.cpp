#include "ui/page_writer.h"

#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <memory>

#include "ui/page_painter.h"

namespace quarnel {

namespace {

// Fonts need a QGuiApplication; quarnel-cli has none, so one without a
// screen is made for the time of the write.
class GuiForWriting {
public:
    GuiForWriting() {
        if (QCoreApplication::instance() != nullptr) return;
        static int argc = 3;
        static char name[] = "quarnel-cli";
        static char option[] = "-platform";
        static char platform[] = "offscreen";
        static char* argv[] = {name, option, platform, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }

private:
    std::unique_ptr<QGuiApplication> app_;
};

bool writePdf(const std::vector<Page>& pages, QIODevice& file, const QString& title) {
    QPdfWriter pdf(&file);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Quarnel"));
    pdf.setPageSize(QPageSize(QSizeF(pages.front().width, pages.front().height), QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter p;
    if (!p.begin(&pdf)) return false;
    p.scale(pdf.resolution() / 72.0, pdf.resolution() / 72.0);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !pdf.newPage()) return false;
        paintPage(p, pages[i]);
    }
    return p.end();
}

bool writeSvg(const Page& page, QIODevice& file, const QString& title) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    // Qt 6.4 writes the title into the XML as it is: a notation's "&" must
    // be escaped here for the file to parse.
    svg.setTitle(title.toHtmlEscaped());
    svg.setResolution(72);  // one SVG unit a point
    svg.setSize(QSize(static_cast<int>(page.width + 0.5), static_cast<int>(page.height + 0.5)));
    svg.setViewBox(QRectF(0, 0, page.width, page.height));
    QPainter p;
    if (!p.begin(&svg)) return false;
    p.fillRect(QRectF(0, 0, page.width, page.height), Qt::white);
    paintPage(p, page);
    return p.end();
}

bool writePng(const Page& page, QIODevice& file) { return pageImage(page, PngDotsPerInch).save(&file, "PNG"); }

}  // namespace

std::optional<PaperFormat> paperFormatOf(const std::string& path) {
    const auto dot = path.rfind('.');
    if (dot == std::string::npos) return std::nullopt;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "pdf") return PaperFormat::Pdf;
    if (extension == "svg") return PaperFormat::Svg;
    if (extension == "png") return PaperFormat::Png;
    return std::nullopt;
}

std::string writePaper(const std::vector<Page>& pages, const std::string& path, PaperFormat format,
                       const std::string& title) {
    const std::string failed = "Cannot write \"" + path + "\". The file was not saved.";
    if (pages.empty()) return failed;
    const GuiForWriting gui;
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return failed;
    const QString name = QString::fromStdString(title);
    bool written = false;
    switch (format) {
        case PaperFormat::Pdf: written = writePdf(pages, file, name); break;
        case PaperFormat::Svg: written = writeSvg(pages.front(), file, name); break;
        case PaperFormat::Png: written = writePng(pages.front(), file); break;
    }
    if (!written) {
        file.cancelWriting();
        return failed;
    }
    return file.commit() ? std::string() : failed;
}

}  // namespace quarnel
