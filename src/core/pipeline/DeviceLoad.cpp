#include "core/pipeline/DeviceLoad.h"

#include "core/image/Checksum.h"
#include "core/pipeline/Pipeline.h"

namespace kestrel {

DeviceLoadResult loadFromDevice(Session& session, ReaderDeviceTransfer& transfer, Clock& clock, UserInterface& ui)
{
    transfer.findReader();
    clock.sleepMs(500);
    if (!transfer.deviceFound())
        return DeviceLoadResult::NotFound;
    if (!transfer.readDevice(0, session.image))
        return DeviceLoadResult::ReadFailed;
    if (!checksumOk(session.image) && !ui.askYesNo(kChecksumQuestionDevice))
        return DeviceLoadResult::ChecksumRefused;
    resetPeriodStart(session);
    processImage(session, ui);
    return DeviceLoadResult::Processed;
}

} // namespace kestrel
