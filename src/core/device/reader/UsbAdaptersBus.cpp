#include "core/device/reader/UsbAdaptersBus.h"

#include "core/device/i2c/BusError.h"
#include "core/device/i2cdev/I2cAdapters.h"

namespace kestrel {

UsbAdaptersBus::UsbAdaptersBus(
    CallsFactory makeCalls, std::filesystem::path classFolder, bool named, Clock& clock, UserInterface& ui)
    : makeCalls_(std::move(makeCalls)), classFolder_(std::move(classFolder)), named_(named), clock_(clock), ui_(ui)
{
}

bool UsbAdaptersBus::search()
{
    found_ = nullptr;
    bool any = false;
    for (const I2cAdapter& adapter : listI2cAdapters(classFolder_)) {
        if (!adapter.usb)
            continue;
        any = true;
        auto& bus = adapters_[adapter.devicePath];
        if (!bus)
            bus = std::make_unique<I2cReaderBus>(makeCalls_(), adapter, i2cAdapterLabel(adapter), named_, clock_, ui_);
        if (bus->search()) {
            found_ = bus.get();
            return true;
        }
    }
    if (!any) {
        ui_.setStatusText("USB-адаптеры I2C не найдены.");
        ui_.processMessages();
    }
    return false;
}

I2cReaderBus& UsbAdaptersBus::found()
{
    if (found_ == nullptr)
        throw BusError(kInitErrorMessage); // no transfer without a search that found the device
    return *found_;
}

} // namespace kestrel
