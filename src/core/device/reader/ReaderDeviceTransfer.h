#pragma once

#include "core/device/Clock.h"
#include "core/device/i2c/TI2C.h"
#include "core/ui/UserInterface.h"

#include <cstdint>
#include <exception>
#include <span>

namespace kestrel {

// The reader device (ПСИ) on the I2C bus: a 32 KiB serial memory at 0xAE/0xAF with
// 16-bit addresses and 32-byte write pages. Finds the port it hangs on, reads and
// writes ranges of its memory, and reports through the status bar, the progress bar
// and message boxes as the main window does.
class ReaderDeviceTransfer {
public:
    ReaderDeviceTransfer(TI2C& bus, Clock& clock, UserInterface& ui);

    // Probes 0x378, 0x278, 0x3BC and then an address the user types; leaves the bus
    // on the port found (or the last one tried). Result: the device-found flag.
    bool findReader();
    bool deviceFound() const { return deviceFound_; }

    // Both expect findReader to have succeeded. True when every byte went through;
    // bytes read or pages written before a failure stay read or written.
    bool readDevice(std::uint16_t start, std::span<std::uint8_t> buffer);
    bool writeDevice(std::uint16_t start, std::span<const std::uint8_t> data);

    // Failed attempts in a row (address not acknowledged, transaction or page begun
    // again) after which a transfer gives up as timed out. A device in its write
    // cycle needs a few; one that never answers would otherwise hang the program.
    int RetryLimit = 1000;

    TI2C& bus() { return bus_; }
    Clock& clock() { return clock_; }
    UserInterface& ui() { return ui_; }

private:
    void showSearchStatus(const std::string& text);
    std::uint16_t askForPort();
    // Acknowledge polling: start + 0xAE until the device answers, a stop after each miss.
    void pollAcknowledge(int& failures);
    // The proof that ends a transfer: the device must acknowledge its address again
    // within the bound, else `message` is raised as a shown failure. A device that
    // vanished during the last transaction leaves SDA floating high, which reads as
    // 0xFF bytes and as acknowledges given; only this tells it apart. After a write's
    // final stop it also waits out the last page's write cycle.
    void confirmDeviceAnswers(const char* message);
    // A missed attempt; throws a time-out once `RetryLimit` of them came in a row.
    void countFailure(int& failures);
    void beginSequentialRead(std::uint16_t address);
    // The load action disabled, the opening status text, a pump and the pause before the bus.
    void beginTransfer(const char* status);
    // Progress back to 0, the load action enabled again, the closing status text.
    bool endTransfer(int maximum, const char* status, bool result);
    // The message box of a failed transfer, when the failure deserves one.
    void reportTransferError(const std::exception& error);

    TI2C& bus_;
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
