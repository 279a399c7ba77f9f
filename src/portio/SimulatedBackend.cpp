#include "portio/SimulatedBackend.h"

#include "core/demo/DemoImage.h"
#include "core/image/DataFile.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace kestrel::portio {

SimulatedBackend::SimulatedBackend(const DeviceSelection& selection)
{
    MemoryImage memory = makeDemoImage(1);
    if (!selection.path.empty()) {
        // A mistyped name must not quietly become a device holding the demo memory:
        // what it served would be taken for a recorder's reading.
        std::error_code ec;
        const auto status = std::filesystem::status(selection.path, ec);
        if (!std::filesystem::exists(status)) {
            setReason("Симулятор ПСИ: файл памяти " + selection.path + " не найден");
            return;
        }
        if (!std::filesystem::is_regular_file(status)) {
            setReason("Симулятор ПСИ: " + selection.path + " не является обычным файлом");
            return;
        }
        try {
            memory = readImageFile(selection.path);
        } catch (const FileError& e) {
            setReason(std::string("Симулятор ПСИ: файл памяти недоступен (") + e.what() + ")");
            return;
        }
    }
    device_ = std::make_unique<SimulatedReaderDevice>(memory, selection.faults, clock_);
    if (!selection.path.empty())
        device_->setBackingFile(selection.path);
    port_ = std::make_unique<SimulatedLptPort>(selection.portOr(kDefaultSimulatedPort), *device_);
}

SimulatedBackend::~SimulatedBackend()
{
    // The device finishes a running write cycle as it goes; the port refers to it.
    port_.reset();
    device_.reset();
}

std::uint8_t SimulatedBackend::readByte(std::uint16_t port)
{
    if (!port_)
        return 0xFF;
    const std::uint8_t value = port_->GetPortByte(port);
    reportSaveFailure();
    return value;
}

void SimulatedBackend::writeByte(std::uint16_t port, std::uint8_t value)
{
    if (!port_)
        return;
    port_->WritePortByte(port, value);
    reportSaveFailure();
}

void SimulatedBackend::reportSaveFailure()
{
    // The bus has no way to carry it, and losing a written page silently is worse than a line on stderr.
    const std::string& error = device_->saveError();
    if (error == reportedSaveError_)
        return;
    reportedSaveError_ = error;
    if (!error.empty())
        std::fprintf(stderr, "Симулятор ПСИ: память не сохранена в файл: %s\n", error.c_str());
}

} // namespace kestrel::portio
