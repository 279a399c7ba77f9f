#include "core/device/i2cdev/SimulatedI2cAdapter.h"

#include "core/image/DataFile.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <limits>
#include <optional>
#include <system_error>
#include <vector>

namespace kestrel {

namespace {

// Latencies are the USB side of one I2C_RDWR call: full-speed HID bridges (MCP2221,
// CP2112) poll their interrupt endpoints every 1 ms and answer a transfer in about one
// such frame; FT260 and CH341 answer within a frame half the time; a controller on the
// board's own bus costs the driver's interrupt handling only.
constexpr std::array<I2cSimProfile, 5> kProfiles{{
    {"mcp2221", AdapterKind::Mcp2221, "MCP2221 usb-i2c bridge", 100'000, 1000.0, 60, 60, 0, kErrOpNotSupp, kErrNxio},
    {"ft260", AdapterKind::Ft260, "FT260 usb-i2c bridge", 100'000, 500.0, 8192, 8192, 2, kErrOpNotSupp, kErrIo},
    {"cp2112", AdapterKind::Cp2112, "CP2112 SMBus Bridge on hidraw0", 100'000, 1000.0, 512, 61, 0, kErrInval, kErrIo},
    {"ch341", AdapterKind::Ch341, "CH341 I2C USB bus 001 device 004", 100'000, 500.0, 26, 26, 0, kErrOpNotSupp, kErrNxio},
    {"generic", AdapterKind::Generic, "Synopsys DesignWare I2C adapter", 400'000, 100.0, 8192, 8192, 0, kErrOpNotSupp,
        kErrRemoteIo},
}};

constexpr const char* kSyntax = "ожидается i2c-sim[:ФАЙЛ.bbd][,profile=mcp2221|ft260|cp2112|ch341|generic]"
                                "[,nak=0.01][,busy=5][,vanish=N][,flip=N][,seed=N]";

std::string quoted(std::string_view s) { return "\"" + std::string(s) + "\""; }

[[noreturn]] void fail(std::string_view text, const std::string& what)
{
    throw I2cSimSelectionError("Неверное описание устройства " + quoted(text) + ": " + what);
}

template <typename Int>
std::optional<Int> parseInteger(std::string_view s, Int low, Int high)
{
    if (s.empty() || s[0] == '+' || s[0] == '-')
        return std::nullopt;
    Int value{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end != s.data() + s.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<double> parseReal(std::string_view s, double high)
{
    if (s.empty() || s[0] == '+' || s[0] == '-')
        return std::nullopt;
    double value = 0.0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (ec != std::errc{} || end != s.data() + s.size() || !std::isfinite(value) || value < 0.0 || value > high)
        return std::nullopt;
    return value;
}

template <typename T>
T require(std::string_view text, std::string_view key, std::string_view value, std::optional<T> parsed, const char* expected)
{
    if (!parsed)
        fail(text, "параметр " + quoted(key) + " = " + quoted(value) + ": ожидается " + expected);
    return *parsed;
}

} // namespace

const I2cSimProfile& i2cSimProfile(AdapterKind kind)
{
    for (const auto& profile : kProfiles)
        if (profile.kind == kind)
            return profile;
    return kProfiles.back();
}

I2cSimSelection parseI2cSimSelection(std::string_view text)
{
    constexpr std::string_view head = "i2c-sim";
    if (text.substr(0, head.size()) != head || (text.size() > head.size() && text[head.size()] != ':' && text[head.size()] != ','))
        fail(text, kSyntax);
    I2cSimSelection selection;
    std::string_view rest = text.substr(head.size());
    std::vector<std::string_view> items;
    if (!rest.empty() && rest[0] == ':') {
        rest.remove_prefix(1);
        const auto comma = rest.find(',');
        const std::string_view file = rest.substr(0, comma);
        if (file.empty())
            fail(text, "после \"i2c-sim:\" не указан файл");
        if (file.find('=') != std::string_view::npos)
            items.push_back(file);
        else
            selection.path = std::string(file);
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma);
    }
    while (!rest.empty()) {
        rest.remove_prefix(1); // the comma
        const auto comma = rest.find(',');
        items.push_back(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma);
    }

    std::set<std::string, std::less<>> seen;
    for (const std::string_view item : items) {
        const auto eq = item.find('=');
        if (eq == std::string_view::npos || eq == 0)
            fail(text, "ожидается параметр=значение вместо " + quoted(item) + "; " + kSyntax);
        const std::string_view key = item.substr(0, eq);
        const std::string_view value = item.substr(eq + 1);
        if (!seen.insert(std::string(key)).second)
            fail(text, "параметр " + quoted(key) + " задан дважды");
        if (key == "profile") {
            const I2cSimProfile* found = nullptr;
            for (const auto& profile : kProfiles)
                if (value == profile.key)
                    found = &profile;
            if (found == nullptr)
                fail(text, "неизвестный профиль адаптера " + quoted(value) + "; ожидается mcp2221, ft260, cp2112, ch341 или generic");
            selection.profile = found->kind;
        } else if (key == "nak") {
            selection.nakProbability = require(text, key, value, parseReal(value, 1.0), "вероятность от 0 до 1");
        } else if (key == "busy") {
            selection.busyMs = require(text, key, value, parseReal(value, 60'000.0), "время в мс от 0 до 60000");
        } else if (key == "vanish") {
            selection.vanishAfter = require(text, key, value,
                parseInteger<long>(value, 0, std::numeric_limits<long>::max()), "число передач");
        } else if (key == "flip") {
            selection.flipByte = require(text, key, value,
                parseInteger<long>(value, 0, std::numeric_limits<long>::max()), "номер байта");
        } else if (key == "seed") {
            selection.seed = require(text, key, value,
                parseInteger<std::uint32_t>(value, 0, std::numeric_limits<std::uint32_t>::max()), "целое число");
        } else {
            fail(text, "неизвестный параметр " + quoted(key) + "; " + kSyntax);
        }
    }
    return selection;
}

SimulatedI2cAdapter::SimulatedI2cAdapter(const I2cSimSelection& selection, Clock& clock)
    : SimulatedI2cAdapter(selection.path.empty() ? MemoryImage{} : readImageFile(selection.path), selection, clock)
{
}

SimulatedI2cAdapter::SimulatedI2cAdapter(const MemoryImage& memory, const I2cSimSelection& selection, Clock& clock)
    : selection_(selection), profile_(i2cSimProfile(selection.profile)), clock_(clock), memory_(memory),
      random_(selection.seed)
{
}

SimulatedI2cAdapter::~SimulatedI2cAdapter() { save(); }

double SimulatedI2cAdapter::nowMs() const { return static_cast<double>(clock_.milliseconds()) + modelledUs_ / 1000.0; }

bool SimulatedI2cAdapter::inWriteCycle()
{
    if (writeCycle_ && nowMs() >= writeCycleEndMs_)
        writeCycle_ = false;
    return writeCycle_;
}

int SimulatedI2cAdapter::open(const std::string&)
{
    if (vanished_)
        return -kErrNoEnt; // udev has removed the node
    if (openErrno != 0)
        return -openErrno;
    const int fd = nextFd_++;
    open_.insert(fd);
    return fd;
}

int SimulatedI2cAdapter::functionality(int fd, std::uint64_t& funcs)
{
    if (!open_.contains(fd))
        return -kErrBadF;
    if (vanished_)
        return -kErrNoDev;
    funcs = functionalityBits;
    return 0;
}

int SimulatedI2cAdapter::close(int fd)
{
    if (open_.erase(fd) == 0)
        return -kErrBadF;
    if (open_.empty())
        save();
    return 0;
}

bool SimulatedI2cAdapter::refuses(std::span<const I2cMessage> messages) const
{
    if (messages.empty() || messages.size() > 2)
        return true;
    // A bridge does a write, a read, or a write and a read joined by a repeated start.
    if (messages.size() == 2 && (messages[0].read || !messages[1].read))
        return true;
    for (const auto& m : messages) {
        if (m.length == 0 || m.length > (m.read ? profile_.maxRead : profile_.maxWrite))
            return true;
    }
    return messages.size() == 2 && profile_.maxFirstOfPair != 0 && messages[0].length > profile_.maxFirstOfPair;
}

void SimulatedI2cAdapter::advance(std::span<const I2cMessage> messages)
{
    // Each message: a start (or repeated start) and the address byte; then its bytes; one stop.
    double bits = 1.0;
    for (const auto& m : messages)
        bits += 1.0 + 9.0 + 9.0 * m.length;
    modelledUs_ += profile_.latencyUs + bits * 1e6 / profile_.clockHz;
}

int SimulatedI2cAdapter::transfer(int fd, std::span<I2cMessage> messages)
{
    if (vanished_)
        return -kErrNoDev;
    if (!open_.contains(fd))
        return -kErrBadF;
    if (selection_.vanishAfter >= 0 && transfers_ >= selection_.vanishAfter) {
        vanished_ = true;
        return -kErrNoDev;
    }
    ++transfers_;
    if (refuses(messages))
        return -profile_.shapeErrno;

    // The address byte of the first message decides whether anything happens.
    const bool busy = inWriteCycle();
    const bool dropped = selection_.nakProbability > 0.0 &&
        std::uniform_real_distribution<double>(0.0, 1.0)(random_) < selection_.nakProbability;
    if (messages[0].address != 0x57 || busy || dropped) {
        const I2cMessage addressOnly{messages[0].address, messages[0].read, nullptr, 0};
        advance(std::span<const I2cMessage>(&addressOnly, 1));
        return -profile_.nakErrno;
    }
    advance(messages);

    bool wrote = false;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const I2cMessage& m = messages[i];
        if (m.read) {
            for (std::uint16_t k = 0; k < m.length; ++k) {
                std::uint8_t byte = memory_[pointer_];
                if (bytesSent_++ == selection_.flipByte)
                    byte ^= 0x01;
                m.data[k] = byte;
                pointer_ = static_cast<std::uint16_t>((pointer_ + 1) % kImageSize);
            }
            continue;
        }
        if (m.length >= 2)
            pointer_ = static_cast<std::uint16_t>(((m.data[0] << 8) | m.data[1]) % kImageSize);
        // Data bytes count only when a stop ends the write: a repeated start abandons them.
        if (m.length > 2 && i + 1 == messages.size()) {
            const std::uint16_t page = pointer_ & static_cast<std::uint16_t>(~0x1Fu);
            std::uint16_t offset = pointer_ & 0x1Fu;
            for (std::uint16_t k = 2; k < m.length; ++k) {
                memory_[page + offset] = m.data[k];
                offset = (offset + 1) & 0x1Fu;
            }
            pointer_ = static_cast<std::uint16_t>(page + offset);
            wrote = true;
        }
    }
    if (wrote) {
        dirty_ = true;
        writeCycle_ = selection_.busyMs > 0.0;
        writeCycleEndMs_ = nowMs() + selection_.busyMs;
    }
    return static_cast<int>(messages.size());
}

void SimulatedI2cAdapter::save()
{
    if (!dirty_ || selection_.path.empty())
        return;
    // saveImage replaces the old file in one step, so a crash never leaves half an image.
    try {
        saveImage(selection_.path, memory_);
        saveError_.clear();
        dirty_ = false;
    } catch (const std::exception& e) {
        saveError_ = e.what();
    }
}

} // namespace kestrel
