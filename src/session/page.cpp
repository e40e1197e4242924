#include "session/page.h"

#include <cstdio>

namespace quarnel {

namespace {

PagePoint moved(PagePoint p, PagePoint by) { return {p.x + by.x, p.y + by.y}; }

std::string number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", v);
    return buffer;
}

std::string point(PagePoint p) { return number(p.x) + "," + number(p.y); }

std::string colour(Rgb c) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.red & 0xff, c.green & 0xff, c.blue & 0xff);
    return buffer;
}

const char* alignName(Align a) {
    switch (a) {
        case Align::Left: return "left";
        case Align::Centre: return "centre";
        case Align::Right: return "right";
    }
    return "left";
}

}  // namespace

void place(Page& page, const Figure& figure, PagePoint origin) {
    for (PageItem item : figure.items) {
        if (auto* t = std::get_if<PageText>(&item)) t->at = moved(t->at, origin);
        if (auto* l = std::get_if<PageLine>(&item))
            for (PagePoint& p : l->points) p = moved(p, origin);
        if (auto* c = std::get_if<PageCircle>(&item)) c->centre = moved(c->centre, origin);
        page.items.push_back(std::move(item));
    }
}

Page pageOf(const Figure& figure) {
    Page page{figure.width, figure.height, {}};
    place(page, figure, {});
    return page;
}

double fixedWidth(const std::string& text, double size) { return static_cast<double>(text.size()) * FixedAdvance * size; }

double proportionalWidth(const std::string& text, double size, bool bold) {
    return static_cast<double>(text.size()) * (bold ? 0.62 : 0.56) * size;
}

std::string pageDump(const Page& page) {
    std::string out = "page " + number(page.width) + " x " + number(page.height) + "\n";
    for (const PageItem& item : page.items) {
        if (const auto* t = std::get_if<PageText>(&item)) {
            out += "text " + point(t->at) + " " + number(t->size) + (t->face == Face::Fixed ? " fixed" : " sans") +
                   (t->bold ? " bold" : "") + " " + alignName(t->align) +
                   (t->pitch > 0 ? " pitch " + number(t->pitch) : std::string()) + " " + colour(t->colour) + " |" +
                   t->text + "|\n";
        } else if (const auto* l = std::get_if<PageLine>(&item)) {
            out += "line " + colour(l->colour) + " " + number(l->width) + " " + std::to_string(l->points.size()) +
                   " points";
            if (!l->points.empty()) out += " " + point(l->points.front()) + " to " + point(l->points.back());
            out += "\n";
        } else if (const auto* c = std::get_if<PageCircle>(&item)) {
            out += "circle " + colour(c->colour) + " " + number(c->width) + " at " + point(c->centre) + " r " +
                   number(c->radius) + "\n";
        }
    }
    return out;
}

}  // namespace quarnel
