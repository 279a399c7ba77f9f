#pragma once

#include <QMarginsF>
#include <QPageLayout>

class QPagedPaintDevice;
class QPainter;
class QTextDocument;

namespace kestrel::pdf {

// Every document goes on the page with these margins, whether printed or written as
// PDF, so that both look alike. A printer that cannot print that close to the edge
// keeps its own minimum.
inline constexpr double kDocumentMarginMillimetres = 10.0;

// A4 portrait with the documents' margins: the page of a PDF.
QPageLayout documentPageLayout();

// Gives the device the documents' margins, keeping its paper size and orientation
// (a printer keeps what its dialog chose). False when the device refused them.
bool applyDocumentMargins(QPagedPaintDevice& device);

// Lays the document out for a page of this size (in the document's own units, screen
// points): no line is broken inside a word. A line wider than the page (the documents'
// long underscore lines to fill in by hand) makes the whole document a little smaller
// instead of leaving stray fragments of it on the next line. Returns the factor
// (1 when everything fits).
double layOutForPage(QTextDocument& document, double pageWidth, double pageHeight);

// Lays the document out for the device's printable area and paints it page by page
// with `painter`, already begun on `device`. False when a new page could not be started.
bool paintDocumentPages(QTextDocument& document, QPagedPaintDevice& device, QPainter& painter);

} // namespace kestrel::pdf
