#include "gui/widgets/ChartOutput.h"

#include "gui/app/FileFilter.h"
#include "gui/app/GuiDialogs.h"

#include <qcustomplot.h>

namespace kestrel::gui {

void printChart(QWidget* parent, QCustomPlot& chart, std::unique_ptr<QPrinter>& printer, GuiDialogs& dialogs)
{
    if (!printer)
        printer = std::make_unique<QPrinter>(QPrinter::ScreenResolution);
    if (!dialogs.preparePrinter(parent, *printer))
        return;

    const QPageLayout::Orientation previous = printer->pageLayout().orientation();
    printer->setPageOrientation(QPageLayout::Landscape);
    bool printed = false;
    {
        QCPPainter painter;
        if (painter.begin(printer.get())) {
            const QRect page = printer->pageRect(QPrinter::DevicePixel).toRect();
            chart.toPainter(&painter, page.width(), page.height());
            printed = painter.end();
        }
    }
    printer->setPageOrientation(previous);
    if (!printed)
        dialogs.message(parent, QStringLiteral("Ошибка печати графика!"));
}

void saveChartAsBitmap(QWidget* parent, QCustomPlot& chart, GuiDialogs& dialogs)
{
    GuiDialogs::FileOptions options;
    options.title = QStringLiteral("Сохранение графика");
    options.filter = qtFileFilter(QStringLiteral("Bitmaps (*.bmp)|*.bmp"));
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
