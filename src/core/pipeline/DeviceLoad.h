#pragma once

#include "core/device/Clock.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/pipeline/Session.h"
#include "core/ui/UserInterface.h"

namespace kestrel {

// How a load from the reader device ended.
enum class DeviceLoadResult {
    NotFound,        // no reader answered; the image is untouched
    ReadFailed,      // the read broke off; the bytes read so far are in the image
    ChecksumRefused, // the user stopped at the checksum question; the image holds the bytes read
    Processed,       // decoded and shown
};

// "Загрузить": find the reader, wait, read the whole memory into the image, ask about
// a bad checksum, start the period at the installation date and process the image.
DeviceLoadResult loadFromDevice(Session& session, ReaderDeviceTransfer& transfer, Clock& clock, UserInterface& ui);

} // namespace kestrel
