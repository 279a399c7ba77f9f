#pragma once

#include <string>
#include <vector>

namespace kestrel {

// A document as it is built: UTF-8 lines, joined and encoded only when written.
using DocumentLines = std::vector<std::string>;

} // namespace kestrel
