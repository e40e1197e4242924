#include "ui/page_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace quarnel {

namespace {

QColor colourOf(Rgb c) { return QColor(c.red, c.green, c.blue); }

// A font of size points in the painter's point units: Qt sizes a font for
// the device's resolution, and the painter already scales points to it.
QFont fontOf(const PageText& t, const QPaintDevice* device) {
    QFont font(t.face == Face::Fixed ? QStringLiteral("DejaVu Sans Mono") : QStringLiteral("DejaVu Sans"));
    font.setStyleHint(t.face == Face::Fixed ? QFont::Monospace : QFont::SansSerif);
    const double dpi = device != nullptr ? device->logicalDpiY() : 72.0;
    font.setPointSizeF(t.size * 72.0 / dpi);
    font.setBold(t.bold);
    return font;
}

void paintText(QPainter& p, const PageText& t) {
    const QFont font = fontOf(t, p.device());
    p.setFont(font);
    p.setPen(colourOf(t.colour));
    const QFontMetricsF metrics(font, p.device());
    const QString text = QString::fromStdString(t.text);
    if (t.pitch > 0) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text[i] == QLatin1Char(' ')) continue;
            const double width = metrics.horizontalAdvance(text[i]);
            p.drawText(QPointF(t.at.x + static_cast<double>(i) * t.pitch - width / 2, t.at.y), QString(text[i]));
        }
        return;
    }
    double x = t.at.x;
    if (t.align != Align::Left) {
        const double width = metrics.horizontalAdvance(text);
        x -= t.align == Align::Centre ? width / 2 : width;
    }
    p.drawText(QPointF(x, t.at.y), text);
}

}  // namespace

void paintPage(QPainter& p, const Page& page) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const PageItem& item : page.items) {
        if (const auto* t = std::get_if<PageText>(&item)) {
            paintText(p, *t);
        } else if (const auto* l = std::get_if<PageLine>(&item)) {
            QPolygonF points;
            for (const PagePoint& point : l->points) points << QPointF(point.x, point.y);
            p.setPen(QPen(colourOf(l->colour), l->width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(points);
        } else if (const auto* c = std::get_if<PageCircle>(&item)) {
            p.setPen(QPen(colourOf(c->colour), c->width));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(c->centre.x, c->centre.y), c->radius, c->radius);
        }
    }
    p.restore();
}

QImage pageImage(const Page& page, double dotsPerInch) {
    const double scale = dotsPerInch / 72.0;
    QImage image(static_cast<int>(page.width * scale + 0.5), static_cast<int>(page.height * scale + 0.5),
                 QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(dotsPerInch / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    paintPage(p, page);
    p.end();
    return image;
}

}  // namespace quarnel
