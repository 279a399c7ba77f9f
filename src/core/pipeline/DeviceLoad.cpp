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
    session.image = *reading;
    if (!checksumOk(session.image) && !ui.askYesNo(kChecksumQuestionDevice))
        return DeviceLoadResult::ChecksumRefused;
    resetPeriodStart(session);
    processImage(session, ui);
    return DeviceLoadResult::Processed;
}

} // namespace kestrel
