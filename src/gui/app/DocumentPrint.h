#pragma once

#include "pdf/DocumentLayout.h"

class QPrinter;
class QTextDocument;

namespace kestrel::gui {

// The page layout is the one PDF output uses, so a printed document and its PDF match.
using pdf::layOutForPage;

// Prints the document page by page as pdf::paintDocumentPages lays it out, with the
// documents' margins on the paper the printer was set up with; false when the printer
// could not be started or failed.
bool printDocumentPages(QTextDocument& document, QPrinter& printer);

} // namespace kestrel::gui
