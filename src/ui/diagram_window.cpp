#include "ui/diagram_window.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <QPolygon>

#include "methods/method_library.h"
#include "ringing/method.h"
#include "session/blue_line.h"
#include "session/drawing.h"
#include "ui/page_painter.h"
#include "ui/page_writer.h"
#include "ui/qt_prompts.h"

namespace quarnel {

DiagramWindow::DiagramWindow(QWidget* parent, const QRect& rectangle, const QString& text, int id) : QWidget(parent) {
    setObjectName(QString::number(id));
    setWindowTitle(text);
    setGeometry(rectangle);
    // A right click offers the blue line of the method shown.
    setContextMenuPolicy(Qt::ActionsContextMenu);
    const auto add = [this](const char* name, const QString& text, const QString& tip, auto run) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(tip);
        a->setEnabled(false);
        connect(a, &QAction::triggered, this, run);
        addAction(a);
    };
    add("saveSvgAction", QStringLiteral("Save as SVG..."), QStringLiteral("The method's blue line as an SVG file"),
        [this] { saveAs("svg"); });
    add("savePngAction", QStringLiteral("Save as PNG..."), QStringLiteral("The method's blue line as a PNG picture"),
        [this] { saveAs("png"); });
    add("savePdfAction", QStringLiteral("Save as PDF..."), QStringLiteral("The method's blue line as a PDF file"),
        [this] { saveAs("pdf"); });
    add("copyAction", QStringLiteral("Copy"), QStringLiteral("The method's blue line to the clipboard as a picture"),
        [this] { copy(); });
}

QAction* DiagramWindow::action(const QString& name) const { return findChild<QAction*>(name); }

void DiagramWindow::showMethod(const Method* method) {
    method_ = method;
    for (QAction* a : actions()) a->setEnabled(method_ != nullptr && method_->hasNotation());
    update();
}

void DiagramWindow::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

bool DiagramWindow::blueLinePage(Page& page, std::string& title) const {
    if (method_ == nullptr) return false;
    title = blueLineTitle(*method_, MethodLibrary::instance());
    const BlueLine line = blueLine(*method_, title);
    if (line.figure.items.empty()) return false;
    page = quarnel::blueLinePage(line);
    return true;
}

void DiagramWindow::saveAs(const char* extension) {
    Page page;
    std::string title;
    if (prompts_ == nullptr || !blueLinePage(page, title)) return;
    // A library method is offered by its name; a notation (which may hold
    // "/" or "&") as "blue line".
    const bool named = !MethodLibrary::instance().nameOf(method_->notationText()).empty();
    const std::string offered = (named ? title : std::string("blue line")) + "." + extension;
    const auto path = prompts_->chooseFile(this, true, extension, offered, "Save the blue line");
    if (!path) return;
    // The format of the command chosen, whatever the name typed ends in.
    const std::string failure = writePaper({page}, *path, *paperFormatOf(offered), title);
    if (!failure.empty()) prompts_->showMessage(this, failure, Prompts::MessageKind::Error);
}

void DiagramWindow::copy() {
    Page page;
    std::string title;
    if (!blueLinePage(page, title)) return;
    QGuiApplication::clipboard()->setImage(pageImage(page, PngDotsPerInch));
}

void DiagramWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const auto drawCaption = [&] {
        if (caption_.isEmpty()) return;
        painter.setPen(QColor(96, 96, 96));
        painter.drawText(QRect(4, 2, width() - 8, painter.fontMetrics().height()), Qt::AlignLeft | Qt::AlignTop,
                         method_ == nullptr ? caption_ + QStringLiteral(": none") : caption_);
    };
    if (method_ == nullptr) {
        drawCaption();
        return;
    }
    painter.fillRect(QRect(0, 0, width(), height()), Qt::white);
    const DiagramGeometry geometry = diagramGeometry(width(), height());
    for (const Polyline& line : diagramLines(*method_, geometry)) {
        painter.setPen(QPen(QColor(line.colour.red, line.colour.green, line.colour.blue), 1));
        QPolygon polygon;
        for (const Point& p : line.points) polygon << QPoint(p.x, p.y);
        painter.drawPolyline(polygon);
    }
    drawCaption();
}

}  // namespace quarnel
