#pragma once

#include <string>

namespace kestrel {

// Loading a shared library and finding its exports (LoadLibrary / dlopen).
class LibraryLoader {
public:
    using Handle = void*;
    // Any function type; cast to the export's real type before calling.
    using Symbol = void (*)();

    virtual ~LibraryLoader() = default;
    // nullptr when the library cannot be loaded.
    virtual Handle load(const std::string& path) = 0;
    // nullptr when the library has no export of that name.
    virtual Symbol resolve(Handle library, const std::string& name) = 0;
    // true when the library was released.
    virtual bool free(Handle library) = 0;
    // Why the last load or resolve failed, in the system's words (may be empty).
    virtual std::string lastFailure() { return {}; }
};

// LoadLibraryA / GetProcAddress / FreeLibrary on Windows, dlopen / dlsym / dlclose elsewhere.
LibraryLoader& systemLibraryLoader();

} // namespace kestrel
