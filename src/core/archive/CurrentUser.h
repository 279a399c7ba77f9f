#pragma once

#include <string>

namespace kestrel {

// The operating system's name of the user running the program (who entered a design
// classification); empty when the system names nobody.
std::string currentUserName();

} // namespace kestrel
