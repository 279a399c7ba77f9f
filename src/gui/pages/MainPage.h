#pragma once

#include "core/text/DisplayLocale.h"
#include "core/view/MainView.h"

#include <QDate>
#include <QWidget>

#include <memory>

namespace Ui {
class MainPage;
}

namespace kestrel::gui {

class DecimalKeyFilter;

// "Главная" (tsMain): the reporting period, the crane figures and lvCommon, the crane
// passport (gbInfo) and the recorder group (gbReg).
class MainPage : public QWidget {
    Q_OBJECT
public:
    explicit MainPage(QWidget* parent = nullptr);
    ~MainPage() override;

    // The decimal separator of the capacity key filter and the eRegSetup date format.
    void setDisplayLocale(const DisplayLocale& locale);

    // The period, the passport and the recorder fields.
    void showIdentification(const IdentificationView& identification);
    // The crane figures and the value columns of lvCommon.
    void showStatistics(const StatisticsView& statistics);
    // What the page shows now (the passport and recorder fields may have been edited).
    void readInto(IdentificationView& identification, StatisticsView& statistics) const;

    // chbEditPKR: the passport and recorder groups take input only while it is ticked.
    void setIdentificationEditable(bool editable);

private:
    std::unique_ptr<Ui::MainPage> ui_;
    DecimalKeyFilter* decimalFilter_ = nullptr;
    // eRegSetup as last shown, so that an unchanged picker gives the value back exactly.
    DateTime shownRegSetup_ = 0.0;
    QDate shownRegSetupDate_;
    // The zero day means "no date": its text is shown as an empty field and given back unchanged.
    std::string zeroDateText_;
    bool startDateCheckBlanked_ = false;
};

} // namespace kestrel::gui
