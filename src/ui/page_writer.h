#pragma once
// Pages written to files through Qt's own writers: a PDF (QPdfWriter, every
// page, text and lines as vectors), an SVG (QSvgGenerator) or a PNG (QImage)
// of the first page. Plain types only, so that quarnel-cli calls it without
// Qt in its own code; a QGuiApplication is made for the write when the
// program has none.
#include <optional>
#include <string>
#include <vector>

#include "session/page.h"

namespace quarnel {

enum class PaperFormat { Pdf, Svg, Png };

// The format a file name asks for by its extension (.pdf, .svg, .png, any
// case); none for another.
std::optional<PaperFormat> paperFormatOf(const std::string& path);

// The resolution of a PNG: 4 pixels a point.
inline constexpr double PngDotsPerInch = 288;

// Writes the file whole or not at all (written beside it, then put in its
// place). Returns "" when written, otherwise the message the exports give:
// Cannot write "PATH". The file was not saved.
std::string writePaper(const std::vector<Page>& pages, const std::string& path, PaperFormat format,
                       const std::string& title);

}  // namespace quarnel
