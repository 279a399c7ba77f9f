#pragma once

#include <cstdint>
#include <exception>
#include <span>

namespace kestrel {

// One way to the reader device's memory: the bit-banged master on a parallel port, or
// an I2C adapter through Linux i2c-dev. The reader-device procedures (search, read,
// write, their status texts and progress) are stated once over it; each bus brings its
// own transactions, retries and proof that the device still answers.
class MemoryBus {
public:
    virtual ~MemoryBus() = default;

    // Looks for the reader device on this bus, saying where it looks in the status bar;
    // true when it answered (the bus stays on it).
    virtual bool search() = 0;
    // The port's fixed pauses pace the port and its display; other buses go at their own speed.
    virtual bool pacedByPauses() const = 0;

    // Makes the bus ready for a transfer; throws BusError when it cannot.
    virtual void begin() = 0;
    // One block of at most 256 bytes from `address`, its last byte not yet refused.
    virtual void readBlock(std::uint16_t address, std::span<std::uint8_t> out) = 0;
    // Ends the block after its progress was reported.
    virtual void endBlock() = 0;
    // Bytes within one 32-byte page; the write cycle of the page before is waited out.
    virtual void writePage(std::uint16_t address, std::span<const std::uint8_t> data) = 0;
    // The proof that ends a read or a write: the device answers again within the bound,
    // else `lostMessage` is raised.
    virtual void endRead(const char* lostMessage) = 0;
    virtual void endWrite(const char* lostMessage) = 0;

    // Whether a failure deserves a message box of its own (the status text alone would
    // not say why); may forget the failure's marks once asked.
    virtual bool failureIsShown(const std::exception& error) = 0;
};

} // namespace kestrel
