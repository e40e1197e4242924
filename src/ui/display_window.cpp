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

QString DisplayWindow::startHint() {
    return QStringLiteral(
        "No composition loaded.\n\n"
        "Press Load to open a composition file (one lead a line: the lead-head code, the call, the method), "
        "or start Quarnel with one: quarnel FILE.\n\n"
        "Then choose a lead with the arrows beside the lead number and type a method name or press Next "
        "to find a method for it; OK makes the candidate the lead's method.");
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
    if (composition_ == nullptr) {
        // How to begin, in grey on the dialog's own background.
        QPainter hint(this);
        hint.setPen(QColor(96, 96, 96));
        hint.setFont(parentWidget() ? parentWidget()->font() : font());
        hint.drawText(rect().adjusted(16, 16, -16, -16), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, startHint());
        return;
    }
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
