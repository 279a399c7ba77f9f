#include "portio/PpdevCalls.h"

#include <cerrno>

#if defined(__linux__)
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace kestrel::portio {

namespace {

class SystemPpdevCalls : public PpdevCalls {
public:
    int openDevice(const std::string& path, int& fd) override
    {
#if defined(__linux__)
        fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        return fd < 0 ? errno : 0;
#else
        (void)path;
        fd = -1;
        return ENOSYS;
#endif
    }

    int control(int fd, unsigned long request, void* argument) override
    {
#if defined(__linux__)
        return ::ioctl(fd, request, argument) == 0 ? 0 : errno;
#else
        (void)fd;
        (void)request;
        (void)argument;
        return ENOSYS;
#endif
    }

    void closeDevice(int fd) override
    {
#if defined(__linux__)
        ::close(fd);
#else
        (void)fd;
#endif
    }
};

} // namespace

PpdevCalls& systemPpdevCalls()
{
    static SystemPpdevCalls calls;
    return calls;
}

} // namespace kestrel::portio
