#pragma once

#include "core/config/ConfigurationLink.h"
#include "core/config/WriteConfiguration.h"

namespace kestrel {

// writeConfiguration over any link to the reader device: the order of the writes, the
// messages and the read-back check live here.
WriteBackResult runWriteBack(ServicePage& page, MemoryImage& image, OperatorCredentials& credentials,
    ConfigurationLink& link, Clock& clock, UserInterface& ui, OperatorIdentification& identification,
    const DisplayLocale& locale);

} // namespace kestrel
