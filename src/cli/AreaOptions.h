#pragma once

#include "cli/ArgParser.h"
#include "core/device/reader/AreaRange.h"

namespace kestrel::cli {

// --start and --size as the extended page's area fields (absent: blank). A text that is
// not a number is a usage error naming the option's field, before any device is touched.
AreaFields areaFieldsFromOptions(const ArgParser& args);

} // namespace kestrel::cli
