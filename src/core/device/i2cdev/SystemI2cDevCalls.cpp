#include "core/device/i2cdev/SystemI2cDevCalls.h"

#ifdef __linux__
#include <cerrno>
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <vector>
#endif

namespace kestrel {

#ifdef __linux__

static_assert(kErrPerm == EPERM && kErrNoEnt == ENOENT && kErrIntr == EINTR && kErrIo == EIO && kErrNxio == ENXIO);
static_assert(kErrBadF == EBADF && kErrAgain == EAGAIN && kErrAccess == EACCES && kErrBusy == EBUSY);
static_assert(kErrNoDev == ENODEV && kErrInval == EINVAL && kErrNoSys == ENOSYS && kErrProto == EPROTO);
static_assert(kErrOpNotSupp == EOPNOTSUPP && kErrShutdown == ESHUTDOWN && kErrTimedOut == ETIMEDOUT);
static_assert(kErrHostUnreach == EHOSTUNREACH && kErrRemoteIo == EREMOTEIO);

namespace {

// The global errno is read once, right after the failing call, and left as it was.
int failure()
{
    const int error = errno;
    return error > 0 ? -error : -EIO;
}

} // namespace

int SystemI2cDevCalls::open(const std::string& path)
{
    for (;;) {
        const int saved = errno;
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        const int result = fd >= 0 ? fd : failure();
        errno = saved;
        if (result != -EINTR)
            return result;
    }
}

int SystemI2cDevCalls::functionality(int fd, std::uint64_t& funcs)
{
    const int saved = errno;
    unsigned long bits = 0;
    const int result = ::ioctl(fd, I2C_FUNCS, &bits) < 0 ? failure() : 0;
    errno = saved;
    if (result == 0)
        funcs = bits;
    return result;
}

int SystemI2cDevCalls::transfer(int fd, std::span<I2cMessage> messages)
{
    if (messages.empty() || messages.size() > I2C_RDWR_IOCTL_MAX_MSGS)
        return -EINVAL;
    std::vector<i2c_msg> kernel(messages.size());
    for (std::size_t i = 0; i < messages.size(); ++i) {
        kernel[i].addr = messages[i].address;
        kernel[i].flags = messages[i].read ? I2C_M_RD : 0;
        kernel[i].len = messages[i].length;
        kernel[i].buf = messages[i].data;
    }
    i2c_rdwr_ioctl_data request{};
    request.msgs = kernel.data();
    request.nmsgs = static_cast<decltype(request.nmsgs)>(kernel.size());
    const int saved = errno;
    const int done = ::ioctl(fd, I2C_RDWR, &request);
    const int result = done < 0 ? failure() : done;
    errno = saved;
    return result;
}

int SystemI2cDevCalls::close(int fd)
{
    const int saved = errno;
    // Not repeated on EINTR: on Linux the descriptor is released even then.
    const int result = ::close(fd) < 0 ? failure() : 0;
    errno = saved;
    return result;
}

#else

int SystemI2cDevCalls::open(const std::string&) { return -kErrNoSys; }
int SystemI2cDevCalls::functionality(int, std::uint64_t&) { return -kErrNoSys; }
int SystemI2cDevCalls::transfer(int, std::span<I2cMessage>) { return -kErrNoSys; }
int SystemI2cDevCalls::close(int) { return -kErrNoSys; }

#endif

} // namespace kestrel
