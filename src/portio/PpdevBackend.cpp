#include "portio/PpdevBackend.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#if defined(__linux__)
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>
#define KESTREL_HAVE_PPDEV 1
#else
#define KESTREL_HAVE_PPDEV 0
#endif

namespace kestrel::portio {

namespace {

constexpr const char* kProcParport = "/proc/sys/dev/parport";

// "888\t0\n": the base address (and the ECP base) in decimal.
std::optional<std::uint16_t> readBaseAddress(const std::filesystem::path& parportDir)
{
    std::ifstream in(parportDir / "base-addr");
    unsigned long base = 0;
    if (!(in >> base) || base == 0 || base > 0xFFFD)
        return std::nullopt;
    return static_cast<std::uint16_t>(base);
}

// "/dev/parport1" -> "parport1"; the kernel names its /proc entry after the port.
std::string parportName(const std::string& device) { return std::filesystem::path(device).filename().string(); }

std::string systemError() { return std::strerror(errno); }

} // namespace

PpdevBackend::PpdevBackend(const DeviceSelection& selection)
{
#if KESTREL_HAVE_PPDEV
    if (!selection.path.empty()) {
        Parport parport;
        parport.device = selection.path;
        const auto base = readBaseAddress(std::filesystem::path(kProcParport) / parportName(selection.path));
        parport.base = base ? *base : selection.portOr(0x378);
        const std::string failure = claim(parport);
        if (!failure.empty()) {
            setReason(failure);
            return;
        }
        parports_.push_back(parport);
        return;
    }

    std::error_code ec;
    std::vector<Parport> found;
    for (const auto& entry : std::filesystem::directory_iterator(kProcParport, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("parport", 0) != 0)
            continue;
        if (const auto base = readBaseAddress(entry.path()))
            found.push_back(Parport{"/dev/" + name, *base, -1});
    }
    if (found.empty()) {
        setReason("ppdev: параллельные порты не найдены (нет " + std::string(kProcParport) +
            "/parportN; загружены ли модули parport_pc и ppdev?)");
        return;
    }
    std::string firstFailure;
    for (auto& parport : found) {
        const std::string failure = claim(parport);
        if (failure.empty())
            parports_.push_back(parport);
        else if (firstFailure.empty())
            firstFailure = failure;
    }
    if (parports_.empty())
        setReason(firstFailure);
#else
    (void)selection;
    setReason("ppdev: есть только в Linux");
#endif
}

PpdevBackend::~PpdevBackend()
{
#if KESTREL_HAVE_PPDEV
    for (auto& parport : parports_) {
        if (parport.fd < 0)
            continue;
        ::ioctl(parport.fd, PPRELEASE);
        ::close(parport.fd);
    }
#endif
}

std::string PpdevBackend::claim(Parport& parport)
{
#if KESTREL_HAVE_PPDEV
    parport.fd = ::open(parport.device.c_str(), O_RDWR | O_CLOEXEC);
    if (parport.fd < 0)
        return "ppdev: не удалось открыть " + parport.device + ": " + systemError();
    // Exclusive before claiming: nobody else (a printer spooler) may take the port between our bytes.
    if (::ioctl(parport.fd, PPEXCL) != 0) {
        const std::string failure = "ppdev: " + parport.device + ": монопольный доступ (PPEXCL) не дан: " + systemError();
        ::close(parport.fd);
        parport.fd = -1;
        return failure;
    }
    if (::ioctl(parport.fd, PPCLAIM) != 0) {
        const std::string failure = "ppdev: " + parport.device + ": порт занят (PPCLAIM): " + systemError();
        ::close(parport.fd);
        parport.fd = -1;
        return failure;
    }
    return {};
#else
    (void)parport;
    return "ppdev: есть только в Linux";
#endif
}

PpdevBackend::Parport* PpdevBackend::serving(std::uint16_t port, int& offset)
{
    for (auto& parport : parports_) {
        offset = static_cast<int>(port) - static_cast<int>(parport.base);
        if (parport.fd >= 0 && offset >= 0 && offset <= 2)
            return &parport;
    }
    return nullptr;
}

void PpdevBackend::lose(Parport& parport, const char* request)
{
    setReason("ppdev: " + parport.device + ": " + request + ": " + systemError());
#if KESTREL_HAVE_PPDEV
    ::ioctl(parport.fd, PPRELEASE);
    ::close(parport.fd);
#endif
    parport.fd = -1;
}

std::uint8_t PpdevBackend::readByte(std::uint16_t port)
{
#if KESTREL_HAVE_PPDEV
    int offset = 0;
    Parport* parport = serving(port, offset);
    if (parport == nullptr)
        return 0xFF;
    struct Request {
        unsigned long code;
        const char* name;
    };
    static constexpr Request kReads[] = {{PPRDATA, "PPRDATA"}, {PPRSTATUS, "PPRSTATUS"}, {PPRCONTROL, "PPRCONTROL"}};
    const Request& request = kReads[offset];
    unsigned char value = 0xFF;
    if (::ioctl(parport->fd, request.code, &value) != 0) {
        lose(*parport, request.name);
        return 0xFF;
    }
    return value;
#else
    (void)port;
    return 0xFF;
#endif
}

void PpdevBackend::writeByte(std::uint16_t port, std::uint8_t value)
{
#if KESTREL_HAVE_PPDEV
    int offset = 0;
    Parport* parport = serving(port, offset);
    if (parport == nullptr)
        return;
    unsigned char byte = value;
    if (offset == 0 && ::ioctl(parport->fd, PPWDATA, &byte) != 0)
        lose(*parport, "PPWDATA");
    else if (offset == 2 && ::ioctl(parport->fd, PPWCONTROL, &byte) != 0)
        lose(*parport, "PPWCONTROL");
    // The status register takes no writes.
#else
    (void)port;
    (void)value;
#endif
}

} // namespace kestrel::portio
