#pragma once

#include "core/device/reader/AreaRange.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <span>

namespace kestrel::gui {

class MemoryDumpModel;

// "Дополнительно..." (tsExtended): the hex table sgRAM (a table model, filled at once)
// and the area fields with "Прочитать" and "Стереть".
class ExtendedPage : public QWidget {
    Q_OBJECT
public:
    explicit ExtendedPage(QWidget* parent = nullptr);
    ~ExtendedPage() override;

    // showMemoryDump: the bytes read from device address `start`.
    void showMemoryDump(std::uint16_t start, std::span<const std::uint8_t> bytes);
    MemoryDumpModel& model() const;
    // After an erase the table no longer shows what the device holds.
    void clearMemoryDump();

    // eeStart / eeSize as typed, and rewritten after readAreaRange.
    AreaFields areaFields() const;
    void setAreaFields(const AreaFields& fields);
    // The fields rewritten as readAreaRange will take them, before a transfer starts,
    // so the area being read or erased is in view while it runs. Fields it would
    // refuse stay as typed; the refusal itself is reported by the action.
    void showNormalisedAreaFields();

signals:
    void readRequested();  // bbGetRAM "Прочитать"
    void eraseRequested(); // bbErase "Стереть"

private:
    struct Ui;
    std::unique_ptr<Ui> ui_;
};

} // namespace kestrel::gui
