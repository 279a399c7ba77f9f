#include "core/pipeline/DeviceLoad.h"

#include "core/image/Checksum.h"
#include "core/pipeline/Pipeline.h"

#include <memory>

namespace kestrel {

DeviceLoadResult loadFromDevice(
    Session& session, ReaderDeviceTransfer& transfer, Clock& clock, UserInterface& ui, ReadCheck check)
{
    transfer.findReader();
    clock.sleepMs(500);
    if (!transfer.deviceFound())
        return DeviceLoadResult::NotFound;
    const auto reading = std::make_unique<MemoryImage>();
    if (!readDeviceChecked(transfer, 0, *reading, check))
        return DeviceLoadResult::ReadFailed;
    // The read said "loaded into memory"; the status tells what came of it.
    if (holdsConfiguration(*reading, "ПСИ", ui)) {
        ui.setStatusText(kConfigurationHeldStatus);
        return DeviceLoadResult::Configuration;
    }
    if (!checksumOk(*reading) && !ui.askYesNo(kChecksumQuestionDevice)) {
        ui.setStatusText(kReadingRefusedStatus);
        return DeviceLoadResult::ChecksumRefused;
    }
    startReading(session, *reading, ui);
    return DeviceLoadResult::Processed;
}

} // namespace kestrel
