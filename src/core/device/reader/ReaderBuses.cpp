#include "core/device/reader/ReaderBuses.h"

#include "core/demo/DemoImage.h"
#include "core/device/i2cdev/I2cAdapters.h"
#include "core/device/i2cdev/SystemI2cDevCalls.h"
#include "core/device/reader/I2cReaderBus.h"
#include "core/device/reader/UsbAdaptersBus.h"
#include "core/device/sim/DeviceSelection.h"

#include <system_error>

namespace kestrel {

namespace {

constexpr std::string_view kI2c = "i2c";
constexpr std::string_view kI2cSim = "i2c-sim";

I2cAdapter namedAdapter(const std::string& path, const std::filesystem::path& classFolder)
{
    for (const I2cAdapter& adapter : listI2cAdapters(classFolder))
        if (adapter.devicePath == path)
            return adapter;
    // Not listed (the module not loaded, or a node elsewhere): opening it will say why.
    return I2cAdapter{0, path, {}, false};
}

} // namespace

BusChoice parseBusChoice(std::string_view text)
{
    BusChoice choice;
    if (text.empty()) {
        choice.usbAdapters = true;
        choice.parallelPort = true;
        return choice;
    }
    if (text.starts_with(kI2cSim)) {
        try {
            choice.simulatedAdapter = parseI2cSimSelection(text);
        } catch (const std::invalid_argument& error) {
            throw DeviceSelectionError(error.what());
        }
        return choice;
    }
    if (text == kI2c) {
        choice.usbAdapters = true;
        return choice;
    }
    if (text.starts_with("i2c:")) {
        const std::string_view path = text.substr(4);
        if (path.empty() || path.find(',') != std::string_view::npos)
            throw DeviceSelectionError("ожидается i2c или i2c:/dev/i2c-N, а не «" + std::string(text) + "»");
        choice.namedAdapter = std::string(path);
        return choice;
    }
    (void)parseDeviceSelection(text); // the port library's own texts
    choice.parallelPort = true;
    return choice;
}

std::vector<std::unique_ptr<MemoryBus>> makeAdapterBuses(
    const BusChoice& choice, Clock& clock, UserInterface& ui, const std::filesystem::path& classFolder)
{
    std::vector<std::unique_ptr<MemoryBus>> buses;
    if (choice.simulatedAdapter) {
        const I2cSimSelection& selection = *choice.simulatedAdapter;
        std::unique_ptr<SimulatedI2cAdapter> adapter;
        if (selection.path.empty()) {
            adapter = std::make_unique<SimulatedI2cAdapter>(makeDemoImage(1), selection, clock);
        } else {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(selection.path, ec))
                throw BusSetupError(std::string(kSimulatorName) + ": файл памяти " + selection.path + " не найден");
            adapter = std::make_unique<SimulatedI2cAdapter>(selection, clock);
        }
        const I2cAdapter simulated{0, "/dev/i2c-sim", adapterKindName(selection.profile), true};
        std::string label = std::string("Симулятор USB-адаптера I2C: ") + adapterKindName(selection.profile);
        buses.push_back(std::make_unique<I2cReaderBus>(std::move(adapter), simulated, std::move(label), true, clock, ui));
    }
    if (choice.namedAdapter) {
        const I2cAdapter adapter = namedAdapter(*choice.namedAdapter, classFolder);
        buses.push_back(std::make_unique<I2cReaderBus>(
            std::make_unique<SystemI2cDevCalls>(), adapter, i2cAdapterLabel(adapter), true, clock, ui));
    }
    if (choice.usbAdapters)
        buses.push_back(std::make_unique<UsbAdaptersBus>(
            [] { return std::make_unique<SystemI2cDevCalls>(); }, classFolder, !choice.parallelPort, clock, ui));
    return buses;
}

} // namespace kestrel
