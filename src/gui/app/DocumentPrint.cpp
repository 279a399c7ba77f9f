#include "gui/app/DocumentPrint.h"

#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

namespace kestrel::gui {

bool printDocumentPages(QTextDocument& document, QPrinter& printer)
{
    // A printer that refuses the margins prints with its own: still a document.
    pdf::applyDocumentMargins(printer);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const bool painted = pdf::paintDocumentPages(document, printer, painter);
    return painter.end() && painted && printer.printerState() != QPrinter::Error;
}

} // namespace kestrel::gui
