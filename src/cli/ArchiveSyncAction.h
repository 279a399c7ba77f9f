#pragma once

#include "cli/CommandOptions.h"

#include <iosfwd>

namespace kestrel::cli {

// archive sync: the local archive and the team server brought together; prints
// "sent N, fetched M, designs sent K, designs fetched L".
int runArchiveSync(const ParsedArgs& args, std::ostream& out, std::ostream& err);

} // namespace kestrel::cli
