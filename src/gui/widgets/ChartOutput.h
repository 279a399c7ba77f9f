#pragma once

#include <QPrinter>

#include <memory>

class QCustomPlot;
class QWidget;

namespace kestrel::gui {

class GuiDialogs;

// "Печать" of a chart: the print dialog, then the chart with its title on one landscape
// page inside 15 mm margins. `printer`
// is created on first use and kept, so the user's choices last between prints; its
// page layout is restored afterwards. A failure says "Ошибка печати графика!".
void printChart(QWidget* parent, QCustomPlot& chart, std::unique_ptr<QPrinter>& printer, GuiDialogs& dialogs);

// "Сохранить" of a chart: the picture dialog ("Сохранение графика", *.bmp, asks before
// overwriting), then the chart at its size on the screen as a bitmap.
void saveChartAsBitmap(QWidget* parent, QCustomPlot& chart, GuiDialogs& dialogs);

} // namespace kestrel::gui
