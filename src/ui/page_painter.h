#pragma once
// Paints the items of a page (session/page.h) on any QPainter whose units
// are points: the one painting of the composition sheet and blue lines for
// the screen, a PDF, an SVG, a PNG and the printer.
#include <QImage>

#include "session/page.h"

class QPainter;

namespace quarnel {

void paintPage(QPainter& painter, const Page& page);

// The page as a picture on white at the resolution (a PNG file, the
// clipboard).
QImage pageImage(const Page& page, double dotsPerInch);

}  // namespace quarnel
