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

void DiagramWindow::paintEvent(QPaintEvent*) {
    if (method_ == nullptr) return;
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), height()), Qt::white);
    const DiagramGeometry geometry = diagramGeometry(width(), height());
    for (const Polyline& line : diagramLines(*method_, geometry)) {
        painter.setPen(QPen(QColor(line.colour.red, line.colour.green, line.colour.blue), 1));
        QPolygon polygon;
        for (const Point& p : line.points) polygon << QPoint(p.x, p.y);
        painter.drawPolyline(polygon);
    }
}

}  // namespace quarnel
