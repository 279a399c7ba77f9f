#pragma once

#include "core/config/LoadCharacteristicEditor.h"

#include <QDialog>

#include <array>
#include <memory>
#include <optional>
#include <span>

class QCPGraph;
class QTableWidgetItem;

namespace Ui {
class TfMakeGruz;
}

namespace kestrel::gui {

class GuiDialogs;

// "Задание грузовой характеристики": the outreach, code and load of zones 0..11, the
// interpolation of a zone between its complete neighbours, and the chart. Created once
// and reused; every opening starts again from sgVylet and the image. The rules live in
// LoadCharacteristicEditor; this window shows its grid and passes edits to it.
class TfMakeGruz : public QDialog {
    Q_OBJECT
public:
    using CodeAndLoad = LoadCharacteristicEditor::CodeAndLoad;
    using Confirmed = std::array<CodeAndLoad, LoadCharacteristicEditor::kRows>;

    explicit TfMakeGruz(GuiDialogs& dialogs, QWidget* parent = nullptr);
    ~TfMakeGruz() override;

    // The decimal separator of the outreach texts.
    void setDisplayLocale(const DisplayLocale& locale);

    // FormShow: the grid from sgVylet's codes and loads and the image's anchor codes.
    void FormShow(std::span<const CodeAndLoad> vylet, ConstBytes image);
    // What "OK" accepted at the last opening, for sgVylet rows 1..12.
    const std::optional<Confirmed>& confirmed() const { return confirmed_; }
    const LoadCharacteristicEditor& editor() const { return editor_; }

    void bbCalcClick();
    void bbClearClick();
    void bbOkClick();
    void bbCancelClick();

private:
    void sgMakeGruzSetEditText(QTableWidgetItem* item);
    void showGrid();
    void redrawChart();

    std::unique_ptr<Ui::TfMakeGruz> ui_;
    GuiDialogs& dialogs_;
    LoadCharacteristicEditor editor_;
    std::optional<Confirmed> confirmed_;
    QCPGraph* graph_ = nullptr;
};

} // namespace kestrel::gui
