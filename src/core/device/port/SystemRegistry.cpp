#include "core/device/port/Registry.h"

#include "core/device/WindowsApi.h"

namespace kestrel {

namespace {

#if defined(_WIN32)

HKEY hkey(Registry::Key key) { return static_cast<HKEY>(key); }

class WindowsRegistry : public Registry {
public:
    Key open(Root root, const std::string& subKey, std::uint32_t access) override
    {
        HKEY parent = root == Root::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_DYN_DATA;
        HKEY key = nullptr;
        if (RegOpenKeyExA(parent, subKey.c_str(), 0, access, &key) != ERROR_SUCCESS)
            return nullptr;
        return key;
    }

    std::vector<std::string> valueNames(Key key, std::size_t nameBufferSize) override
    {
        return enumerate(nameBufferSize, [&](DWORD index, char* name, DWORD* length) {
            return RegEnumValueA(hkey(key), index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

    std::vector<std::string> subKeyNames(Key key, std::size_t nameBufferSize) override
    {
        return enumerate(nameBufferSize, [&](DWORD index, char* name, DWORD* length) {
            return RegEnumKeyExA(hkey(key), index, name, length, nullptr, nullptr, nullptr, nullptr);
        });
    }

    std::optional<Value> queryValue(Key key, const std::string& name, std::size_t maxBytes) override
    {
        Value value;
        value.data.resize(maxBytes);
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(maxBytes);
        if (RegQueryValueExA(hkey(key), name.c_str(), nullptr, &type, value.data.data(), &size) != ERROR_SUCCESS)
            return std::nullopt;
        value.type = type;
        value.data.resize(size);
        return value;
    }

    void close(Key key) override { RegCloseKey(hkey(key)); }

private:
    // Names that do not fit the buffer are passed over; the enumeration goes on.
    template <typename EnumerateOne>
    static std::vector<std::string> enumerate(std::size_t bufferSize, EnumerateOne enumerateOne)
    {
        std::vector<std::string> names;
        std::vector<char> buffer(bufferSize);
        for (DWORD index = 0;; ++index) {
            DWORD length = static_cast<DWORD>(buffer.size());
            const LONG result = enumerateOne(index, buffer.data(), &length);
            if (result == ERROR_SUCCESS)
                names.emplace_back(buffer.data(), length);
            else if (result != ERROR_MORE_DATA)
                break;
        }
        return names;
    }
};

#else

// No Windows registry here: no key opens.
class AbsentRegistry : public Registry {
public:
    Key open(Root, const std::string&, std::uint32_t) override { return nullptr; }
    std::vector<std::string> valueNames(Key, std::size_t) override { return {}; }
    std::vector<std::string> subKeyNames(Key, std::size_t) override { return {}; }
    std::optional<Value> queryValue(Key, const std::string&, std::size_t) override { return std::nullopt; }
    void close(Key) override {}
};

#endif

} // namespace

Registry& systemRegistry()
{
#if defined(_WIN32)
    static WindowsRegistry registry;
#else
    static AbsentRegistry registry;
#endif
    return registry;
}

} // namespace kestrel
