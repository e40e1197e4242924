#include "ui/display_window.h"

#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

#include "composition/composition.h"
#include "session/drawing.h"

namespace quarnel {

struct DisplayWindow::Geometry {
    int top = 0;
    int listHeight = 0;
    int lineHeight = 0;
    ListLayout list;
};

DisplayWindow::Geometry DisplayWindow::geometryNow() const {
    Geometry g;
    const QFontMetrics metrics(font());
    if (!caption_.isEmpty()) g.top = metrics.height() + 4;
    g.listHeight = std::max(0, height() - g.top);
    g.lineHeight = metrics.height();
    if (composition_ == nullptr) return g;
    const int count = static_cast<int>(composition_->leadCount());
    int lineWidth = 0;
    for (const std::string& line : lines()) lineWidth = std::max(lineWidth, metrics.horizontalAdvance(QString::fromStdString(line)));
    g.list = listLayout(count, width(), g.listHeight, lineWidth + metrics.averageCharWidth() * 2, g.lineHeight);
    return g;
}

DisplayWindow::DisplayWindow(QWidget* parent, const QRect& rectangle, const QString& text, int id) : QWidget(parent) {
    setObjectName(QString::number(id));
    setWindowTitle(text);
    setGeometry(rectangle);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // A click takes the focus from the fields, so that the plan's keys (B,
    // P, S, Insert, Delete) act on the lead clicked.
    setFocusPolicy(Qt::ClickFocus);
}

QString DisplayWindow::startHint() {
    return QStringLiteral(
        "No composition loaded.\n\n"
        "Press Load to open a composition file (one lead a line: the lead-head code, the call, the method), "
        "or start Quarnel with one: quarnel FILE. New (Ctrl+N, in the More menu) begins an empty composition "
        "or a plain course of a method you name; Compose... (Ctrl+Shift+O) searches for one.\n\n"
        "Then choose a lead with the arrows beside the lead number and type a method name or press Next "
        "to find a method for it; OK makes the candidate the lead's method.");
}

void DisplayWindow::setComposition(const Composition* composition) {
    composition_ = composition;
    update();
}

void DisplayWindow::setHeldMethods(const std::vector<std::string>& held) {
    if (held == held_) return;
    held_ = held;
    update();
}

void DisplayWindow::setMusicTable(const MusicTable* table) {
    if (table == nullptr) {
        music_.reset();
    } else if (!music_ || music_->id() != table->id()) {
        music_.reset();
        music_.emplace(*table);
    }
    update();
}

void DisplayWindow::setMusicColumn(bool on) {
    musicColumn_ = on;
    update();
}

std::vector<std::string> DisplayWindow::lines() const {
    if (composition_ == nullptr) return {};
    return leadListLines(*composition_, held_, musicColumn_ && music_ ? &*music_ : nullptr);
}

void DisplayWindow::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void DisplayWindow::setCurrentLead(int lead) {
    currentLead_ = lead;
    // A list that scrolls keeps the current lead in sight.
    if (composition_ != nullptr && lead >= 1 && static_cast<std::size_t>(lead) <= composition_->leadCount()) {
        const Geometry g = geometryNow();
        if (g.list.contentHeight > g.listHeight) {
            const int y = displayPosition(lead - 1, g.list.layout, width(), g.list.contentHeight).y;
            if (y < scroll_) scroll_ = y;
            if (y + g.lineHeight > scroll_ + g.listHeight) scroll_ = y + g.lineHeight - g.listHeight;
        }
    }
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
    const Geometry g = geometryNow();
    const int count = static_cast<int>(composition_->leadCount());
    const std::vector<std::string> text = lines();
    const int scroll = std::clamp(scroll_, 0, std::max(0, g.list.contentHeight - g.listHeight));
    painter.setClipRect(0, g.top, width(), g.listHeight);
    for (int i = 0; i < count; ++i) {
        const Point p = displayPosition(i, g.list.layout, width(), g.list.contentHeight);
        const int y = g.top + p.y - scroll;
        if (y + g.lineHeight < g.top || y > height()) continue;
        const Rgb c = leadColour(*composition_, i + 1, currentLead_);
        painter.setPen(QColor(c.red, c.green, c.blue));
        painter.drawText(p.x, y + ascent, QString::fromStdString(text[static_cast<std::size_t>(i)]));
    }
    painter.setClipping(false);
    if (!caption_.isEmpty()) {
        painter.setPen(QColor(96, 96, 96));
        painter.drawText(QRect(4, 2, width() - 8, g.top - 4), Qt::AlignLeft | Qt::AlignTop, caption_);
    }
}

void DisplayWindow::mousePressEvent(QMouseEvent* event) {
    if (composition_ == nullptr || event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const Geometry g = geometryNow();
    const QPoint at = event->position().toPoint();
    const int index = displayIndexAt({at.x(), at.y() - g.top + scroll_}, g.list.layout, static_cast<int>(composition_->leadCount()),
                                     width(), g.list.contentHeight, g.lineHeight);
    if (index >= 0) emit leadClicked(index + 1);
}

void DisplayWindow::wheelEvent(QWheelEvent* event) {
    const Geometry g = geometryNow();
    const int most = std::max(0, g.list.contentHeight - g.listHeight);
    if (most == 0) return QWidget::wheelEvent(event);
    scroll_ = std::clamp(scroll_ - event->angleDelta().y() / 120 * 3 * g.lineHeight, 0, most);
    update();
}

}  // namespace quarnel
