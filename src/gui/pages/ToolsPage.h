#pragma once

#include "core/config/ServicePage.h"
#include "core/image/MemoryImage.h"
#include "core/pipeline/Session.h"
#include "core/text/DisplayLocale.h"
#include "core/view/MainView.h"

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <memory>

class QPushButton;
class QTimer;

namespace kestrel::gui {

class GuiDialogs;
class TfMakeGruz;

// "Сервис" (tsTools): operation boxes, clock pickers, the program settings (switches,
// thresholds, sgVylet), lvCalibr, lVersion and the last operations. It shows what an
// image holds and gives the write-back what the engineer set.
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

    // "Редактор" opens the load characteristic editor, created here once and reused; its
    // anchor codes come from `image`. Messages of the chart and the editor go to `dialogs`.
    void attachLoadCharacteristicEditor(GuiDialogs& dialogs, const MemoryImage& image, const DisplayLocale& locale);
    TfMakeGruz* loadCharacteristicEditor() const { return loadEditor_.window; }
    // Ticking chbNormir opens the normalisation window on lvCalibr: the sensor layout by
    // the program name in the session's image, eNom/eReal from the crane capacity the
    // last processing decoded. Not confirmed unticks the box; confirmed replaces the rows.
    void attachNormalisationEditor(GuiDialogs& dialogs, const Session& session);

    // What the write-back reads from this page: the operation boxes, the clock pickers,
    // the "Qo"/"Qном" texts of lvCalibr, the switches, the spin edit texts and sgVylet.
    // The identification texts belong to the main page and are left as they are.
    void readServicePage(ServicePage& page) const;
    // After a write-back: the boxes of the operations it has written are unticked.
    void applyWriteBack(const ServicePage& page);
    // The start option --extended: chbProgram and chbErase are shown and usable, and the
    // program pages with chbProgram. Without them the program group keeps only lVersion
    // and gives its room away.
    void setExtendedOperations(bool shown);

    // Where the clock pickers take the current date and time from (the system clock
    // unless a test sets another).
    void setClock(std::function<QDateTime()> now);

signals:
    // chbEditPKR changed: the passport groups of the main page follow it.
    void editIdentificationToggled(bool checked);

protected:
    // tsToolsShow: the clock pickers show the current date and time, and follow it each
    // second while the page is shown and the engineer has not changed them.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // Enter that no control on the page took presses bbChangeIdent, as a default button would.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void redrawLoadChart();
    // bbMakeGruzClick: the editor modally, then the chart again whatever it answered.
    void bbMakeGruzClick();

    struct LoadEditor {
        GuiDialogs* dialogs = nullptr;
        const MemoryImage* image = nullptr;
        const DisplayLocale* locale = nullptr;
        TfMakeGruz* window = nullptr;
    } loadEditor_;
    // chbNormirClick.
    void chbNormirTicked(bool checked);
    struct NormalisationEditor {
        GuiDialogs* dialogs = nullptr;
        const Session* session = nullptr;
    } normalisationEditor_;
    // chbSetRTC: the clock group takes input only while it is ticked, and looks like it.
    void setClockEditable(bool editable);
    void setClockPickers(const QDateTime& now);
    // Each second: the pickers show `now_()` unless the engineer has set them.
    void clockTick();
    void scheduleClockTick(const QDateTime& now);
    void clockPickerChanged();

    std::function<QDateTime()> now_;
    QTimer* clockTimer_ = nullptr;
    bool clockEdited_ = false;
    bool settingClock_ = false;

    struct Ui;
    std::unique_ptr<Ui> ui_;
};

} // namespace kestrel::gui
