#pragma once
// Print... and Export PDF... of the More menu, and the printer target of the
// page painter. The session builds the composition sheet without Qt
// (ComposerSession::sheet); these only put its pages on a PDF file or a
// printer, through the one painter (ui/page_painter.h).
#include <string>
#include <vector>

#include "session/page.h"

class QPrinter;
class QWidget;

namespace quarnel {

class ComposerSession;
class Prompts;

// The paper of the printer's page size: Letter when it is Letter, A4
// otherwise (the sheet is laid out for one of the two).
PaperSize paperOf(const QPrinter& printer);

// Paints the pages on the printer, one a sheet of paper, from the paper's
// corner at one point a point. "" when printed; otherwise why not, and a
// file the printer was writing (print to PDF) is removed.
std::string printPages(const std::vector<Page>& pages, QPrinter& printer);

// Export PDF...: the session's sheet on A4 as a PDF file (QPdfWriter),
// written whole or not at all.
bool exportSheetPdf(ComposerSession& session);

// The sheet on the printer's paper, printed (only pages from .. to when the
// printer's range says so); a failure is shown. Print... after its dialog;
// tests give a printer that writes a PDF file.
bool printSheetOn(ComposerSession& session, QPrinter& printer, Prompts& prompts, QWidget* parent);

// Print...: the system's print dialog (which offers a PDF file too) on A4,
// or on Letter when the default printer's paper is Letter; then the sheet.
// Without a composition to print, the message and no dialog.
void printSheet(ComposerSession& session, Prompts& prompts, QWidget* parent);

}  // namespace quarnel
