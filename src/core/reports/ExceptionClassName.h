#pragma once

#include <exception>
#include <string>

namespace kestrel {

// The unqualified class name of an exception ("DateConversionError"), for
// messages that name what went wrong as well as saying it.
std::string exceptionClassName(const std::exception& error);

} // namespace kestrel
