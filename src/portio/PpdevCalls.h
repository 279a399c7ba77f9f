#pragma once

#include <string>

namespace kestrel::portio {

// The system calls the ppdev backend makes, so that a test can refuse any of them.
// Each returns 0 on success or the system error number (errno) of the failure.
class PpdevCalls {
public:
    virtual ~PpdevCalls() = default;
    virtual int openDevice(const std::string& path, int& fd) = 0;
    virtual int control(int fd, unsigned long request, void* argument) = 0;
    virtual void closeDevice(int fd) = 0;
};

// open(2), ioctl(2) and close(2).
PpdevCalls& systemPpdevCalls();

} // namespace kestrel::portio
