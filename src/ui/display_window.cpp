#include "ui/display_window.h"

#include <QFontDatabase>
#include <QPainter>
#include <algorithm>

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

void DisplayWindow::setCaption(const QString& caption) {
    caption_ = caption;
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
    const int ascent = painter.fontMetrics().ascent();
    int top = 0;
    if (!caption_.isEmpty()) {
        const int line = painter.fontMetrics().height();
        painter.setPen(QColor(96, 96, 96));
        painter.drawText(QRect(4, 2, width() - 8, line), Qt::AlignLeft | Qt::AlignTop, caption_);
        top = line + 4;
    }
    const int count = static_cast<int>(composition_->leadCount());
    const int listHeight = std::max(0, height() - top);
    const DisplayLayout layout = displayLayout(count, listHeight);
    for (int i = 0; i < count; ++i) {
        const Point p = displayPosition(i, layout, width(), listHeight);
        const Rgb c = displayColour(*composition_, i + 1, currentLead_);
        painter.setPen(QColor(c.red, c.green, c.blue));
        painter.drawText(p.x, top + p.y + ascent, QString::fromStdString(composition_->displayLine(i + 1)));
    }
}

}  // namespace quarnel
