#pragma once

#include "core/device/Clock.h"
#include "core/device/PortAccess.h"
#include "core/device/i2c/BusError.h"
#include "core/ui/UserInterface.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kestrel {

class TPortIO;

// A software I2C bus master on one parallel port. SDA is driven by data bit 4 and
// SCL by data bit 5 (1 pulls the line low); both are sensed on the status register,
// SDA on bit 6 and SCL on bit 7, which the port inverts and ReadStatus flips back.
// Bits are timed by a busy loop calibrated once; every clock edge is waited for at
// most WaitLimit polls. Faults are raised as BusError; a missing acknowledge is not
// a fault but a false result.
class TI2C {
public:
    // The program's own: opens the port driver from the program's folder and says so
    // through `ui` when it cannot be opened; the object is usable (and fails on the
    // port) either way.
    TI2C(Clock& clock, UserInterface& ui, std::string programFolder);
    // Over a port someone else owns: tests and the simulation.
    TI2C(PortAccess& port, Clock& clock, UserInterface& ui);
    ~TI2C();
    TI2C(const TI2C&) = delete;
    TI2C& operator=(const TI2C&) = delete;

    std::int32_t DelayLoops = 0;  // busy-loop rounds of one bit delay
    std::int32_t WaitCount = 0;   // polls of the current line wait
    std::uint8_t Status = 0;      // last status byte, bit 7 flipped: bit 7 = SCL, bit 6 = SDA
    bool TimedOut = false;        // the last line wait ran out of polls
    std::int32_t WaitLimit = 1000;
    std::uint16_t BaseAddress = 0; // data register; the status register is the next address
    std::uint8_t Latch = 0;       // mirrors the data register

    // Line reset, recovery clocking of a device holding SDA, stop; true when both lines are then high.
    bool InitBus();
    // Start condition, `b`, acknowledge; true when acknowledged.
    bool StartAddress(std::uint8_t b);
    // `a` then `b`, each acknowledged; false at the first missing acknowledge (b is then not sent).
    bool SendTwoBytes(std::uint8_t a, std::uint8_t b);
    // Eight bits, most significant first; SDA released afterwards for the acknowledge.
    void SendByte(std::uint8_t b);
    // Clocks the acknowledge bit in; true when SDA was low.
    bool ReadAck();
    void RepeatedStart();
    std::uint8_t ReadByte();
    void SendAck();
    void SendNack();
    // Stop condition; raises a conflict unless both lines then read high.
    void Stop();

    // The port component this object opened, or nullptr over a borrowed port.
    TPortIO* ownedPort() { return ownedPort_.get(); }

private:
    void SdaRelease();
    void SdaLow();
    void SclRelease();
    void SclLow();
    void ReadStatus();
    void Delay();
    void CheckWait(const char* message);

    void writeLatch();
    bool sdaHigh() const { return (Status & kSdaBit) != 0; }
    bool sclHigh() const { return (Status & kSclBit) != 0; }
    // Polls until `condition` holds on Status, advancing the shared WaitCount.
    template <typename Condition>
    void waitUntil(Condition condition, const char* message);
    // Milliseconds one run of the calibration loop takes on the clock.
    std::int64_t measureCalibrationLoop();
    // DelayLoops from the quickest of several runs of the calibration loop.
    void calibrateDelay();

    static constexpr std::uint8_t kSdaDrive = 0x10;
    static constexpr std::uint8_t kSclDrive = 0x20;
    static constexpr std::uint8_t kSdaBit = 0x40;
    static constexpr std::uint8_t kSclBit = 0x80;

    std::unique_ptr<TPortIO> ownedPort_;
    PortAccess& port_;
    Clock& clock_;
};

} // namespace kestrel
