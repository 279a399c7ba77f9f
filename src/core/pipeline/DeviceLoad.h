#pragma once

#include "core/device/Clock.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/device/reader/VerifiedRead.h"
#include "core/pipeline/Session.h"
#include "core/ui/UserInterface.h"

namespace kestrel {

// How a load from the reader device ended.
enum class DeviceLoadResult {
    NotFound,        // no reader answered; the session is untouched
    ReadFailed,      // the read broke off (or two readings differed); the session is untouched
    ChecksumRefused, // the user stopped at the checksum question; the image holds the complete
                     // reading, nothing was decoded and the texts shown are the earlier ones
    Processed,       // decoded and shown
};

// "Загрузить": find the reader, wait, read the whole memory (with ReadCheck::Twice, twice,
// accepted only when both readings agree), ask about a bad checksum, start the period at
// the installation date and process the image. The memory is read into an image of its
// own, which replaces the session's only when all 32 768 bytes arrived: a broken read
// never leaves part of a new reading under the identity of the old one.
DeviceLoadResult loadFromDevice(Session& session, ReaderDeviceTransfer& transfer, Clock& clock, UserInterface& ui,
    ReadCheck check = ReadCheck::Once);

} // namespace kestrel
