#include "core/device/reader/I2cReaderBus.h"

#include "core/device/reader/ReaderDeviceTransfer.h"

namespace kestrel {

std::string i2cAdapterLabel(const I2cAdapter& adapter)
{
    const AdapterKind kind = adapterKindOf(adapter.name);
    const std::string name = kind == AdapterKind::Generic ? adapter.name : std::string(adapterKindName(kind));
    return std::string(adapter.usb ? "USB-адаптер I2C: " : "Адаптер I2C: ") + name + " (" + adapter.devicePath + ")";
}

I2cReaderBus::I2cReaderBus(std::unique_ptr<I2cDevCalls> calls, const I2cAdapter& adapter, std::string label,
    bool named, Clock& clock, UserInterface& ui)
    : calls_(std::move(calls)), bus_(*calls_, clock, adapter.devicePath, adapterKindOf(adapter.name)),
      where_(std::move(label)), named_(named), ui_(ui)
{
}

bool I2cReaderBus::search()
{
    ui_.setStatusText("Поиск ПСИ: " + where_ + "...");
    ui_.processMessages();
    try {
        if (!bus_.isOpen())
            bus_.open();
        if (bus_.deviceAnswers()) {
            ui_.setStatusText("ПСИ обнаружен! " + where_);
            ui_.processMessages();
            return true;
        }
        ui_.setStatusText("Нет ответа от ПСИ (" + where_ + ").");
    } catch (const std::exception& error) {
        // An adapter the user named says why it cannot be used; one tried on the way only
        // leaves its reason in the status bar.
        ui_.setStatusText(error.what());
        if (named_)
            ui_.showError(kReaderCaption, error.what());
    }
    // Closed while not in use: the kernel cannot remove an unplugged adapter that is open.
    bus_.close();
    ui_.processMessages();
    return false;
}

void I2cReaderBus::begin()
{
    if (!bus_.isOpen())
        bus_.open();
}

void I2cReaderBus::readBlock(std::uint16_t address, std::span<std::uint8_t> out) { bus_.read(address, out); }

void I2cReaderBus::writePage(std::uint16_t address, std::span<const std::uint8_t> data)
{
    bus_.writePage(address, data);
}

void I2cReaderBus::endRead(const char* lostMessage) { bus_.confirmAnswers(lostMessage); }

void I2cReaderBus::endWrite(const char* lostMessage) { bus_.confirmAnswers(lostMessage); }

bool I2cReaderBus::failureIsShown(const std::exception&)
{
    // Every failure here (a time-out, an adapter gone or refused) needs its reason said.
    return true;
}

} // namespace kestrel
