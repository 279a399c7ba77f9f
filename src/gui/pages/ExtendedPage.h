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

    // eeStart / eeSize as typed, and rewritten after readAreaRange.
    AreaFields areaFields() const;
    void setAreaFields(const AreaFields& fields);

signals:
    void readRequested();  // bbGetRAM "Прочитать"
    void eraseRequested(); // bbErase "Стереть"

private:
    struct Ui;
    std::unique_ptr<Ui> ui_;
};

} // namespace kestrel::gui
