#pragma once

class QPrinter;
class QTextDocument;

namespace kestrel::gui {

// Lays the document out for the printer's page: no line is broken inside a word. A
// line wider than the page (the documents' long underscore lines to fill in by hand)
// makes the whole document a little smaller instead of leaving stray fragments of
// it on the next line. Returns the factor (1 when everything fits).
double layOutForPage(QTextDocument& document, double pageWidth, double pageHeight);

// Prints the document page by page as laid out above; false when the printer
// could not be started or failed.
bool printDocumentPages(QTextDocument& document, QPrinter& printer);

} // namespace kestrel::gui
