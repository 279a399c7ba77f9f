#pragma once

#include "core/image/MemoryImage.h"
#include "core/pipeline/Session.h"

#include <cstdint>

namespace kestrel::gui::test {

// A session after a load of `image`, as the window holds it: period start from the
// image, the whole pipeline run, Russian number and date formats.
Session processedSession(const MemoryImage& image);

// The same for the demo image of `seed`.
Session demoSession(std::uint32_t seed = 1);

} // namespace kestrel::gui::test
