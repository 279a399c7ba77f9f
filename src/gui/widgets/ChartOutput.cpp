#include "gui/widgets/ChartOutput.h"

#include "gui/app/FileFilter.h"
#include "gui/app/GuiDialogs.h"

#include <qcustomplot.h>

namespace kestrel::gui {

namespace {
const QMarginsF kChartPrintMargins(15.0, 15.0, 15.0, 15.0);
}

void printChart(QWidget* parent, QCustomPlot& chart, std::unique_ptr<QPrinter>& printer, GuiDialogs& dialogs)
{
    if (!printer)
        printer = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
    if (!dialogs.preparePrinter(parent, *printer))
        return;

    // Landscape with margins a printed sheet needs; the user's own layout comes back afterwards.
    const QPageLayout previous = printer->pageLayout();
    printer->setPageOrientation(QPageLayout::Landscape);
    printer->setPageMargins(kChartPrintMargins, QPageLayout::Millimeter);
    bool printed = false;
    {
        QCPPainter painter;
        if (painter.begin(printer.get())) {
            // The chart is drawn with its title, at the printable area's size.
            const QRect page = printer->pageRect(QPrinter::DevicePixel).toRect();
            chart.toPainter(&painter, page.width(), page.height());
            printed = painter.end();
        }
    }
    printer->setPageLayout(previous);
    if (!printed)
        dialogs.message(parent, QStringLiteral("Ошибка печати графика!"));
}

void saveChartAsBitmap(QWidget* parent, QCustomPlot& chart, GuiDialogs& dialogs)
{
    GuiDialogs::FileOptions options;
    options.title = QStringLiteral("Сохранение графика");
    options.filter = qtFileFilter(QStringLiteral("Рисунок BMP (*.bmp)|*.bmp"));
    options.defaultSuffix = QStringLiteral("bmp");
    options.confirmOverwrite = true;
    const QString fileName = dialogs.saveFileName(parent, options);
    if (fileName.isEmpty())
        return;
    // Width and height 0: the chart's current size on the screen.
    if (!chart.saveBmp(fileName, 0, 0, 1.0))
        dialogs.message(parent, QStringLiteral("Ошибка записи файла %1!").arg(fileName));
}

} // namespace kestrel::gui
