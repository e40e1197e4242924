#include "ui/diagram_window.h"

#include <QPainter>
#include <QPolygon>

#include "ringing/method.h"
#include "session/drawing.h"

namespace quarnel {

DiagramWindow::DiagramWindow(QWidget* parent, const QRect& rectangle, const QString& text, int id) : QWidget(parent) {
    setObjectName(QString::number(id));
    setWindowTitle(text);
    setGeometry(rectangle);
}

void DiagramWindow::showMethod(const Method* method) {
    method_ = method;
    update();
}

void DiagramWindow::setCaption(const QString& caption) {
    caption_ = caption;
    update();
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
