#pragma once

#include "core/config/OperatorIdentification.h"
#include "core/config/ServicePage.h"
#include "core/device/Clock.h"
#include "core/device/reader/ReaderDeviceTransfer.h"
#include "core/image/MemoryImage.h"
#include "core/text/DisplayLocale.h"
#include "core/ui/UserInterface.h"

namespace kestrel {

// How a write-back ended.
enum class WriteBackResult {
    Cancelled,        // the operator identification was not confirmed: nothing written, no message
    DeviceNotFound,   // "Прибор считывания  информации не подключен!"
    InputRefused,     // a field was refused (its message, naming it, was shown); nothing was asked,
                      // searched or written
    TransferFailed,   // a device write failed (its message was shown)
    ReadBackDiffers,  // everything was written, but reading the area back gave other bytes
    Done,             // "Данные успешно записаны в память!"
};

// Every field of every ticked operation, checked the way composing its block would:
// throws ConfigurationError whose message names the first field refused. Nothing changes.
void checkServicePage(const ServicePage& page, const MemoryImage& image, const DisplayLocale& locale);

// "Записать в ПСИ": checks every ticked field first (a refusal ends it before anything is
// asked or touched), asks who performs it, finds the reader device, clears the
// configuration area 0x60B–0x8FF, composes each ticked block in `image` and writes it,
// writes the access block last, reads the area back and compares. Messages go through
// `ui`; `credentials` keeps the operator name and access code confirmed last (the
// window's state between write-backs). `page` has the boxes of written operations
// unticked; `image` keeps what was composed. Decimal numbers are read with `locale`'s
// separator, never through the C runtime locale.
WriteBackResult writeConfiguration(ServicePage& page, MemoryImage& image, OperatorCredentials& credentials,
    ReaderDeviceTransfer& transfer, Clock& clock, UserInterface& ui, OperatorIdentification& identification,
    const DisplayLocale& locale);

} // namespace kestrel
