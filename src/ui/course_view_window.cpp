#include "ui/course_view_window.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "composition/composition.h"
#include "session/course_view.h"
#include "session/drawing.h"

namespace quarnel {
namespace {

constexpr int Margin = 4;

}  // namespace

CourseViewWindow::CourseViewWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("courseView"));
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setFocusPolicy(Qt::ClickFocus);
}

void CourseViewWindow::setComposition(const Composition* composition) {
    composition_ = composition;
    scroll_ = 0;
    update();
}

void CourseViewWindow::setCurrentLead(int lead) {
    currentLead_ = lead;
    update();
}

void CourseViewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (composition_ == nullptr) return;
    const CourseViewText view = courseViewText(*composition_);
    const QFontMetrics metrics(font());
    const int cell = metrics.horizontalAdvance(QLatin1Char('0'));
    const int line = metrics.height();
    for (std::size_t k = static_cast<std::size_t>(std::max(0, scroll_)); k < view.lines.size(); ++k) {
        const int y = Margin + static_cast<int>(k - static_cast<std::size_t>(scroll_)) * line;
        if (y > height()) break;
        for (const CourseSpan& span : view.lines[k]) {
            const Rgb c = span.lead == 0 ? Black : leadColour(*composition_, span.lead, currentLead_);
            painter.setPen(QColor(c.red, c.green, c.blue));
            painter.drawText(Margin + span.column * cell, y + metrics.ascent(), QString::fromStdString(span.text));
        }
    }
}

int CourseViewWindow::leadAt(const QPoint& point) const {
    if (composition_ == nullptr) return 0;
    const QFontMetrics metrics(font());
    const int cell = std::max(1, metrics.horizontalAdvance(QLatin1Char('0')));
    const int line = std::max(1, metrics.height());
    if (point.x() < Margin || point.y() < Margin) return 0;
    return courseViewLeadAt(courseViewText(*composition_), (point.y() - Margin) / line + scroll_, (point.x() - Margin) / cell);
}

void CourseViewWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    if (const int lead = leadAt(event->position().toPoint()); lead != 0) emit leadClicked(lead);
}

void CourseViewWindow::wheelEvent(QWheelEvent* event) {
    if (composition_ == nullptr) return QWidget::wheelEvent(event);
    const int lines = static_cast<int>(courseViewText(*composition_).lines.size());
    const int shown = std::max(1, (height() - Margin) / std::max(1, QFontMetrics(font()).height()));
    scroll_ = std::clamp(scroll_ - event->angleDelta().y() / 120 * 3, 0, std::max(0, lines - shown));
    update();
}

}  // namespace quarnel
