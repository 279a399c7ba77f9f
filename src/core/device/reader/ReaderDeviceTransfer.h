#pragma once

#include "core/device/Clock.h"
#include "core/device/i2c/TI2C.h"
#include "core/device/reader/MemoryBus.h"
#include "core/ui/UserInterface.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <vector>

namespace kestrel {

// The reader device (ПСИ) on the I2C bus: a 32 KiB serial memory at 0xAE/0xAF with
// 16-bit addresses and 32-byte write pages. Finds the bus it hangs on, reads and writes
// ranges of its memory, and reports through the status bar, the progress bar and
// message boxes as the main window does. The procedures are the same on every bus
// (MemoryBus): the parallel port's bit-banged master, or an I2C adapter of i2c-dev.
class ReaderDeviceTransfer {
public:
    // On the parallel port only (probes 0x378, 0x278, 0x3BC and then an address the user types).
    ReaderDeviceTransfer(TI2C& bus, Clock& clock, UserInterface& ui);
    // On the buses given, searched in their order, and then on the parallel port when
    // `port` is given (USB adapters come before the port).
    ReaderDeviceTransfer(std::vector<std::unique_ptr<MemoryBus>> buses, TI2C* port, Clock& clock, UserInterface& ui);
    ~ReaderDeviceTransfer();

    // Searches the buses in order; the first on which the device answers is used by the
    // transfers. Result: the device-found flag.
    bool findReader();
    bool deviceFound() const { return deviceFound_; }

    // Both expect findReader to have succeeded. True when every byte went through;
    // bytes read or pages written before a failure stay read or written.
    bool readDevice(std::uint16_t start, std::span<std::uint8_t> buffer);
    bool writeDevice(std::uint16_t start, std::span<const std::uint8_t> data);

    // Failed attempts in a row (address not acknowledged, transaction or page begun
    // again) after which a transfer on the port gives up as timed out. A device in its
    // write cycle needs a few; one that never answers would otherwise hang the program.
    int RetryLimit = 1000;

    Clock& clock() { return clock_; }
    UserInterface& ui() { return ui_; }
    // The bus the last search found the device on (the first one before any search).
    MemoryBus& activeBus() { return *buses_.at(active_); }
    bool hasBuses() const { return !buses_.empty(); }

private:
    // The load action disabled, the opening status text, a pump and the pause before the bus.
    void beginTransfer(const char* status);
    // Progress back to 0, the load action enabled again, the closing status text.
    bool endTransfer(int maximum, const char* status, bool result);
    // The message box of a failed transfer, when the failure deserves one.
    void reportTransferError(const std::exception& error);
    // The port's fixed pause, where the bus is paced by pauses.
    void pause();

    std::vector<std::unique_ptr<MemoryBus>> buses_;
    std::size_t active_ = 0;
    Clock& clock_;
    UserInterface& ui_;
    bool deviceFound_ = false;
};

// Texts of the transfers, also checked by callers and tests.
inline constexpr const char* kReaderCaption = "Прибор считывания информации";
inline constexpr const char* kReaderNotFound = "Прибор считывания информации не обнаружен!";
inline constexpr const char* kReadDone = "Данные загружены в память";
inline constexpr const char* kReadFailed = "Данные не загружены в память";
inline constexpr const char* kWriteDone = "Данные записаны на ПСИ";
inline constexpr const char* kWriteFailed = "Данные не записаны на ПСИ";
inline constexpr const char* kLostAfterRead =
    "ПСИ не ответил после чтения: связь с прибором потеряна, прочитанные данные недостоверны!";
inline constexpr const char* kLostAfterWrite =
    "ПСИ не ответил после записи: связь с прибором потеряна, запись не подтверждена!";

} // namespace kestrel
