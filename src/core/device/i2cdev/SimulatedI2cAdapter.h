#pragma once

#include "core/device/Clock.h"
#include "core/device/i2cdev/I2cAdapters.h"
#include "core/device/i2cdev/I2cDevCalls.h"
#include "core/image/MemoryImage.h"

#include <array>
#include <cstdint>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrel {

// What one USB-to-I2C bridge and its Linux driver allow, and how fast it is.
struct I2cSimProfile {
    const char* key;              // as written after "profile="
    AdapterKind kind;
    const char* adapterName;      // the name its driver gives the adapter
    std::uint32_t clockHz;        // SCL
    double latencyUs;             // per I2C_RDWR call: the USB round trips of a transfer
    std::size_t maxRead;          // bytes in one read message
    std::size_t maxWrite;         // bytes in one write message
    std::size_t maxFirstOfPair;   // bytes of the write before a repeated start (0: no limit of its own)
    int shapeErrno;               // the answer to a transfer it cannot do
    int nakErrno;                 // the answer when the device does not acknowledge
};

const I2cSimProfile& i2cSimProfile(AdapterKind kind);

// A parsed `i2c-sim` text:
//   i2c-sim[:FILE.bbd][,profile=mcp2221|ft260|cp2112|ch341|generic][,nak=P][,busy=MS][,vanish=N][,flip=N][,seed=N]
struct I2cSimSelection {
    std::string path;                        // the backing data file; empty: a zero memory kept nowhere
    AdapterKind profile = AdapterKind::Mcp2221;
    double nakProbability = 0.0;             // each transfer's address is refused with this probability
    double busyMs = 5.0;                     // the device's write cycle
    long vanishAfter = -1;                   // the adapter is unplugged after this many transfers
    long flipByte = -1;                      // bit 0 of the byte with this index among the bytes read flips once
    std::uint32_t seed = 1;
};

class I2cSimSelectionError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

I2cSimSelection parseI2cSimSelection(std::string_view text);

// A USB-to-I2C adapter with the reader device on it, at the level of i2c-dev messages:
// 32 KiB at 7-bit address 0x57, an address pointer, sequential reads wrapping at
// 0x8000, page writes rolling over inside their 32-byte page, and a write cycle after
// each write during which the device does not acknowledge. The adapter refuses
// transfers its driver could not send, with that driver's errno.
//
// Time: each transfer costs its bits at the profile's clock (start, address byte and
// 9 bits per byte for each message, and a stop) plus the profile's latency; that
// modelled time adds to the Clock's, so the write cycle ends both by the pauses of the
// master and by the bus traffic of its polls.
class SimulatedI2cAdapter : public I2cDevCalls {
public:
    // The memory comes from the selection's file (FileError if it cannot be read), or is zero.
    SimulatedI2cAdapter(const I2cSimSelection& selection, Clock& clock);
    // The given memory; a file in the selection is only where writes are saved.
    SimulatedI2cAdapter(const MemoryImage& memory, const I2cSimSelection& selection, Clock& clock);
    // Saves what was written, like close.
    ~SimulatedI2cAdapter() override;
    SimulatedI2cAdapter(const SimulatedI2cAdapter&) = delete;
    SimulatedI2cAdapter& operator=(const SimulatedI2cAdapter&) = delete;

    int open(const std::string& path) override;
    int functionality(int fd, std::uint64_t& funcs) override;
    int transfer(int fd, std::span<I2cMessage> messages) override;
    int close(int fd) override;

    const I2cSimProfile& profile() const { return profile_; }
    const MemoryImage& memory() const { return memory_; }
    MemoryImage& memory() { return memory_; }
    double modelledMicroseconds() const { return modelledUs_; }
    long transfers() const { return transfers_; }
    long openDescriptors() const { return static_cast<long>(open_.size()); }
    bool vanished() const { return vanished_; }
    bool inWriteCycle();
    // Why the last save failed; empty after a successful one.
    const std::string& saveError() const { return saveError_; }

    // Answers the tests can set: an open that fails with this errno, and the
    // functionality bits of the adapter.
    int openErrno = 0;
    std::uint64_t functionalityBits = kI2cFuncI2c | 0x0EFF0000; // plain I2C and the SMBus commands

private:
    void advance(std::span<const I2cMessage> messages);
    double nowMs() const;
    bool refuses(std::span<const I2cMessage> messages) const;
    void save();

    I2cSimSelection selection_;
    const I2cSimProfile& profile_;
    Clock& clock_;
    MemoryImage memory_{};
    std::mt19937 random_;
    std::set<int> open_;
    int nextFd_ = 3;
    double modelledUs_ = 0.0;
    long transfers_ = 0;
    long bytesSent_ = 0; // bytes the device has sent, for the flip fault
    bool vanished_ = false;
    bool dirty_ = false;
    std::string saveError_;
    std::uint16_t pointer_ = 0;
    bool writeCycle_ = false;
    double writeCycleEndMs_ = 0.0;
};

} // namespace kestrel
