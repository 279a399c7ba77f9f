#pragma once

#include "core/view/MainView.h"

#include <QWidget>

#include <memory>

class QPushButton;

namespace kestrel::gui {

// "Сервис" (tsTools): operation boxes, clock pickers, the program settings (switches,
// thresholds, sgVylet), lvCalibr, lVersion and the last operations. This step shows
// what an image holds; the write-back comes later.
class ToolsPage : public QWidget {
    Q_OBJECT
public:
    explicit ToolsPage(QWidget* parent = nullptr);
    ~ToolsPage() override;

    // Settings, lVersion and the three last-operation edits.
    void showSettings(const SettingsView& settings, const IdentificationView& identification);
    // What the page shows now, for the documents (lvCalibr, lVersion).
    void readInto(SettingsView& settings, IdentificationView& identification) const;

    // bbChangeIdent "Записать в ПСИ": the window attaches the PkrSave action to it.
    QPushButton* changeIdentButton() const;

signals:
    // chbEditPKR changed: the passport groups of the main page follow it.
    void editIdentificationToggled(bool checked);

protected:
    // tsToolsShow: the clock pickers show the current date and time.
    void showEvent(QShowEvent* event) override;

private:
    void redrawLoadChart();

    struct Ui;
    std::unique_ptr<Ui> ui_;
};

} // namespace kestrel::gui
