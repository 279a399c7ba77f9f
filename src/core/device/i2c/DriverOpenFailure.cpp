#include "core/device/i2c/DriverOpenFailure.h"

#include "core/device/port/PortIoFailureText.h"

namespace kestrel {

std::string driverOpenFailureMessage(std::string_view lastError, std::string_view libraryFailure, bool usbAdapters)
{
    std::string text = std::string(kDriverOpenFailedLine) + "\n";
    if (!lastError.empty())
        text.append(lastError).append("\n");
    // The library's own failure is the cause; a service step that then failed while
    // undoing the opening is explained after it. Our Linux library's refusal is already
    // the LastError line, so it is not said twice.
    if (!libraryFailure.empty() && lastError.find(libraryFailure) == std::string_view::npos)
        text.append("Причина: ").append(libraryFailure).append(".\n");
    if (const std::string service = serviceFailureReasonOf(lastError); !service.empty())
        text.append("Причина: ").append(service).append(".\n");
    text += "Остальная работа программы доступна: файлы, архив, документы";
    text += usbAdapters ? "; прибор считывания можно подключить через USB-адаптер I2C." : ".";
    return text;
}

} // namespace kestrel
