#pragma once

#include "core/config/Normalisation.h"
#include "core/text/DisplayLocale.h"

#include <QDialog>

#include <memory>
#include <vector>

class QTreeWidgetItem;

namespace kestrel::gui {

class GuiDialogs;

// "Коррекция нормировки ": Qo and Qном of each sensor, typed or scaled by the ratio of
// a nominal to a real value. Opened with the lvCalibr rows; after "Ввод" (Accepted)
// confirmed() holds the rows to put back. Conversion messages go to `dialogs`.
class TfNormir : public QDialog {
    Q_OBJECT
public:
    TfNormir(std::vector<SensorRow> sensors, SensorLayout layout, float craneCapacity, const DisplayLocale& locale,
        GuiDialogs& dialogs, QWidget* parent = nullptr);
    ~TfNormir() override;

    // The lvCalibr rows from the first sensor on; fewer than the sensors when one of
    // them did not convert.
    const std::vector<ConfirmedSensor>& confirmed() const { return confirmed_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void lvSensSelectItem();
    // Leaving eQo or eQnom: both fields into the selected sensor.
    void eQoExit();
    void sbScaleClick();
    void bbUpdateClick();
    int selectedSensor() const;
    void showSensorFields(int index);

    struct Ui;
    std::unique_ptr<Ui> ui_;
    std::vector<SensorRow> sensors_;
    SensorLayout layout_;
    DisplayLocale locale_;
    GuiDialogs& dialogs_;
    std::vector<ConfirmedSensor> confirmed_;
};

} // namespace kestrel::gui
