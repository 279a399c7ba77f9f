#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestrel {

// Read-only access to the Windows registry, as far as the LPT detection needs it.
class Registry {
public:
    using Key = void*;

    enum class Root { LocalMachine, DynData };

    enum ValueType : std::uint32_t {
        kRegSz = 1,
        kRegBinary = 3,
        kRegResourceList = 8,
    };

    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data; // as stored, at most the size asked for
    };

    virtual ~Registry() = default;
    // nullptr when the key cannot be opened.
    virtual Key open(Root root, const std::string& subKey, std::uint32_t access) = 0;
    // Names in enumeration order, each read into a buffer of nameBufferSize bytes.
    virtual std::vector<std::string> valueNames(Key key, std::size_t nameBufferSize) = 0;
    virtual std::vector<std::string> subKeyNames(Key key, std::size_t nameBufferSize) = 0;
    // nullopt when the value is missing or does not fit into maxBytes.
    virtual std::optional<Value> queryValue(Key key, const std::string& name, std::size_t maxBytes) = 0;
    virtual void close(Key key) = 0;
};

// RegOpenKeyExA and friends on Windows; elsewhere a registry with no keys.
Registry& systemRegistry();

} // namespace kestrel
