#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kestrel {

// One message of an I2C_RDWR transfer: a 7-bit address, the direction and the bytes.
struct I2cMessage {
    std::uint16_t address;
    bool read;
    std::uint8_t* data;
    std::uint16_t length;
};

// The system calls of Linux i2c-dev, behind a seam so that the memory transactions run
// against a simulated adapter in tests and on platforms without i2c-dev.
class I2cDevCalls {
public:
    virtual ~I2cDevCalls() = default;
    // Each returns >= 0 on success or -errno (never touches the global errno).
    virtual int open(const std::string& path) = 0;                    // a descriptor
    virtual int functionality(int fd, std::uint64_t& funcs) = 0;     // ioctl I2C_FUNCS
    virtual int transfer(int fd, std::span<I2cMessage> messages) = 0; // ioctl I2C_RDWR
    virtual int close(int fd) = 0;
};

inline constexpr std::uint64_t kI2cFuncI2c = 0x00000001; // I2C_FUNC_I2C

// The Linux errno values the seam speaks, on every platform: the transfer logic and
// the simulated adapter must agree on them even where <errno.h> lacks some (mingw has
// no EREMOTEIO or ESHUTDOWN). The Linux calls check that they equal the system's.
inline constexpr int kErrPerm = 1;        // EPERM
inline constexpr int kErrNoEnt = 2;       // ENOENT
inline constexpr int kErrIntr = 4;        // EINTR
inline constexpr int kErrIo = 5;          // EIO
inline constexpr int kErrNxio = 6;        // ENXIO
inline constexpr int kErrBadF = 9;        // EBADF
inline constexpr int kErrAgain = 11;      // EAGAIN (arbitration lost)
inline constexpr int kErrAccess = 13;     // EACCES
inline constexpr int kErrBusy = 16;       // EBUSY
inline constexpr int kErrNoDev = 19;      // ENODEV
inline constexpr int kErrInval = 22;      // EINVAL
inline constexpr int kErrNoSys = 38;      // ENOSYS
inline constexpr int kErrProto = 71;      // EPROTO
inline constexpr int kErrOpNotSupp = 95;  // EOPNOTSUPP
inline constexpr int kErrShutdown = 108;  // ESHUTDOWN
inline constexpr int kErrTimedOut = 110;  // ETIMEDOUT
inline constexpr int kErrHostUnreach = 113; // EHOSTUNREACH
inline constexpr int kErrRemoteIo = 121;  // EREMOTEIO

} // namespace kestrel
