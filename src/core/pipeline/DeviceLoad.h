#pragma once

#include "core/device/Clock.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/device/reader/VerifiedRead.h"
#include "core/pipeline/Session.h"
#include "core/ui/UserInterface.h"

namespace kestrel {

inline constexpr const char* kConfigurationHeldStatus = "В ПСИ настройки для регистратора: данные не загружены";
inline constexpr const char* kReadingRefusedStatus = "Данные из ПСИ не приняты";

// How a load from the reader device ended.
enum class DeviceLoadResult {
    NotFound,        // no reader answered; the session is untouched
    ReadFailed,      // the read broke off (or two readings differed); the session is untouched
    Configuration,   // the device holds a configuration written for the recorder, no reading:
                     // said in words; the session is untouched
    ChecksumRefused, // the user stopped at the checksum question; the session is untouched
    Processed,       // decoded and shown (session.processingFailed tells whether every step succeeded)
};

// "Загрузить": find the reader, wait, read the whole memory (with ReadCheck::Twice, twice,
// accepted only when both readings agree), ask about a bad checksum, start the period at
// the installation date and process the image from a fresh display. The memory is read
// into an image of its own, which replaces the session's only when all 32 768 bytes
// arrived and the reading was accepted: a broken read or a "Нет" never leaves part of a
// new reading under the identity of the old one.
DeviceLoadResult loadFromDevice(Session& session, ReaderDeviceTransfer& transfer, Clock& clock, UserInterface& ui,
    ReadCheck check = ReadCheck::Once);

} // namespace kestrel
