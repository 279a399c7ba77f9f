#include "core/device/port/LibraryLoader.h"
#include "core/device/port/PortIoFailureText.h"

#include "core/device/WindowsApi.h"

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

namespace kestrel {

namespace {

#if defined(_WIN32)

class WindowsLibraryLoader : public LibraryLoader {
public:
    Handle load(const std::string& path) override
    {
        HMODULE module = LoadLibraryA(path.c_str());
        // The user is told why in words: a bare error number says nothing at the bench.
        if (module == nullptr)
            failure_ = libraryLoadFailureReason(GetLastError());
        return reinterpret_cast<Handle>(module);
    }
    Symbol resolve(Handle library, const std::string& name) override
    {
        FARPROC address = GetProcAddress(static_cast<HMODULE>(library), name.c_str());
        if (address == nullptr)
            failure_ = "нет функции " + name + " (ошибка Windows " + std::to_string(GetLastError()) + ")";
        return reinterpret_cast<Symbol>(address);
    }
    bool free(Handle library) override { return FreeLibrary(static_cast<HMODULE>(library)) != 0; }
    std::string lastFailure() override { return failure_; }

private:
    std::string failure_;
};

#else

class DlLibraryLoader : public LibraryLoader {
public:
    Handle load(const std::string& path) override
    {
        void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr)
            rememberFailure();
        return library;
    }
    Symbol resolve(Handle library, const std::string& name) override
    {
        dlerror();
        void* address = dlsym(library, name.c_str());
        if (address == nullptr)
            rememberFailure();
        // POSIX guarantees that a function's address survives the trip through void*.
        return reinterpret_cast<Symbol>(address);
    }
    bool free(Handle library) override { return dlclose(library) == 0; }
    std::string lastFailure() override { return failure_; }

private:
    void rememberFailure()
    {
        const char* text = dlerror();
        failure_ = text != nullptr ? text : "";
    }
    std::string failure_;
};

#endif

} // namespace

LibraryLoader& systemLibraryLoader()
{
#if defined(_WIN32)
    static WindowsLibraryLoader loader;
#else
    static DlLibraryLoader loader;
#endif
    return loader;
}

} // namespace kestrel
