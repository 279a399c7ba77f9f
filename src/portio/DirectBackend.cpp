#include "portio/DirectBackend.h"

#include "core/files/SystemErrorText.h"

#include <cerrno>
#include <cstring>
#include <string>

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__)) && __has_include(<sys/io.h>)
#include <sys/io.h>
#define KESTREL_HAVE_DIRECT_IO 1
#else
#define KESTREL_HAVE_DIRECT_IO 0
#endif

namespace kestrel::portio {

namespace {

constexpr const char* kUsePpdevHint = "выберите ppdev[:/dev/parportN] (--device или KESTREL_PORTIO; нужен модуль ppdev и доступ к устройству)";

} // namespace

DirectBackend::DirectBackend()
{
#if KESTREL_HAVE_DIRECT_IO
    // A trial on LPT1's registers tells at load whether this process may do port I/O at all.
    constexpr unsigned long kTrialBase = 0x378;
    if (::ioperm(kTrialBase, 3, 1) != 0) {
        const int error = errno;
        setReason(std::string("direct: нет доступа к портам ввода-вывода (ioperm: ") + systemErrorText(error) + ")" +
            (error == EPERM ? "; нужны права root, или " : "; ") + kUsePpdevHint);
        return;
    }
    for (unsigned long p = kTrialBase; p < kTrialBase + 3; ++p)
        granted_.set(p);
#else
    setReason(std::string("direct: прямой доступ к портам есть только в Linux на x86; ") + kUsePpdevHint);
#endif
}

DirectBackend::~DirectBackend()
{
#if KESTREL_HAVE_DIRECT_IO
    for (std::size_t p = 0; p < granted_.size(); ++p) {
        if (granted_.test(p))
            ::ioperm(p, 1, 0);
    }
#endif
}

bool DirectBackend::permitted(std::uint16_t port)
{
#if KESTREL_HAVE_DIRECT_IO
    if (!usable() || refused_.test(port))
        return false;
    if (granted_.test(port))
        return true;
    if (::ioperm(port, 1, 1) != 0) {
        refused_.set(port);
        return false;
    }
    granted_.set(port);
    return true;
#else
    (void)port;
    return false;
#endif
}

std::uint8_t DirectBackend::readByte(std::uint16_t port)
{
#if KESTREL_HAVE_DIRECT_IO
    if (permitted(port))
        return ::inb(port);
#endif
    (void)port;
    return 0xFF;
}

void DirectBackend::writeByte(std::uint16_t port, std::uint8_t value)
{
#if KESTREL_HAVE_DIRECT_IO
    if (permitted(port))
        ::outb(value, port);
#endif
    (void)port;
    (void)value;
}

} // namespace kestrel::portio
