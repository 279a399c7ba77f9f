#include "portio/PpdevBackend.h"

#include "core/files/SystemErrorText.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#if defined(__linux__)
// The request codes are made by the ioctl macros.
#include <sys/ioctl.h>
#include <linux/ppdev.h>
#define KESTREL_HAVE_PPDEV 1
#else
#define KESTREL_HAVE_PPDEV 0
#endif

namespace kestrel::portio {

namespace {

// "888\t0\n": the base address (and the ECP base) in decimal.
std::optional<std::uint16_t> readBaseAddress(const std::filesystem::path& parportDir)
{
    std::ifstream in(parportDir / "base-addr");
    std::string text;
    if (!std::getline(in, text, '\t'))
        return std::nullopt;
    std::uint32_t base = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, base);
    // The line may end right after the number when there is no ECP base.
    if (ec != std::errc{} || (stop != end && *stop != '\n') || base == 0 || base > 0xFFFD)
        return std::nullopt;
    return static_cast<std::uint16_t>(base);
}

// "/dev/parport1" -> "parport1"; the kernel names its /proc entry after the port.
std::string parportName(const std::string& device) { return std::filesystem::path(device).filename().string(); }

std::string systemError(int error) { return systemErrorText(error); }

} // namespace

PpdevBackend::PpdevBackend(const DeviceSelection& selection, PpdevCalls& calls, std::string procParport)
    : calls_(calls)
{
#if KESTREL_HAVE_PPDEV
    if (!selection.path.empty()) {
        Parport parport;
        parport.device = selection.path;
        const auto base = readBaseAddress(std::filesystem::path(procParport) / parportName(selection.path));
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
    for (const auto& entry : std::filesystem::directory_iterator(procParport, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("parport", 0) != 0)
            continue;
        if (const auto base = readBaseAddress(entry.path()))
            found.push_back(Parport{"/dev/" + name, *base, -1, false, {}});
    }
    if (found.empty()) {
        setReason("ppdev: параллельные порты не найдены (нет " + procParport +
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
    (void)procParport;
    setReason("ppdev: есть только в Linux");
#endif
}

PpdevBackend::~PpdevBackend()
{
#if KESTREL_HAVE_PPDEV
    for (auto& parport : parports_) {
        if (parport.fd < 0)
            continue;
        calls_.control(parport.fd, PPRELEASE, nullptr);
        calls_.closeDevice(parport.fd);
    }
#endif
}

std::string PpdevBackend::claim(Parport& parport)
{
#if KESTREL_HAVE_PPDEV
    if (const int error = calls_.openDevice(parport.device, parport.fd); error != 0) {
        parport.fd = -1;
        return "ppdev: не удалось открыть " + parport.device + ": " + systemError(error);
    }
    // Exclusive first: then nobody else (a printer spooler) may take the port between our bytes.
    if (calls_.control(parport.fd, PPEXCL, nullptr) == 0 && calls_.control(parport.fd, PPCLAIM, nullptr) == 0) {
        parport.exclusive = true;
        return {};
    }
    // While the printer driver lp is loaded (on most desktops) the kernel will not
    // grant exclusive access: PPEXCL is refused, or the claim after it is. A shared
    // claim serves as well: while we hold it, the kernel gives the port to nobody
    // else. The exclusive wish stays with the open file, so the port is opened anew.
    calls_.closeDevice(parport.fd);
    if (const int error = calls_.openDevice(parport.device, parport.fd); error != 0) {
        parport.fd = -1;
        return "ppdev: не удалось открыть " + parport.device + ": " + systemError(error);
    }
    if (const int error = calls_.control(parport.fd, PPCLAIM, nullptr); error != 0) {
        calls_.closeDevice(parport.fd);
        parport.fd = -1;
        return "ppdev: " + parport.device + ": порт занят (PPCLAIM): " + systemError(error);
    }
    return {};
#else
    (void)parport;
    return "ppdev: есть только в Linux";
#endif
}

const PpdevBackend::Parport* PpdevBackend::owner(std::uint16_t port, int& offset) const
{
    for (const auto& parport : parports_) {
        offset = static_cast<int>(port) - static_cast<int>(parport.base);
        if (offset >= 0 && offset <= 2)
            return &parport;
    }
    return nullptr;
}

PpdevBackend::Parport* PpdevBackend::serving(std::uint16_t port, int& offset)
{
    const Parport* parport = owner(port, offset);
    if (parport == nullptr || parport->fd < 0)
        return nullptr;
    return &parports_[static_cast<std::size_t>(parport - parports_.data())];
}

const char* PpdevBackend::portFailure(std::uint16_t port) const
{
    int offset = 0;
    const Parport* parport = owner(port, offset);
    return parport == nullptr || parport->lost.empty() ? nullptr : parport->lost.c_str();
}

bool PpdevBackend::exclusive(std::uint16_t port) const
{
    int offset = 0;
    const Parport* parport = owner(port, offset);
    return parport != nullptr && parport->fd >= 0 && parport->exclusive;
}

void PpdevBackend::lose(Parport& parport, const char* request, int error)
{
    parport.lost = "ppdev: " + parport.device + ": " + request + ": " + systemError(error);
#if KESTREL_HAVE_PPDEV
    calls_.control(parport.fd, PPRELEASE, nullptr);
#endif
    calls_.closeDevice(parport.fd);
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
    if (const int error = calls_.control(parport->fd, request.code, &value); error != 0) {
        lose(*parport, request.name, error);
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
    if (parport == nullptr || offset == 1)
        return; // the status register takes no writes
    unsigned char byte = value;
    const unsigned long code = offset == 0 ? PPWDATA : PPWCONTROL;
    if (const int error = calls_.control(parport->fd, code, &byte); error != 0)
        lose(*parport, offset == 0 ? "PPWDATA" : "PPWCONTROL", error);
#else
    (void)port;
    (void)value;
#endif
}

} // namespace kestrel::portio
