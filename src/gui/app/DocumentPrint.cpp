#include "gui/app/DocumentPrint.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace kestrel::gui {

double layOutForPage(QTextDocument& document, double pageWidth, double pageHeight)
{
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WordWrap);
    document.setDefaultTextOption(option);
    document.setPageSize(QSizeF(pageWidth, pageHeight));
    // A word longer than the page sticks out of the layout: widen the page to hold it.
    const double needed = std::max(pageWidth, document.idealWidth());
    const double scale = pageWidth / needed;
    if (scale < 1.0)
        document.setPageSize(QSizeF(needed, pageHeight / scale));
    return scale;
}

bool printDocumentPages(QTextDocument& document, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The document is laid out in screen points; the printer counts its own pixels.
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double screenDpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    const double deviceScale = printer.logicalDpiX() / screenDpi;
    const double scale = layOutForPage(document, page.width() / deviceScale, page.height() / deviceScale)
        * deviceScale;
    const QSizeF laidOut = document.pageSize();
    const int pages = std::max(1, document.pageCount());
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage())
            break;
        painter.save();
        painter.scale(scale, scale);
        const QRectF sheet(0.0, i * laidOut.height(), laidOut.width(), laidOut.height());
        painter.translate(0.0, -sheet.top());
        document.drawContents(&painter, sheet);
        painter.restore();
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

} // namespace kestrel::gui
