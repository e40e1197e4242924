#include "ui/display_window.h"

#include <QFontDatabase>
#include <QPainter>

#include "composition/composition.h"
#include "session/drawing.h"

namespace quarnel {

DisplayWindow::DisplayWindow(QWidget* parent, const QRect& rectangle, const QString& text, int id) : QWidget(parent) {
    setObjectName(QString::number(id));
    setWindowTitle(text);
    setGeometry(rectangle);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void DisplayWindow::setComposition(const Composition* composition) {
    composition_ = composition;
    update();
}

void DisplayWindow::setCurrentLead(int lead) {
    currentLead_ = lead;
    update();
}

void DisplayWindow::paintEvent(QPaintEvent*) {
    if (composition_ == nullptr) return;
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), height()), Qt::white);
    const int count = static_cast<int>(composition_->leadCount());
    const DisplayLayout layout = displayLayout(count, height());
    const int ascent = painter.fontMetrics().ascent();
    for (int i = 0; i < count; ++i) {
        const Point p = displayPosition(i, layout, width(), height());
        const Rgb c = displayColour(*composition_, i + 1, currentLead_);
        painter.setPen(QColor(c.red, c.green, c.blue));
        painter.drawText(p.x, p.y + ascent, QString::fromStdString(composition_->displayLine(i + 1)));
    }
}

}  // namespace quarnel
