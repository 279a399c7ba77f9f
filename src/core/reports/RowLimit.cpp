#include "core/reports/RowLimit.h"

#include "core/text/PlatformInteger.h"

namespace kestrel {

int parseRowLimit(std::string_view text) { return platformStrToIntDef(text, kDefaultRowLimit); }

} // namespace kestrel
