#include "pdf/DocumentLayout.h"

#include <QGuiApplication>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScreen>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

namespace kestrel::pdf {

namespace {

QMarginsF documentMargins()
{
    return {kDocumentMarginMillimetres, kDocumentMarginMillimetres, kDocumentMarginMillimetres,
        kDocumentMarginMillimetres};
}

// Text is laid out in the points of the screen's logical resolution (what QTextDocument
// uses without a device of its own); 96 without a screen.
double layoutDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 0.0;
    return dpi > 0.0 ? dpi : 96.0;
}

} // namespace

QPageLayout documentPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, documentMargins(), QPageLayout::Millimeter);
}

bool applyDocumentMargins(QPagedPaintDevice& device)
{
    QPageLayout layout = device.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    // The standard mode clamps to the device's minimum instead of refusing.
    layout.setMode(QPageLayout::StandardMode);
    layout.setMargins(documentMargins());
    return device.setPageLayout(layout);
}

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

bool paintDocumentPages(QTextDocument& document, QPagedPaintDevice& device, QPainter& painter)
{
    // The painter's origin is the printable area's corner, counted in the device's pixels.
    const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    const double deviceScale = device.logicalDpiX() / layoutDpi();
    const double scale
        = layOutForPage(document, page.width() / deviceScale, page.height() / deviceScale) * deviceScale;
    const QSizeF laidOut = document.pageSize();
    const int pages = std::max(1, document.pageCount());
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !device.newPage())
            return false;
        painter.save();
        painter.scale(scale, scale);
        const QRectF sheet(0.0, i * laidOut.height(), laidOut.width(), laidOut.height());
        painter.translate(0.0, -sheet.top());
        document.drawContents(&painter, sheet);
        painter.restore();
    }
    return true;
}

} // namespace kestrel::pdf
