#include "core/reports/ExceptionClassName.h"

#include <cstdlib>
#include <memory>
#include <typeinfo>

#if __has_include(<cxxabi.h>)
#include <cxxabi.h>
#define KESTREL_HAS_CXXABI 1
#endif

namespace kestrel {

namespace {

std::string demangled(const char* name)
{
#ifdef KESTREL_HAS_CXXABI
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> text(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), std::free);
    if (status == 0 && text)
        return text.get();
#endif
    return name;
}

} // namespace

std::string exceptionClassName(const std::exception& error)
{
    std::string name = demangled(typeid(error).name());
    // Drop namespaces, but not a "::" inside template arguments.
    const auto templateStart = name.find('<');
    const auto lastScope = name.rfind("::", templateStart);
    if (lastScope != std::string::npos)
        name.erase(0, lastScope + 2);
    return name;
}

} // namespace kestrel
