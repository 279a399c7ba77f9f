#pragma once

#include "core/device/Clock.h"
#include "core/device/port/PrinterPins.h"
#include "core/device/port/Registry.h"
#include "core/device/port/TPortIO.h"

#include <array>
#include <cstdint>
#include <filesystem>

namespace kestrel {

// Where the LPT detection looks and what the printer strobe waits with; null: the real ones.
struct PrinterPortSeams {
    Registry* registry = nullptr;
    Clock* clock = nullptr;
    // The folder under which the kernel's proc/sys/dev/parport is read (Linux).
    std::filesystem::path procRoot = "/";
};

// The parallel-port side of the port component: the machine's LPT ports, one of them
// selected by number, its connector pins and a one-character printer strobe.
// Pins and strobe need an open driver and a selected LPT that was detected.
class TPrinterPortIO : public TPortIO {
public:
    static constexpr std::uint8_t kMaxLptNumber = 8;

    // Detects the ports and selects LPT1; does not open the driver.
    explicit TPrinterPortIO(PortIoSeams portSeams = {}, PrinterPortSeams printerSeams = {});

    // Rebuilds the port table and count; the selected base port stays until SetLPTNumber.
    void DetectPorts();
    void DetectPortsNT();
    void DetectPorts9x();
    void DetectPortsLinux();

    // 1..8 selects that LPT (base port 0 when it was not found); other numbers change nothing.
    void SetLPTNumber(std::uint8_t number);
    std::uint8_t LPTNumber() const { return lptNumber_; }
    std::uint8_t GetLPTNumPorts() const { return static_cast<std::uint8_t>(lptNumPorts_); }
    std::uint16_t GetLPTBasePort() const { return lptBasePort_; }
    // Entry n is the base address of LPTn, 0 when not found; entry 0 is never selected.
    const std::array<std::uint16_t, kMaxLptNumber + 1>& PortTable() const { return portTable_; }

    // Pin levels (inverted register bits compensated). Pins outside 1..17 read false;
    // input pins and pins outside 1..17 are not written. Neither touches a port then.
    bool GetPin(std::uint8_t pin);
    void SetPin(std::uint8_t pin, bool level);
    // Writes c with a 1 ms strobe; true when the printer then reports ready (BUSY low).
    bool LPTPrintChar(char c);

private:
    void clearPortTable();
    void addPort(long long lptNumber, std::uint16_t baseAddress);
    std::uint16_t selectedBase() const;

    Registry& registry_;
    Clock* clock_;
    std::filesystem::path procRoot_;

    std::uint8_t lptNumber_ = 0;
    std::uint16_t lptBasePort_ = 0;
    std::uint32_t lptNumPorts_ = 0;
    std::array<std::uint16_t, kMaxLptNumber + 1> portTable_{};
};

} // namespace kestrel
