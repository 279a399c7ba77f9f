#pragma once

#include "core/device/Clock.h"
#include "core/image/MemoryImage.h"

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace kestrel {

// Faults the simulated reader device can be told to show.
struct SimulatedFaults {
    int stuckSdaClocks = 0;          // SDA held low by the device for this many SCL pulses from power-up
    int clockStretchPolls = 0;       // the device holds SCL low for this many status reads after each release
                                     // (at most 1 ms: a master that pauses instead of polling finds it released)
    double nackProbability = 0.0;    // each acknowledge of the device is missing with this probability
    long disconnectAfterBytes = -1;  // the device vanishes (lines float high, no acknowledges) after this many bytes
    long flipBitAtByte = -1;         // the byte with this index among the bytes it sends has bit 0 flipped
    std::uint32_t seed = 1;          // seeds the missing acknowledges, so a run can be repeated
};

// The serial memory of the reader device as an I2C slave at 0xAE/0xAF: 32 768 bytes,
// 16-bit addresses high byte first, sequential reads with address wrap, 32-byte page
// writes rolling over inside the page, and a write cycle after each stop that ended
// a write, during which it does not acknowledge its address. The cycle ends after
// `writeCycleMs` or once the device has refused `writeCycleRefusals` address bytes,
// whichever comes first: a real cycle outlasts about that many acknowledge polls at
// bus speed, and a master running on a fake clock must see it end too. Open-drain lines: the
// bus level is low when either the master or the device pulls it low.
//
// Bytes counted for `disconnectAfterBytes` are all bytes the device clocked in after a
// start (its address byte included) and all bytes it sent. Clock stretching happens
// only while the device takes part in a transfer: a slave that is not addressed
// leaves the clock alone. A stretch ends after the given number of status reads, or
// once 1 ms has passed, as a real device never holds the clock for long.
class SimulatedReaderDevice {
public:
    SimulatedReaderDevice(const MemoryImage& memory, SimulatedFaults faults, Clock& clock);
    // A write cycle still running completes, so the backing file gets the last page.
    ~SimulatedReaderDevice();
    SimulatedReaderDevice(const SimulatedReaderDevice&) = delete;
    SimulatedReaderDevice& operator=(const SimulatedReaderDevice&) = delete;

    // With a file behind it, every completed write cycle saves the memory to the file
    // (a temporary file renamed over it, so a crash never leaves half an image).
    void setBackingFile(std::string path);
    // Why the last save failed; empty after a successful one. Saving never throws:
    // the bus would be the wrong place to learn of it.
    const std::string& saveError() const { return saveError_; }
    // Ends a write cycle that has run its time (the device also checks on every bus event).
    void poll();

    // The master drives the lines (true = pulls low); the device reacts to edges.
    void masterDrives(bool sclLow, bool sdaLow);
    // Line levels as the master senses them (true = high), without side effects.
    bool sdaLevel() const;
    bool sclLevel() const;
    // One read of the status register: both levels as sensed now, then a stretched
    // clock counts that read.
    struct Lines {
        bool sda;
        bool scl;
    };
    Lines senseLines();

    const MemoryImage& memory() const { return memory_; }
    MemoryImage& memory() { return memory_; }
    double writeCycleMs = 5.0;
    int writeCycleRefusals = 50;
    bool inWriteCycle() const { return writeCycleRunning_; }
    bool disconnected() const { return disconnected_; }

    // What happened on the bus, for tests.
    struct Counters {
        long starts = 0, stops = 0, addressNacks = 0, bytesSent = 0, bytesReceived = 0, pagesWritten = 0;
        long acksWithheld = 0; // acknowledges dropped by the nack fault
        long fileSaves = 0;
    } counters;

private:
    enum class Phase {
        Idle,         // waiting for a start condition
        Receiving,    // shifting a byte in from the master
        AckOut,       // driving (or not) our acknowledge of that byte
        Sending,      // shifting a byte out to the master
        AckIn,        // reading the master's acknowledge of the byte we sent
    };
    // What the byte being received means.
    enum class Field { DeviceAddress, AddressHigh, AddressLow, Data };

    void settle();
    void endStretchIfOverdue();
    void endStretch();
    void onSclRise();
    void onSclFall();
    void onStart();
    void onStop();
    void byteReceived();
    void loadNextByteToSend();
    void goIdle();
    bool busScl() const { return !(masterSclLow_ || deviceSclLow_); }
    bool busSda() const { return !(masterSdaLow_ || deviceSdaLow_); }
    bool acknowledgeDropped();
    bool vanishIfDue();
    void commitPage();
    void finishWriteCycle();
    void save();

    MemoryImage memory_;
    SimulatedFaults faults_;
    Clock& clock_;
    std::optional<std::string> file_;
    std::string saveError_;
    std::mt19937 random_;

    // Line drivers and the levels last seen.
    bool masterSclLow_ = false, masterSdaLow_ = false;
    bool deviceSclLow_ = false, deviceSdaLow_ = false;
    bool scl_ = true, sda_ = true;
    int stuckClocksLeft_ = 0;
    int stretchLeft_ = 0;
    std::uint32_t stretchStart_ = 0;
    bool disconnected_ = false;
    long bytesOnBus_ = 0;
    long bytesLoaded_ = 0;

    // Protocol state.
    Phase phase_ = Phase::Idle;
    Field field_ = Field::DeviceAddress;
    bool reading_ = false;      // the transfer was addressed with 0xAF
    bool masterAcked_ = false;
    int bitCount_ = 0;
    std::uint8_t shift_ = 0;
    std::uint16_t address_ = 0; // the internal address counter, always below 0x8000
    std::uint8_t addressHigh_ = 0;

    // The page being written: bytes buffered until the stop.
    std::uint16_t pageBase_ = 0;
    std::array<std::uint8_t, 32> pageData_{};
    std::uint32_t pageFilled_ = 0; // bit i: pageData_[i] was written

    bool writeCycleRunning_ = false;
    std::uint32_t writeCycleStart_ = 0;
    int writeCycleRefused_ = 0;
};

} // namespace kestrel
