#pragma once

#include "core/device/Clock.h"
#include "core/device/i2c/BusError.h"
#include "core/device/i2cdev/I2cAdapters.h"
#include "core/device/i2cdev/I2cDevCalls.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace kestrel {

// The adapter cannot be used: missing, not permitted, gone, or not able to reach the
// reader device. The message is the Russian text the user is shown.
class I2cAdapterError : public BusError {
public:
    using BusError::BusError;
};

// The reader device did not answer within the deadline (the bus master's TimedOut).
class I2cTimeoutError : public BusError {
public:
    using BusError::BusError;
};

inline constexpr std::uint16_t kReaderI2cAddress = 0x57;     // 0xAE / 0xAF as a 7-bit address
inline constexpr std::uint32_t kI2cDeadlineMs = 50;          // per chunk, page or write cycle
inline constexpr std::size_t kReaderPageSize = 32;
inline constexpr std::size_t kReaderMemorySize = 0x8000;
inline constexpr const char* kWriteCycleTimeoutMessage = "ПСИ не завершил запись страницы: превышено время ожидания!";

// The memory transactions of the reader device over Linux i2c-dev, the way the
// kernel's at24 EEPROM driver does them: a read is an address write and a read joined
// by a repeated start; a page write is one message; a not-acknowledge means the device
// is busy and is retried 1 ms apart until a deadline; the end of a write cycle is found
// by polling with 1-byte reads (a zero-length probe is not something every USB bridge
// can send).
class I2cMemoryBus {
public:
    I2cMemoryBus(I2cDevCalls& calls, Clock& clock, std::string devicePath, AdapterKind kind);
    ~I2cMemoryBus();
    I2cMemoryBus(const I2cMemoryBus&) = delete;
    I2cMemoryBus& operator=(const I2cMemoryBus&) = delete;

    // Opens the device node and checks that the adapter does plain I2C transfers.
    void open();
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // One 1-byte read at the device: true when it acknowledged.
    bool deviceAnswers();
    // Reads consecutive memory from `address`; address + size must not pass 0x8000.
    void read(std::uint16_t address, std::span<std::uint8_t> out);
    // Writes within one 32-byte page and waits out the write cycle.
    void writePage(std::uint16_t address, std::span<const std::uint8_t> data);
    // The proof that ends a transfer: the device answers within the deadline, or
    // I2cAdapterError(message).
    void confirmAnswers(const char* message);

    const std::string& devicePath() const { return path_; }
    // The chunk sizes that the adapter took so far (they only shrink).
    std::size_t readChunk() const { return readChunk_; }
    std::size_t writeChunk() const { return writeChunk_; }

    struct Counters {
        long transfers = 0;      // I2C_RDWR calls made
        long bytesRead = 0;      // bytes received in acknowledged transfers
        long bytesWritten = 0;   // bytes sent in acknowledged transfers, memory addresses included
        long notAcknowledged = 0;
        long shapeRefusals = 0;  // transfers the adapter refused for their size or form
    };
    const Counters& counters() const { return counters_; }

private:
    enum class Outcome { Done, NotAcknowledged, ShapeRefused };
    Outcome transfer(std::span<I2cMessage> messages);
    // Runs `attempt` until it is done: not-acknowledges retried 1 ms apart until the
    // deadline, shape refusals handed to `shrink`, which returns false when it cannot.
    template <typename Attempt, typename Shrink>
    void untilAcknowledged(Attempt attempt, Shrink shrink, const char* timeoutMessage);
    void waitWriteCycle();
    [[noreturn]] void adapterGone();
    [[noreturn]] void unexpected(int error);
    void ensureOpen();

    I2cDevCalls& calls_;
    Clock& clock_;
    std::string path_;
    int fd_ = -1;
    bool gone_ = false;
    std::size_t readChunk_;
    std::size_t writeChunk_;
    Counters counters_;
};

} // namespace kestrel
