#pragma once

#include "cli/CommandOptions.h"
#include "core/device/reader/AreaRange.h"

namespace kestrel::cli {

// --start and --size as the extended page's area fields (absent: blank). A text that is
// not a number is a usage error naming the option's field, before any device is touched.
AreaFields areaFieldsFromOptions(const ParsedArgs& args);

// --start A and --size N with their help.
void declareAreaOptions(CommandSyntax& syntax, Need need);

} // namespace kestrel::cli
