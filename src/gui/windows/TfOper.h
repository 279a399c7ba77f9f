#pragma once

#include "core/image/MemoryImage.h"
#include "core/image/TimeStamp.h"
#include "core/oplog/OperationalChart.h"
#include "core/oplog/OperationalPages.h"

#include <QDialog>

#include <memory>

class QCustomPlot;
class QListWidgetItem;
class QPrinter;

namespace kestrel::gui {

class GuiDialogs;
class OperationalChartPlot;

// "Оперативная информация": the operational log section of one cycle record as a time
// chart, with the check list of series, paging, "След." (the next section of the log),
// the 3D switch, printing and saving as a bitmap. Opened modally from the cycle lists.
class TfOper : public QDialog {
    Q_OBJECT
public:
    // Finds the section of `stamp` in the image's operational log at once; a stamp that is
    // not there is reported when the window is first shown, and the window stays empty.
    TfOper(const MemoryImage& image, const StampBytes& stamp, GuiDialogs& dialogs, QWidget* parent = nullptr);
    ~TfOper() override;

    const OperationalChart& chart() const { return chart_; }
    PageChoice pageChoice() const;
    int page() const { return page_; }
    int pages() const;
    OperationalChartPlot& plot() const { return *plot_; }
    // The text shown under the title when "След." found no further section; else empty.
    const QString& remark() const { return remark_; }

    // Draws the current page again (what every control change ends with).
    void redrawPage();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The chart of the section now shown: series, check list, title, first page.
    void showChart();
    void chbShowClickCheck(QListWidgetItem* item);
    void rgPagesClick();
    void bbPrevClick();
    void bbNextClick();
    void BitBtn6Click();
    void bbPrintClick();
    void bbSaveClick();
    void updatePageControls();

    struct Ui;
    std::unique_ptr<Ui> ui_;
    std::unique_ptr<OperationalChartPlot> plot_;
    std::unique_ptr<QPrinter> printer_; // kept between prints, as the user set it up
    GuiDialogs& dialogs_;
    MemoryImage image_;
    OperationalChart chart_;
    QString remark_;
    int page_ = 1;
    bool firstShow_ = true;
    bool settingRange_ = false;
};

} // namespace kestrel::gui
